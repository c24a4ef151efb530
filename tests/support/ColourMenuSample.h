#pragma once
// The right pane's colouring menu as the window builds it: the confirm item, the colours,
// the wrap switch (checked), in the colour menu's own style.

#include "tools/StringColoring.h"
#include "tools/widgets/ColorMenuStyle.h"

#include <QAction>
#include <QMenu>

namespace testsupport {

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

} // namespace testsupport
