#pragma once
// A view of a pane as screen readers and magnifiers see it: an editable text (static text
// while the pane is read-only) whose offsets are the document's positions, each line end
// counting as one "\n". Caret, selection and edits go through the pane's own cursor and
// undo memory, as the keyboard's do, in either view. What a view adds is where a character
// lies on it, what a line of it is and how it scrolls to a part of the text.

#include <QAccessibleWidget>
#include <utility>

class QAbstractScrollArea;

namespace editor {

class RichHorizontalView;
class TRichEditSx;

class PaneAccessible : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface
{
public:
    PaneAccessible(QAbstractScrollArea *view, TRichEditSx *pane);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    // The scroll bars; the viewport is this text itself, so a point on it finds the text.
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int *startOffset, int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int *startOffset, int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

protected:
    TRichEditSx *pane() const { return m_pane; }
    QWidget *viewport() const;
    // The box of the character at an offset, on the viewport.
    virtual QRectF box(int offset) const = 0;
    // The caret position nearest to a point of the viewport.
    virtual int caretPositionAt(const QPointF &point) const = 0;
    // The view's line that holds an offset, as [start, end) with its line end if it has
    // one: a column of the vertical view, a row of the horizontal one.
    virtual std::pair<int, int> lineAround(int offset) const = 0;

private:
    enum class Item { Before, At, After };
    QString item(Item which, int offset, QAccessible::TextBoundaryType boundaryType,
                 int *startOffset, int *endOffset) const;
    bool readOnly() const;
    QList<QWidget *> parts() const;
    void edit(int startOffset, int endOffset, const QString &text, int undoAction);

    TRichEditSx *m_pane;
};

// The horizontal view. (Qt's own interface for it would edit the text past the pane's undo
// memory, which then has to forget its steps.) Qt's edit control reports the view's caret,
// selection and text changes itself.
class HorizontalAccessible final : public PaneAccessible
{
public:
    explicit HorizontalAccessible(RichHorizontalView *view);
    void scrollToSubstring(int startIndex, int endIndex) override;

protected:
    QRectF box(int offset) const override;
    int caretPositionAt(const QPointF &point) const override;
    std::pair<int, int> lineAround(int offset) const override;

private:
    RichHorizontalView *view() const;
};

// Registers the interfaces of both views with QAccessible (once).
void installPaneAccessibility();

} // namespace editor
