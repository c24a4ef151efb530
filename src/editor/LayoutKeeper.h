#pragma once
// Which lines of a text hold a layout, so that paging through a long text keeps layouts
// only near where the view is. Lines are noted by number as they are laid out and as they
// are painted. Once a paint is done (no layout is in use then) and more than kNoted lines
// are noted, those further than kNear lines from the ones in view give their layouts back;
// they are made again when next needed.
//
// A number goes stale when lines are added or removed before it. A stale number releases
// another line's layout, which is only made again, and leaves its own line's kept: a cost
// in memory, never in what is shown.

#include <functional>
#include <vector>

namespace editor {

class LayoutKeeper
{
public:
    static constexpr int kNear = 1000;
    static constexpr int kNoted = 4000;

    // `release` makes a line, by number, give its layout back.
    explicit LayoutKeeper(std::function<void(int block)> release) : m_release(std::move(release)) {}
    // A line was laid out; or the lines [first, last] were painted, and so laid out.
    void note(int block) { m_noted.push_back(block); }
    void notePainted(int first, int last);
    // The lines [first, last] are in view, and no layout is in use.
    void keepNear(int first, int last);

private:
    std::function<void(int block)> m_release;
    std::vector<int> m_noted;
    // The lines last painted.
    int m_first = -1;
    int m_last = -1;
};

} // namespace editor
