#pragma once
// What a step changed on a widget against what the widget repainted for it: the pixels
// that differ from a picture taken before the step and lie outside every region painted
// while it ran (stale ones, where a view repaints too little).

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

#include <functional>

namespace testsupport {

struct RepaintCheck
{
    int stale = 0;
    bool changed = false;
    QRegion painted;
};

inline RepaintCheck checkRepaint(QWidget *widget, const std::function<void()> &step)
{
    struct Recorder : QObject
    {
        QRegion painted;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(e)->region();
            return false;
        }
    };
    QCoreApplication::processEvents();
    const QImage before = widget->grab().toImage();
    Recorder recorder;
    widget->installEventFilter(&recorder);
    step();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::processEvents();
    widget->removeEventFilter(&recorder);
    const QImage after = widget->grab().toImage();
    RepaintCheck check{0, false, recorder.painted};
    if (before.size() != after.size())
        return {after.width() * after.height(), true, recorder.painted};
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            const bool differs = before.pixel(x, y) != after.pixel(x, y);
            check.changed = check.changed || differs;
            check.stale += differs && !recorder.painted.contains(QPoint(x, y));
        }
    }
    return check;
}

} // namespace testsupport
