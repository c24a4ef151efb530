#include "convert/Stopw.h"

#include <limits>

namespace convert {

void TStopWatch::Start()
{
    m_elapsed = 0;
    m_running = true;
    m_timer.start();
}

void TStopWatch::Stop()
{
    m_elapsed = ElapsedMs();
    m_running = false;
}

qint32 TStopWatch::ElapsedMs() const
{
    if (!m_running)
        return m_elapsed;
    // A signed 32-bit count holds 596 hours; a longer run stays at the largest value
    // rather than turning negative.
    return qint32(std::min<qint64>(m_timer.elapsed(), std::numeric_limits<qint32>::max()));
}

QString TStopWatch::formatElapsed(qint64 ms)
{
    ms = std::max<qint64>(ms, 0);
    const qint64 s = ms / 1000;
    return QString::asprintf("%2.2lld:%2.2lld:%2.2lld:%3.3lld", s / 3600, s / 60 % 60, s % 60,
                             ms % 1000);
}

} // namespace convert
