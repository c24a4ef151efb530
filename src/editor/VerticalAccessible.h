#pragma once
// The vertical view as screen readers and magnifiers see it: an editable text (static text
// while the pane is read-only) whose offsets are the document's positions, each line end
// counting as one "\n". A reader's lines are the view's columns; a character's box is its
// cell in its column, as the view paints it under a selection. Caret, selection and edits
// go through the pane's own cursor and undo memory, as the keyboard's do.

#include <QAccessibleWidget>

namespace editor {

class TRichEditSx;
class VerticalTextView;

class VerticalAccessible final : public QAccessibleWidget,
                                 public QAccessibleTextInterface,
                                 public QAccessibleEditableTextInterface
{
public:
    explicit VerticalAccessible(VerticalTextView *view);

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
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    enum class Item { Before, At, After };
    QString item(Item which, int offset, QAccessible::TextBoundaryType boundaryType,
                 int *startOffset, int *endOffset) const;
    VerticalTextView *view() const;
    TRichEditSx *pane() const;
    bool readOnly() const;
    QList<QWidget *> parts() const;
    void edit(int startOffset, int endOffset, const QString &text, int undoAction);
};

// Registers the interface for vertical views (once) and has this view report caret,
// selection and text changes while assistive technology listens.
void installVerticalAccessibility(VerticalTextView *view);

// Where those reports go: to QAccessible::updateAccessibility while QAccessible::isActive().
// A platform without accessibility (the offscreen one of the tests) is never active and
// drops every event, so tests hand the reports to a function of their own instead; nullptr
// restores the default. Returns the function that was set.
using AccessibleEventSink = void (*)(QAccessibleEvent *event);
AccessibleEventSink setVerticalAccessibleEventSink(AccessibleEventSink sink);

} // namespace editor
