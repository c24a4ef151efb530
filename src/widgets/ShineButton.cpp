#include "widgets/ShineButton.h"

#include "widgets/Theme.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace widgets {

namespace {

constexpr int BarButtonSize = 26;
constexpr qreal Radius = 4.0;

// The face of a raised button: light at the top and a band of sheen over the upper half, the
// way light falls on lacquer. Pressed buttons turn the gradient over and lose the sheen, which
// reads as pushed in without any bevel lines.
void paintFace(QPainter &p, const QRectF &r, const QColor &face, bool sunken, bool hover)
{
    const QColor base = hover && !sunken ? face.lighter(106) : face;
    const QColor top = sunken ? base.darker(112) : base.lighter(108);
    const QColor bottom = sunken ? base.darker(102) : base.darker(108);

    QPainterPath shape;
    shape.addRoundedRect(r, Radius, Radius);

    if (!sunken) {
        // A one-pixel drop shadow lifts the button off the bar.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, hover ? 40 : 24));
        p.drawRoundedRect(r.translated(0, 1), Radius, Radius);
    }

    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0.0, top);
    fill.setColorAt(1.0, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(shape);

    if (!sunken) {
        const QRectF band(r.left() + 1.5, r.top() + 1.5, r.width() - 3.0, r.height() * 0.46);
        QLinearGradient sheen(band.topLeft(), band.bottomLeft());
        sheen.setColorAt(0.0, QColor(255, 255, 255, 150));
        sheen.setColorAt(1.0, QColor(255, 255, 255, 25));
        p.setBrush(sheen);
        p.drawRoundedRect(band, Radius - 1.5, Radius - 1.5);
    } else {
        // An inner shadow along the top edge.
        QLinearGradient shade(r.topLeft(), QPointF(r.left(), r.top() + 5));
        shade.setColorAt(0.0, QColor(0, 0, 0, 45));
        shade.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setBrush(shade);
        p.drawPath(shape);
    }

    QColor edge = face.darker(150);
    if (hover) {
        edge = theme::indigo();
        edge.setAlpha(190);
    }
    if (!hover && face.lightness() > 200)
        edge = theme::frame();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(edge, 1.0));
    p.drawPath(shape);
}

} // namespace

ShineButton::ShineButton(QWidget *parent) : ShineButton(QString(), parent) {}

ShineButton::ShineButton(const QString &caption, QWidget *parent) : QToolButton(parent)
{
    setText(caption);
    setFont(theme::captionFont(14));
    setAutoRaise(true);
    setAttribute(Qt::WA_Hover);
}

void ShineButton::setButtonStyle(Style style)
{
    if (m_style == style)
        return;
    m_style = style;
    update();
}

void ShineButton::setFaceColor(const QColor &color)
{
    m_faceColor = color;
    update();
}

void ShineButton::setCaptionColor(const QColor &color)
{
    m_captionColor = color;
    update();
}

void ShineButton::setHoverCaptionColor(const QColor &color)
{
    m_hoverCaptionColor = color;
    update();
}

QSize ShineButton::sizeHint() const
{
    // One or two characters fit the square; "Parole" or "Resume" widen the button instead of
    // being clipped.
    const int textWidth = fontMetrics().horizontalAdvance(QString(text()).remove(QLatin1Char('&')));
    return QSize(qMax(BarButtonSize, textWidth + 10), BarButtonSize);
}

QSize ShineButton::minimumSizeHint() const
{
    return sizeHint();
}

void ShineButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const bool enabled = isEnabled();
    const bool hover = enabled && underMouse();
    const bool sunken = isDown() || isChecked();
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -2.5);

    QColor face = m_faceColor.isValid() ? m_faceColor : theme::paper();
    if (isChecked() && !m_faceColor.isValid())
        face = QColor(214, 220, 230); // a pale indigo wash marks a switched-on button
    if (!enabled)
        face = QColor::fromHsl(face.hslHue(), face.hslSaturation() / 3, face.lightness());

    if (m_style == Style::Shine || hover || sunken || m_faceColor.isValid())
        paintFace(p, r, face, sunken, hover);

    if (isChecked() && !isDown()) {
        // A short indigo line under the caption: visible even on a coloured face.
        p.setPen(Qt::NoPen);
        p.setBrush(theme::indigo());
        const qreal w = qMin(r.width() - 8.0, 12.0);
        p.drawRoundedRect(QRectF(r.center().x() - w / 2, r.bottom() - 3.5, w, 1.6), 0.8, 0.8);
    }

    QColor caption = m_captionColor.isValid() ? m_captionColor : theme::ink();
    if (hover && m_hoverCaptionColor.isValid())
        caption = m_hoverCaptionColor;
    if (!enabled)
        caption = theme::frame();

    const QRectF textRect = sunken ? r.translated(0.5, 1.0) : r;
    p.setFont(font());
    p.setPen(caption);
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

} // namespace widgets
