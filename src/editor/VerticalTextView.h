#pragma once
// The vertical view of a pane: shows the pane's document in columns (VerticalLayout) and
// edits it through the pane's own text cursor, shared with the horizontal view, so the
// caret, selection, formats and the undo memory are the same in both. Keys, input methods,
// the clipboard and dropped text edit through the pane's own editing operations, as in the
// horizontal view; caret movement keys are mapped to the columns here: Up and Down move
// along a column, Left goes to the next column and Right to the previous one.

#include "editor/VerticalLayout.h"

#include <QAbstractScrollArea>
#include <QTextCursor>
#include <QTimer>
#include <limits>
#include <optional>

namespace editor {

class TRichEditSx;

class VerticalTextView final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit VerticalTextView(TRichEditSx *owner);

    VerticalLayout &layout() { return m_layout; }
    TRichEditSx *pane() const { return m_owner; }
    void setPaneFont(const QFont &font);
    void setWordWrap(bool wrap);
    void setColors(const QColor &text, const QColor &background);
    void setTypesetting(const Typesetting &typesetting);
    // Each line's note, drawn at the foot of its last column; none without a function.
    void setLineNotes(std::function<LineNote(const QTextBlock &)> notes);

    // Geometry of the columns on the viewport.
    qreal columnCentre(int column) const;
    int columnAt(qreal x) const;
    int firstVisibleColumn() const;  // the rightmost column in view
    void scrollToColumn(int column); // makes it the rightmost column in view
    int positionAtPoint(const QPointF &p);
    // The cell of the character at a position on the viewport, as a selection paints it.
    QRectF characterRect(int position);
    QRectF caretRect();
    void ensureCaretVisible();
    // Brings the column of a position into view, and the position into the column's view.
    void ensurePositionVisible(int position);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dragLeaveEvent(QDragLeaveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool moveCaret(QKeyEvent *e);
    void dragSelection();
    // The pane's caret moved to the point, the hidden horizontal view laying nothing out.
    QTextCursor cursorAt(const QPointF &point,
                         QTextCursor::MoveMode mode = QTextCursor::MoveAnchor);
    QRectF caretBar(int column, qreal y) const;
    void updateScrollBars();
    // The viewport's part that the columns [first, last] take, first the rightmost.
    QRect columnsRect(int first, int last) const;
    // Repaints what an edit at a position changed: its line's columns from the one before
    // the edit's on, if it kept within the line and the line kept its number of columns;
    // else the whole view.
    void updateEdited(int position, int added);
    // Repaints the caret where it was last shown and where it is now.
    void updateCaret();
    qreal columnHeight() const;
    void restartBlink();
    int caretPosition() const;

    TRichEditSx *m_owner;
    VerticalLayout m_layout;
    QColor m_text{Qt::black};
    QColor m_background{Qt::white};
    QTimer m_blink;
    QTimer m_counting; // counts the lines not yet counted, a slice at a time
    bool m_caretOn = true;
    bool m_dragging = false;           // selecting with the mouse
    std::optional<QPointF> m_dragFrom; // pressed on the selection, which may be dragged
    int m_dropPosition = -1;           // where text dragged over the view would go
    int m_preeditCursor = -1;          // caret inside the preedit, from the input method
    qreal m_wantedY = -1;              // column offset kept while moving across columns
    int m_caretLine = 0;               // the line the caret was last on
    QRect m_caretShown;                // the caret's place when last asked for
    int m_shownLines = -1;             // lines and columns when last painted or edited
    int m_shownColumns = -1;
    int m_lastLineShown = std::numeric_limits<int>::max(); // the last line in view when last
    qreal m_pitchShown = 0;                                // painted, and the pitch
    std::function<LineNote(const QTextBlock &)> m_notes;
};

} // namespace editor
