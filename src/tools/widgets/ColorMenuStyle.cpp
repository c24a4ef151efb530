#include "tools/widgets/ColorMenuStyle.h"

#include "tools/StringColoring.h"

#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace tools {

namespace {

const QColor kGround(232, 211, 185);
const QColor kLineDark(133, 145, 26);
const QColor kLineLight(232, 239, 167);

QString plainCaption(QString text)
{
    // The caption may carry a shortcut after a tab and an access-key ampersand.
    const qsizetype tab = text.indexOf(u'\t');
    if (tab >= 0)
        text.truncate(tab);
    text.remove(u'&');
    return text;
}

} // namespace

ColorMenuStyle::ColorMenuStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int ColorMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuPanelWidth:
    case PM_MenuDesktopFrameWidth:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize ColorMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option,
                                       const QSize &size, const QWidget *widget) const
{
    if (type == CT_MenuItem) {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (item && item->menuItemType == QStyleOptionMenuItem::Separator)
            return {80, 10};
        return {80, 20};
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void ColorMenuStyle::drawControl(ControlElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect r = item->rect;
    painter->save();
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        painter->fillRect(r, kGround);
        const int y = r.top() + r.height() / 2;
        painter->setPen(kLineDark);
        painter->drawLine(r.left() + 1, y, r.right() - 1, y);
        painter->setPen(kLineLight);
        painter->drawLine(r.left() + 1, y + 1, r.right() - 1, y + 1);
        painter->restore();
        return;
    }
    const QString caption = plainCaption(item->text);
    QColor fill = kGround;
    int textX = 2;
    for (const ColoringColor &c : coloringColors()) {
        if (c.caption == caption) {
            fill = toQColor(c.face);
            textX = 15;
            break;
        }
    }
    const bool checkable = item->checkType != QStyleOptionMenuItem::NotCheckable;
    if (checkable)
        textX = 15;
    painter->fillRect(r, fill);
    if (checkable && item->checked) {
        // The framed box of a check item that is on.
        const QRect box(r.left() + 3, r.top() + (r.height() - 9) / 2, 9, 9);
        painter->setPen(QColor(60, 60, 60));
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        painter->fillRect(box.adjusted(2, 2, -2, -2), QColor(60, 60, 60));
    }
    if (item->state & State_Selected) {
        painter->setPen(QColor(40, 40, 40));
        painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter->setFont(item->font);
    painter->setPen(item->state & State_Enabled ? QColor(Qt::black) : QColor(Qt::gray));
    painter->drawText(QRect(r.left() + textX, r.top(), r.width() - textX, r.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
    painter->restore();
}

void installColorMenuStyle(QMenu *menu)
{
    auto *style = new ColorMenuStyle;
    style->setParent(menu);
    menu->setStyle(style);
}

} // namespace tools
