#include "tools/widgets/MsgSCR.h"

#include "text/TextMetrics.h"

#include <QPainter>
#include <QScreen>

#include <cmath>

namespace tools {

TMsgSCR::TMsgSCR(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_font.setPixelSize(17);
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
    rebuildImage();
}

void TMsgSCR::setMsg(const QString &msg)
{
    m_msg = msg;
    setAccessibleName(msg);
    rebuildImage();
    update();
}

void TMsgSCR::setInterval(int ms)
{
    m_interval = std::max(0, ms);
    applyTimer();
}

void TMsgSCR::setShow(bool show)
{
    m_show = show;
    if (show) {
        start();
        update();
    } else {
        m_timerEnabled = false;
        applyTimer();
        update();
    }
}

void TMsgSCR::setColor(const QColor &color)
{
    m_color = color;
    rebuildImage();
    update();
}

void TMsgSCR::setStripFont(const QFont &font)
{
    m_font = font;
    rebuildImage();
    update();
}

void TMsgSCR::setFontColor(const QColor &color)
{
    m_fontColor = color;
    rebuildImage();
    update();
}

QString TMsgSCR::toggleRunning()
{
    if (m_interval == 0) {
        setInterval(kStripRunInterval);
        return QStringLiteral("停");
    }
    setInterval(0);
    return QStringLiteral("走");
}

StripSelection TMsgSCR::takeSelection(const QString &selectedText)
{
    const StripSelection s = checkStripSelection(selectedText);
    if (s.accepted)
        setMsg(selectedText);
    return s;
}

void TMsgSCR::toggleWhite(const QColor &leftFontColor)
{
    const auto number = [](const QColor &c) {
        return text::rgbColor(c.red(), c.green(), c.blue());
    };
    const text::ColorNumber next = toggledWhite(number(m_fontColor), number(leftFontColor));
    setFontColor(QColor(text::redOf(next), text::greenOf(next), text::blueOf(next)));
}

void TMsgSCR::step()
{
    m_scroller.step();
    m_stepPending = true;
    update();
}

void TMsgSCR::start()
{
    m_timer.stop();
    rebuildImage();
    m_scroller.start(width(), m_image.width());
    m_timerEnabled = true;
    applyTimer();
}

void TMsgSCR::applyTimer()
{
    // A QTimer with interval 0 would fire at every pass of the event loop; here 0 means the
    // enabled timer never ticks.
    m_timer.setInterval(m_interval > 0 ? m_interval : 100);
    if (m_timerEnabled && m_interval > 0)
        m_timer.start();
    else
        m_timer.stop();
}

QString TMsgSCR::drawnText() const
{
    return text::splitLines(m_msg).join(QStringLiteral("　"));
}

int TMsgSCR::pointSize() const
{
    if (m_font.pointSize() > 0)
        return m_font.pointSize();
    // 17 pixels at 96 dots per inch are 12.75 points, which the toolkit rounds to 13.
    const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    return int(std::lround(m_font.pixelSize() * 72.0 / dpi));
}

void TMsgSCR::rebuildImage()
{
    const QString s = drawnText();
    const QFontMetrics fm(m_font);
    const int w = stripImageWidth(width(), fm.horizontalAdvance(s), pointSize());
    const int h = std::max(1, height());
    m_image = QImage(std::max(1, w), h, QImage::Format_RGB32);
    m_image.fill(m_color);
    QPainter p(&m_image);
    p.setFont(m_font);
    p.setPen(m_fontColor);
    const int y = (h - fm.height()) / 2 + fm.ascent();
    p.drawText(0, y, s);
    m_scroller.setImageWidth(m_image.width());
    m_scroller.setStripWidth(width());
}

void TMsgSCR::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    rebuildImage();
}

void TMsgSCR::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_show) {
        // Not scrolling: a plain panel with its caption.
        p.fillRect(rect(), m_color);
        p.setFont(m_font);
        p.setPen(m_fontColor);
        p.drawText(rect(), Qt::AlignCenter, drawnText());
        return;
    }
    if (!m_stepPending && m_timerEnabled)
        start();
    m_stepPending = false;
    p.fillRect(rect(), m_color);
    p.drawImage(m_scroller.x(), 0, m_image);
}

} // namespace tools
