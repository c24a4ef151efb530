#include "editor/QuietScrollBar.h"

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
    QScrollBar::paintEvent(event);
}

} // namespace editor
