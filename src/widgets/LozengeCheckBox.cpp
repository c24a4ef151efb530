#include "widgets/LozengeCheckBox.h"

#include "widgets/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace widgets {

namespace {

constexpr int LozengeSize = 13; // corner to corner
constexpr int Gap = 4;          // between lozenge and caption
constexpr int Margin = 3;

QPainterPath lozenge(const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.center().x(), r.top());
    path.lineTo(r.right(), r.center().y());
    path.lineTo(r.center().x(), r.bottom());
    path.lineTo(r.left(), r.center().y());
    path.closeSubpath();
    return path;
}

} // namespace

LozengeCheckBox::LozengeCheckBox(QWidget *parent) : LozengeCheckBox(QString(), parent) {}

LozengeCheckBox::LozengeCheckBox(const QString &caption, QWidget *parent)
    : QCheckBox(caption, parent)
{
    setFont(theme::captionFont(14));
    setAttribute(Qt::WA_Hover);
    // Reachable with Tab, but a click does not pull the focus out of the pane being edited.
    setFocusPolicy(Qt::TabFocus);
}

QSize LozengeCheckBox::sizeHint() const
{
    const QString caption = QString(text()).remove(QLatin1Char('&'));
    int width = Margin + LozengeSize + Margin;
    if (!caption.isEmpty())
        width += Gap + fontMetrics().horizontalAdvance(caption);
    return QSize(width, qMax(26, fontMetrics().height() + 4));
}

QSize LozengeCheckBox::minimumSizeHint() const
{
    return sizeHint();
}

bool LozengeCheckBox::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

QRectF LozengeCheckBox::lozengeRect() const
{
    const qreal top = (height() - LozengeSize) / 2.0;
    return QRectF(Margin + 0.5, top + 0.5, LozengeSize, LozengeSize);
}

void LozengeCheckBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const bool enabled = isEnabled();
    const bool hover = enabled && underMouse();
    const QRectF box = lozengeRect();
    const QPainterPath outline = lozenge(box);

    const QColor accent = enabled ? theme::indigo() : theme::frame();
    p.setPen(QPen(hover || isDown() || isChecked() ? accent : theme::frame(), 1.2));
    p.setBrush(isDown() ? theme::barBackground().darker(106) : theme::paper());
    p.drawPath(outline);

    const Qt::CheckState state = checkState();
    if (state != Qt::Unchecked) {
        // Checked fills an inner lozenge; partially checked fills only its lower half, like
        // ink that has not yet risen to the top.
        const QRectF inner = box.adjusted(2.2, 2.2, -2.2, -2.2);
        QPainterPath mark = lozenge(inner);
        if (state == Qt::PartiallyChecked) {
            QPainterPath lower;
            lower.addRect(QRectF(inner.left(), inner.center().y(), inner.width(), inner.height()));
            mark = mark.intersected(lower);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawPath(mark);
        if (state == Qt::Checked && enabled) {
            // A glint on the upper facet keeps the filled stone from looking flat.
            p.setBrush(QColor(255, 255, 255, 90));
            QPainterPath glint;
            glint.moveTo(inner.center().x(), inner.top() + 1.0);
            glint.lineTo(inner.center().x() + inner.width() / 4, inner.top() + inner.height() / 4);
            glint.lineTo(inner.center().x(), inner.center().y() - 0.5);
            glint.lineTo(inner.center().x() - inner.width() / 4, inner.top() + inner.height() / 4);
            glint.closeSubpath();
            p.drawPath(glint);
        }
    }

    if (!text().isEmpty()) {
        const QRectF textRect(box.right() + Gap, 0, width() - box.right() - Gap, height());
        p.setFont(font());
        p.setPen(enabled ? theme::ink() : theme::frame());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
        if (hasFocus()) {
            // Keyboard focus: a thin indigo line under the caption instead of a dotted box.
            const qreal w =
                fontMetrics().horizontalAdvance(QString(text()).remove(QLatin1Char('&')));
            const qreal y = height() / 2.0 + fontMetrics().height() / 2.0 + 0.5;
            p.setPen(QPen(theme::indigo(), 1.0));
            p.drawLine(QPointF(textRect.left(), y), QPointF(textRect.left() + w, y));
        }
    } else if (hasFocus()) {
        p.setPen(QPen(theme::indigo(), 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawPath(lozenge(box.adjusted(-2, -2, 2, 2)));
    }
}

} // namespace widgets
