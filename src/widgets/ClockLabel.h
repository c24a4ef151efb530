// The clock on the right pane's tool bar: the local time as "HH:mm:ss" on its own background,
// which the window keeps in the right pane's colours. A click is only reported; the window
// decides what it means (it stops and restarts the clock).
#pragma once

#include <QColor>
#include <QLabel>
#include <QTime>
#include <QTimer>

#include <functional>

namespace widgets {

class ClockLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int interval READ interval WRITE setInterval)

public:
    static constexpr int DefaultInterval = 300;

    explicit ClockLabel(QWidget *parent = nullptr);

    // Milliseconds between updates. 0 stops the clock: the time last shown stays. A negative
    // value is taken as 0.
    int interval() const { return m_interval; }
    void setInterval(int ms);

    void setColors(const QColor &text, const QColor &background);
    QColor textColor() const { return m_text; }
    QColor backgroundColor() const { return m_background; }

    // Where the clock reads the time, the local time of day unless set; tests give it a
    // fixed one so that what the clock shows can be checked to the second. An empty
    // function brings back the local time.
    using TimeSource = std::function<QTime()>;
    void setTimeSource(TimeSource source);

    // The timer behind the interval: running exactly while the interval is above 0. Tests
    // fire its timeout themselves instead of waiting for it.
    QTimer &timer() { return m_timer; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    // Shows the current time now, whatever the interval.
    void showCurrentTime();

Q_SIGNALS:
    // The left button went down on the clock (on press, not release: a click on a running
    // clock should stop it at the second the user saw).
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QTimer m_timer;
    TimeSource m_now;
    int m_interval = 0;
    QColor m_text;
    QColor m_background;
};

} // namespace widgets
