#include "editor/QuietScrollBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace editor {

QuietScrollBar::QuietScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
}

QuietScrollBar::Shown QuietScrollBar::shown() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
        value() <= minimum(), value() >= maximum()};
}

void QuietScrollBar::sliderChange(SliderChange change)
{
    const bool quiet =
        change == SliderRangeChange || change == SliderValueChange || change == SliderStepsChange;
    if (quiet && m_everPainted && shown() == m_painted)
        return;
    QScrollBar::sliderChange(change);
}

void QuietScrollBar::paintEvent(QPaintEvent *event)
{
    m_painted = shown();
    m_everPainted = true;
    // (Under the pointer or pressed, the style shows which part: QScrollBar's own drawing.)
    if (underMouse() || isSliderDown()) {
        m_drawing = QPixmap();
        QScrollBar::paintEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    const Drawn now{m_painted, size(), devicePixelRatioF(), option.state, palette().cacheKey(),
                    style()};
    if (m_drawing.isNull() || !(now == m_drawn)) {
        m_drawing = QPixmap(size() * now.ratio);
        m_drawing.setDevicePixelRatio(now.ratio);
        m_drawing.fill(Qt::transparent);
        QPainter painter(&m_drawing);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
        m_drawn = now;
    }
    QPainter(this).drawPixmap(0, 0, m_drawing);
}

} // namespace editor
