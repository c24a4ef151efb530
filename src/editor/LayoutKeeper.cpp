#include "editor/LayoutKeeper.h"

#include <algorithm>

namespace editor {

void LayoutKeeper::notePainted(int first, int last)
{
    // The same lines painted again (a caret blinking, a key typed) are noted once.
    if (first == m_first && last == m_last)
        return;
    m_first = first;
    m_last = last;
    for (int b = first; b <= last; ++b)
        m_noted.push_back(b);
}

void LayoutKeeper::keepNear(int first, int last)
{
    if (m_noted.size() <= size_t(kNoted))
        return;
    std::sort(m_noted.begin(), m_noted.end());
    m_noted.erase(std::unique(m_noted.begin(), m_noted.end()), m_noted.end());
    const auto near = [&](int b) { return b >= first - kNear && b <= last + kNear; };
    const auto far = std::stable_partition(m_noted.begin(), m_noted.end(), near);
    std::for_each(far, m_noted.end(), m_release);
    m_noted.erase(far, m_noted.end());
}

} // namespace editor
