#pragma once
// The vertical view as screen readers and magnifiers see it (PaneAccessible): a reader's
// lines are the view's columns; a character's box is its cell in its column, as the view
// paints it under a selection. The view reports its caret, selection and text changes
// while assistive technology listens.

#include "editor/PaneAccessible.h"

namespace editor {

class VerticalTextView;

class VerticalAccessible final : public PaneAccessible
{
public:
    explicit VerticalAccessible(VerticalTextView *view);
    void scrollToSubstring(int startIndex, int endIndex) override;

protected:
    QRectF box(int offset) const override;
    int caretPositionAt(const QPointF &point) const override;
    std::pair<int, int> lineAround(int offset) const override;

private:
    VerticalTextView *view() const;
};

// Registers the interfaces (once) and has this view report caret, selection and text
// changes while assistive technology listens.
void installVerticalAccessibility(VerticalTextView *view);

// Where those reports go: to QAccessible::updateAccessibility while QAccessible::isActive().
// A platform without accessibility (the offscreen one of the tests) is never active and
// drops every event, so tests hand the reports to a function of their own instead; nullptr
// restores the default. Returns the function that was set.
using AccessibleEventSink = void (*)(QAccessibleEvent *event);
AccessibleEventSink setVerticalAccessibleEventSink(AccessibleEventSink sink);

} // namespace editor
