#pragma once
// Time without waiting: fires a running QTimer's timeout at once, as the event loop does
// once its interval has passed, so that tests of timed behaviour run instantly and the same
// way on a loaded machine as on an idle one.

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

namespace testsupport {

// Returns false and fires nothing when the timer is not running: a stopped timer never
// times out, however much time passes.
inline bool fireTimer(QTimer &timer)
{
    if (!timer.isActive())
        return false;
    QTimerEvent tick(timer.timerId());
    QCoreApplication::sendEvent(&timer, &tick);
    return true;
}

} // namespace testsupport
