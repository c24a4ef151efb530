#pragma once
// The drawing of the right pane's context menu: every item 80 x 20 pixels; the twelve
// colour items filled with the colour they apply (the yellow with its lighter face) and
// their caption 15 pixels from the left; "文字選択確定" and "折り返し" on a sand-coloured
// ground, captions at 2 and 15 pixels, "折り返し" with a small framed box while word wrap
// is on; separators 80 x 10 with two lines across the middle.
//
// Items are told apart by their captions, which are the program's fixed texts.

#include <QProxyStyle>

class QMenu;

namespace tools {

class ColorMenuStyle final : public QProxyStyle
{
    Q_OBJECT
public:
    ColorMenuStyle();

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
};

// Installs the style on the menu; the menu owns it.
void installColorMenuStyle(QMenu *menu);

} // namespace tools
