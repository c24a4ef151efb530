#include "widgets/ClockLabel.h"

#include "widgets/Theme.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

ClockLabel::ClockLabel(QWidget *parent)
    : QLabel(parent), m_text(theme::paper()), m_background(theme::ink())
{
    setAlignment(Qt::AlignCenter);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ClockLabel::showCurrentTime);
    showCurrentTime();
    setInterval(DefaultInterval);
}

void ClockLabel::setInterval(int ms)
{
    m_interval = qMax(0, ms);
    if (m_interval == 0) {
        m_timer.stop();
        return;
    }
    // A restarted clock must not show the stale time for a whole interval.
    showCurrentTime();
    m_timer.start(m_interval);
}

void ClockLabel::setColors(const QColor &text, const QColor &background)
{
    m_text = text;
    m_background = background;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Window, background);
    setPalette(pal);
    update();
}

void ClockLabel::setTimeSource(TimeSource source)
{
    m_now = std::move(source);
}

void ClockLabel::showCurrentTime()
{
    const QTime now = m_now ? m_now() : QTime::currentTime();
    setText(now.toString(QStringLiteral("HH:mm:ss")));
}

QSize ClockLabel::sizeHint() const
{
    // Sized for the widest digits, so the label does not breathe as the seconds change.
    const QFontMetrics fm = fontMetrics();
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c)
        digit = qMax(digit, fm.horizontalAdvance(QLatin1Char(c)));
    const int width = 6 * digit + 2 * fm.horizontalAdvance(QLatin1Char(':'));
    return QSize(width + 12, qMax(22, fm.height() + 4));
}

QSize ClockLabel::minimumSizeHint() const
{
    return sizeHint();
}

void ClockLabel::paintEvent(QPaintEvent *event)
{
    {
        // Painted here rather than through autoFillBackground, so a style sheet on the bar
        // cannot take the pane's colour away from the clock.
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_background);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    QLabel::paintEvent(event);
}

void ClockLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mousePressEvent(event);
}

} // namespace widgets
