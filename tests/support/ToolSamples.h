#pragma once
// Tool widgets set up as the window sets them up, for the tests and the gallery.

#include "tools/ScrollStrip.h"
#include "tools/StringColoring.h"
#include "tools/widgets/ColorMenuStyle.h"
#include "tools/widgets/MsgSCR.h"

#include <QAction>
#include <QMenu>

namespace testsupport {

// The right pane's colouring menu: the confirm item, the colours, the wrap switch
// (checked), in the colour menu's own style.
inline void fillColourMenu(QMenu &menu)
{
    menu.addAction(QStringLiteral("文字選択確定"));
    menu.addSeparator();
    for (const tools::ColoringColor &c : tools::coloringColors())
        menu.addAction(c.caption);
    menu.addSeparator();
    QAction *wrap = menu.addAction(QStringLiteral("折り返し"));
    wrap->setCheckable(true);
    wrap->setChecked(true);
    tools::installColorMenuStyle(&menu);
    menu.ensurePolished();
}

// The left bar's poem strip, 240 × 24, running Izumi Shikibu's poems every 30 ms.
inline void setUpScrollStrip(tools::TMsgSCR &strip)
{
    strip.resize(240, 24);
    strip.setColor(QColor(213, 227, 221));
    strip.setFontColor(Qt::blue);
    strip.setMsg(tools::izumiShikibuPoems());
    strip.setShow(true);
    strip.setInterval(30);
}

} // namespace testsupport
