#include "speech/widgets/Mouth.h"

#include "speech/DirectSS.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace speech {

Mouth::Mouth(TDirectSS &engine, QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setVisible(engine.isMouthVisible());
    connect(&engine, &TDirectSS::mouthVisibleChanged, this,
            [this](bool visible) { setVisible(visible); });
    connect(&engine, &TDirectSS::outputLevelChanged, this,
            [this](double level) { setOpening(level); });
}

void Mouth::setOpening(double opening)
{
    opening = std::clamp(opening, 0.0, 1.0);
    // Redraw only for a change the eye can see: a step of a pixel or more at this size.
    if (std::abs(opening - m_opening) < 0.05 && opening != 0)
        return;
    m_opening = opening;
    update();
}

void Mouth::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(3, 3, -3, -3);
    const double mid = r.center().y();
    const double half = r.height() / 2 * m_opening;

    QPainterPath lips;
    lips.moveTo(r.left(), mid);
    lips.quadTo(r.center().x(), mid - half - 2, r.right(), mid);
    lips.quadTo(r.center().x(), mid + half * 1.6 + 2, r.left(), mid);
    p.setPen(QPen(QColor(150, 40, 50), 1.5));
    p.setBrush(QColor(205, 80, 90));
    p.drawPath(lips);
    if (half > 1.5) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 15, 25));
        p.drawEllipse(QPointF(r.center().x(), mid + half * 0.3), r.width() * 0.3, half * 0.8);
    }
}

} // namespace speech
