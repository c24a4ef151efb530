#include "widgets/GripImage.h"

#include "widgets/Theme.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

namespace {

constexpr int GripWidth = 10;
constexpr int DotPitch = 4;

} // namespace

GripImage::GripImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFixedWidth(GripWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

QSize GripImage::sizeHint() const
{
    return QSize(GripWidth, 32);
}

QSize GripImage::minimumSizeHint() const
{
    return QSize(GripWidth, 12);
}

void GripImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool hover = underMouse() && isEnabled();

    if (hover || m_pressed) {
        QColor wash = theme::indigo();
        wash.setAlpha(m_pressed ? 60 : 28);
        p.setPen(Qt::NoPen);
        p.setBrush(wash);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 2, -1, -2), 3, 3);
    }

    // An engraved line on the right edge parts the grip from the bar's first button.
    p.setPen(QPen(QColor(0, 0, 0, 40), 1.0));
    p.drawLine(QPointF(width() - 1.5, 4.0), QPointF(width() - 1.5, height() - 4.0));
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
    p.drawLine(QPointF(width() - 0.5, 4.0), QPointF(width() - 0.5, height() - 4.0));

    // Two columns of pressed-in dots, each a dark pit with a light rim below right: the
    // texture of a grip worn by fingers, quiet enough not to compete with the captions.
    const QColor pit = hover ? theme::indigo() : theme::frame().darker(115);
    const QColor rim(255, 255, 255, 200);
    const int rows = (height() - 8) / DotPitch;
    const int top = (height() - (rows - 1) * DotPitch) / 2;
    p.setPen(Qt::NoPen);
    for (int row = 0; row < rows; ++row) {
        const qreal y = top + row * DotPitch;
        // Alternate rows shift by half a pitch, so the dots weave instead of standing in a grid.
        const qreal x = (row % 2 == 0) ? 2.5 : 5.5;
        p.setBrush(rim);
        p.drawEllipse(QPointF(x + 0.8, y + 0.8), 1.1, 1.1);
        p.setBrush(pit);
        p.drawEllipse(QPointF(x, y), 1.1, 1.1);
    }
}

void GripImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = true;
    update();
}

void GripImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        event->ignore();
        return;
    }
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

} // namespace widgets
