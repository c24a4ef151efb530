#pragma once
// TStopWatch: times a left-pane command. The window has one, StopWatch1, shared by every
// timed command; the elapsed text goes to status panel 1.

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

namespace convert {

class TStopWatch
{
public:
    // Restarts from zero, also while running.
    void Start();
    // Keeps the time elapsed so far; ElapsedMs() returns it until the next Start().
    void Stop();
    // While running the time since Start(), once stopped the stored time; 0 before the
    // first Start().
    qint32 ElapsedMs() const;
    QString ElapsedText() const { return formatElapsed(ElapsedMs()); }
    bool isRunning() const { return m_running; }

    // "hh:mm:ss:mmm", hours not wrapped at 24: 83 456 ms is "00:01:23:456", 90 000 000 ms
    // (25 hours) "25:00:00:000". A negative count reads as zero.
    static QString formatElapsed(qint64 ms);

private:
    QElapsedTimer m_timer; // monotonic, so a clock change during a command does not show
    qint32 m_elapsed = 0;
    bool m_running = false;
};

} // namespace convert
