#pragma once
// TRichEditSx: the edit control of both panes. One QTextDocument holds the text (its own
// undo is off: the fifteen-slot RichUndoMemory replaces it); a view shows it. The pane's
// "lines" are its display rows as shown on screen: wrapped rows while word wrap is on,
// the text's lines while it is off. In vertical writing a display row is a column.

#include "editor/ImeColors.h"
#include "editor/RichUndoMemory.h"
#include "editor/VerticalLayout.h"
#include "text/DocumentFile.h"

#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QStackedLayout;
class QTimer;
class QTextBlock;
class QTextDocument;
class QMenu;

namespace editor {

class PaneCaret;
class TRichEditSx;
class VerticalTextView;
class WrappedPlainLayout;

// The horizontal view: a QPlainTextEdit on the pane's document that reports the pane's
// key, mouse and input-method events to it before acting on them. (QPlainTextEdit
// rather than QTextEdit: its layout is lazy and per line, so a text of many megabytes
// opens at once, where QTextEdit lays out the whole document on every load.)
class RichHorizontalView final : public QPlainTextEdit
{
    Q_OBJECT
public:
    // The margin at the left in which a click selects a whole row.
    static constexpr int SelectionBarWidth = 8;

    explicit RichHorizontalView(TRichEditSx *owner);
    TRichEditSx *pane() const { return m_owner; }
    void setLeftMargin(int width) { setViewportMargins(width, 0, 0, 0); }
    // Each line's note, drawn small after the line's end.
    void setLineNotes(std::function<LineNote(const QTextBlock &)> notes);
    // Ruby notation drawn as ruby above its base on every line but the caret's.
    void setRuby(bool on);
    // The lines an edit touched are looked at anew for their ruby when next painted (their
    // revision need not change: the document keeps no undo stack of its own).
    void forgetRuby(int position, int added);
    // A line, laid out if it was not.
    const QTextLayout *laidOut(const QTextBlock &block) const;
    // The box of the character at a position, on the viewport (empty for a line end).
    QRectF characterBox(int position) const;
    // An edit within a line that kept its height: its rows from `row` on are repainted.
    void repaintRows(const QTextBlock &block, int row);

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void dropEvent(QDropEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    // Hides the notation of a line's ruby (or shows it again) as the line's state asks.
    void setRubyShown(const QTextBlock &block, const QTextBlock &caretBlock);
    void paintRuby(QPainter &p, const QTextBlock &block);
    // The lines in view, top to bottom.
    QList<QTextBlock> shownBlocks() const;
    void paintNotes(const QList<QTextBlock> &shown);
    // The room a line's ruby may take above its top, over the line or row before.
    qreal rubyRoom() const;

    TRichEditSx *m_owner;
    std::function<LineNote(const QTextBlock &)> m_notes;
    bool m_ruby = false;
    std::optional<QPoint> m_pressOnSelection; // where the selection was pressed, to drag it
};

class TRichEditSx final : public QWidget, public RichUndoTarget
{
    Q_OBJECT
public:
    explicit TRichEditSx(QWidget *parent = nullptr);
    ~TRichEditSx() override;

    // The document, with all of a text still being loaded taken in first.
    QTextDocument *document() const;
    // The horizontal view's line layout, which the vertical view also tells what it shows.
    WrappedPlainLayout *rowLayout() const;
    QPlainTextEdit *horizontalView() const { return m_horizontal; }
    VerticalTextView *verticalView() const { return m_verticalView; }
    // The widget that takes the keyboard focus in the current mode.
    QWidget *activeView() const;
    bool hasEditFocus() const;

    QString text() const;
    // The text with the document's own line ends, U+2029 (no pass to replace them).
    QString rawText() const;
    void setText(const QString &text); // not recorded in the undo memory
    // A long text is loaded in parts, each ending at a line's end: the first at once,
    // enough for the first screen, the rest a part at a time while the event loop is idle,
    // the view showing each as it comes in. Whatever needs the whole text (text(),
    // document(), the row count, a key in either view, an edit, undo, a selection reaching
    // the end of what is in) has the rest taken in first. Loading changes neither the
    // modified flag nor the undo memory; textChanged comes once, when all is in.
    bool isLoading() const { return m_loadedUpTo < m_loading.size(); }
    void finishLoading();
    void clear();
    bool isModified() const;
    void setModified(bool modified);

    // The caret and selection, in either writing; the caret tells its moves.
    QTextCursor textCursor() const;
    void setTextCursor(const QTextCursor &cursor);
    QTextCharFormat currentCharFormat() const;
    void setCurrentCharFormat(const QTextCharFormat &format);
    PaneCaret *caret() const { return m_caret; }
    // A cursor on the text from anchor to position (clamped to the text), for the caret or
    // for an edit. Placed so, it lays nothing out in a hidden view; a QTextCursor moved by
    // hand has Qt lay its line out there to find its x.
    QTextCursor placedCursor(int anchor, int position) const;

    // Selection queries, in the control's own positions (UTF-16 units, one per line end).
    int selStart() const;
    int selLength() const;
    void setSelection(int start, int length);
    QString selectedText() const;
    // The text in [from, to), line ends as "\n".
    QString textBetween(int from, int to) const;
    int SelX() const;
    int SelY() const;
    int SelLineIndex() const;
    int SelNextLineIndex() const;
    int SelTopIndex() const;
    void setSelTopIndex(int row);
    int SelTextCount() const;     // code page 932 bytes, without CR and LF
    int SelTextWideCount() const; // characters, without CR and LF
    QString SelTextDelCRLF() const;

    // Display rows.
    // Read-along: [from, to) shown behind a soft colour in either view and kept in view, as
    // the words being heard; from < 0 takes it away. The caret and selection stay.
    void setSpokenRange(int from, int to);
    std::pair<int, int> spokenRange() const { return {m_spokenFrom, m_spokenTo}; }
    static QColor spokenColor() { return QColor(0xff, 0xe3, 0x8a); }
    int rowCount() const;
    int rowOfPosition(int position) const;
    int rowStart(int row) const;
    // The text of every display row, without line breaks.
    QStringList displayedRows() const;

    bool Vertical() const { return m_vertical; }
    void setVertical(bool vertical);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wrap);
    bool SelectionBar() const { return m_selectionBar; }
    void setSelectionBar(bool on);

    QFont paneFont() const { return m_font; }
    void setPaneFont(const QFont &font);
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);
    // Gives every character the pane's font colour, removing any string colouring.
    void resetCharacterColors();
    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor &color);

    // What vertical writing sets beyond the characters (ruby, tate-chū-yoko, hanging
    // punctuation), on screen and in print.
    void setTypesetting(const Typesetting &typesetting);
    const Typesetting &typesetting() const;
    // A note for each line (the sounds of a line, for instance), drawn at the foot of its
    // columns or after its end; an empty function shows none. A note may depend on the
    // lines around its own (the poem it is part of): every edit repaints them all.
    void setLineNotes(const std::function<LineNote(const QTextBlock &line)> &notes);
    void setImeColors(const ImeColorTable &colors);
    const ImeColorTable &imeColors() const { return m_imeColors; }

    // The encoding of the pane's file, kept so that a save writes what was read.
    // How the pane's file is written: encoding and line ends, as read or as chosen.
    const text::DocumentFormat &fileFormat() const { return m_format; }
    void setFileFormat(const text::DocumentFormat &format) { m_format = format; }
    text::FileEncoding fileEncoding() const { return m_format.encoding; }

    void setContextMenu(QMenu *menu) { m_contextMenu = menu; }
    QMenu *contextMenu() const { return m_contextMenu; }

    // The control's operations.
    void copy();
    void cut();   // records a deletion first
    void paste(); // records a paste first
    void selectAll();
    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();
    void recordAction(int action);
    const RichUndoMemory &undoMemory() const { return m_undo; }
    // Every edit of the text is announced first, with the span it replaces: the undo memory
    // keeps what the text was there. The pane's own operations and views announce theirs;
    // code that edits through a cursor of its own announces the cursor's selection. An edit
    // left unannounced makes the memory forget its steps.
    void willEdit(qsizetype from, qsizetype to);
    void willEdit(const QTextCursor &cursor);
    // Replaces a cursor's selection with text (or deletes it) as the pane's own edit:
    // announced first, and laying nothing out in a hidden view.
    void replaceSelection(QTextCursor &cursor, const QString &text);

    // RichUndoTarget
    QString undoText() const override;
    void restoreUndoState(const RichUndoState &state) override;
    RichUndoState undoPlace() const override;
    qsizetype undoTextLength() const override;
    QString undoTextPart(qsizetype from, qsizetype to) const override;
    Change changeSinceMark() const override { return m_change; }
    void markUnchanged() override;
    void restoreUndoChange(const RichUndoState &place, qsizetype start, qsizetype removed,
                           const QString &text) override;

Q_SIGNALS:
    void textChanged();
    void modificationChanged(bool modified);
    void selectionChanged();
    // Each reported by the view after it has handled the event.
    void keyPressed(int key, const QString &text);
    void keyReleased(int key, bool autoRepeat);
    void inputMethodHandled(const QString &preedit, const QString &commit);
    // A left double-click, after the view has selected the word under the pointer.
    void doubleClicked();
    void mousePressed();
    void mouseReleased();
    void OnVerticalChange();
    void OnWrapChange();

private:
    friend class RichHorizontalView;
    friend class VerticalTextView;
    void applyPalette();
    void replaceWholeText(const QString &text);
    // Appends the next part of the text being loaded, or all that is left.
    void loadPart(bool whole);
    // For a query that needs all of the text: whatever is still to be loaded goes in first.
    void loadRest() const;
    void stopLoading();
    // A key pressed in either view: the window's keys left alone, paste and cut, and every
    // other key recorded in the undo memory, then its edit made at the caret. What is left,
    // moving the caret, is the view's.
    enum KeyUse { KeyEdited, KeyMoves, KeyForTheWindow };
    KeyUse editByKey(QKeyEvent *e);
    // An input method's event in either view: a composition begun recorded, the preedit
    // given the pane's colours, the event handed to `compose`, and the window told.
    void composeByInputMethod(QInputMethodEvent *e,
                              const std::function<void(QInputMethodEvent *)> &compose);
    // Restores an undo step's text by `change`, then its top line and selection.
    void restoreUndo(const RichUndoState &place, const std::function<void()> &change);
    void applyWrapMode();
    std::unique_ptr<QInputMethodEvent> recolouredPreedit(const QInputMethodEvent &e) const;
    // Row queries of the horizontal view: the lines up to a block, or up to the one that
    // holds a row, counted (laid out only where counting cannot do), and that block laid
    // out for where its rows start (the view itself lays out only what it shows).
    void ensureLayoutThrough(const QTextBlock &last) const;
    void ensureLayoutToRow(int row) const;
    // With `exact`, a line that is not one row is laid out, not only counted.
    void layOut(const QTextBlock &block, bool exact) const;

    // The text being loaded and how much of it is in (first: the views ask while they are
    // made).
    QString m_loading;
    qsizetype m_loadedUpTo = 0;
    bool m_loadingPart = false;
    QTextDocument *m_document;
    RichHorizontalView *m_horizontal;
    PaneCaret *m_caret; // (before the vertical view, which listens to it)
    VerticalTextView *m_verticalView;
    QStackedLayout *m_stack;
    QTimer *m_loadingTimer;
    QMenu *m_contextMenu = nullptr;
    RichUndoMemory m_undo;
    ImeColorTable m_imeColors;
    QFont m_font;
    QColor m_fontColor{Qt::black};
    QColor m_background{Qt::white};
    text::DocumentFormat m_format;
    bool m_vertical = false;
    int m_spokenFrom = -1;
    int m_spokenTo = -1;
    bool m_wordWrap = true;
    bool m_selectionBar = true;
    bool m_restoring = false;
    bool m_hasNotes = false; // line notes are shown: an edit repaints every line
    bool m_composing = false;
    // Lines [0, m_laidOut) have their exact row counts, laid out or counted; an edit, a
    // resize or a new font or wrap mode lowers it.
    mutable int m_laidOut = 0;
    // The part of the text that changed since the undo memory last marked it, and what it
    // was; lost when an edit came unannounced, until the memory forgets its steps.
    Change m_change;
    bool m_changeLost = false;
    bool m_announced = false; // an edit was announced since Qt last told a change
    void followChange(int position, int removed, int added);
    void forgetLostSteps();
};

} // namespace editor
