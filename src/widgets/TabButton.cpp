#include "widgets/TabButton.h"

#include "widgets/Theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace widgets {

namespace {

constexpr int TabHeight = 21;
constexpr qreal Radius = 5.0;

} // namespace

TabButton::TabButton(QWidget *parent) : TabButton(QString(), parent) {}

TabButton::TabButton(const QString &caption, QWidget *parent) : QAbstractButton(parent)
{
    setText(caption);
    setFont(theme::captionFont(12));
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    // Tabs are pointed at, not tabbed to; a click must leave the focus in the pane.
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize TabButton::sizeHint() const
{
    const int textWidth = fontMetrics().horizontalAdvance(QString(text()).remove(QLatin1Char('&')));
    return QSize(qMax(36, textWidth + 22), TabHeight);
}

QSize TabButton::minimumSizeHint() const
{
    return sizeHint();
}

void TabButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const bool hover = underMouse() && isEnabled();
    const bool down = isDown();

    // Rounded at the top, square at the bottom where the tab meets the bar's lower edge.
    const QRectF r = QRectF(rect()).adjusted(0.5, 1.5, -0.5, 0.5);
    QPainterPath shape;
    shape.moveTo(r.bottomLeft());
    shape.lineTo(r.left(), r.top() + Radius);
    shape.arcTo(QRectF(r.left(), r.top(), 2 * Radius, 2 * Radius), 180, -90);
    shape.lineTo(r.right() - Radius, r.top());
    shape.arcTo(QRectF(r.right() - 2 * Radius, r.top(), 2 * Radius, 2 * Radius), 90, -90);
    shape.lineTo(r.bottomRight());

    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    const QColor face = down ? theme::barBackground().darker(104) : theme::paper();
    fill.setColorAt(0.0, down ? face : face.lighter(103));
    fill.setColorAt(1.0, down ? face.lighter(102) : face.darker(104));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(shape);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(theme::frame(), 1.0));
    p.drawPath(shape);

    if (hover || down) {
        // An indigo thread along the top edge, like the binding of a folder tab.
        p.setPen(QPen(theme::indigo(), 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.left() + Radius, r.top() + 1.0),
                   QPointF(r.right() - Radius, r.top() + 1.0));
    }

    p.setFont(font());
    p.setPen(isEnabled() ? (hover ? theme::indigo() : theme::ink()) : theme::frame());
    const QRectF textRect = r.adjusted(0, 1.0, 0, 0).translated(0, down ? 0.5 : 0.0);
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

} // namespace widgets
