#pragma once
// The pane's caret and selection. In horizontal writing they are the horizontal view's
// own. In vertical writing that view is hidden and the caret is kept here, handed back
// when the view is shown again: moving the caret then lays nothing out in the hidden view
// (Qt's edit control measures the caret's line each time its caret is placed).

#include <QObject>
#include <QTextCursor>

class QPlainTextEdit;
class QTextDocument;

namespace editor {

class PaneCaret final : public QObject
{
    Q_OBJECT
public:
    PaneCaret(QPlainTextEdit *view, QTextDocument *document, QObject *parent = nullptr);

    QTextCursor cursor() const;
    void setCursor(const QTextCursor &cursor);
    // The format the next typed text takes (as QTextCursor::charFormat and setCharFormat:
    // with a selection, setting it formats the selection).
    QTextCharFormat typingFormat() const;
    void setTypingFormat(const QTextCharFormat &format);

    bool isKept() const { return m_kept; }
    // Keeps the caret here (true) or gives it back to the view (false).
    void keep(bool kept);

Q_SIGNALS:
    // As QPlainTextEdit's signals of the same names, in either writing.
    void cursorPositionChanged();
    void selectionChanged();

private:
    // What a kept caret's change tells: its position, and its selection if that changed.
    void tellChanges();

    QPlainTextEdit *m_view;
    bool m_kept = false;
    QTextCursor m_cursor; // while kept
    int m_position = 0;   // last told, while kept
    int m_anchor = 0;
};

} // namespace editor
