// The left pane's tools: the count grid sorted both ways, the colour menu and the poem
// scroll strip part way through its run.
#include "Gallery.h"

#include "ToolSamples.h"
#include "tools/ScrollStrip.h"
#include "tools/StringColoring.h"
#include "tools/widgets/ColorMenuStyle.h"
#include "tools/widgets/MsgSCR.h"
#include "tools/widgets/StrSortGrid.h"
#include "tools/widgets/Unit2.h"

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QWindow>

using namespace tools;

namespace gallery {

namespace {

void countGridPictures(Shelf &shelf)
{
    ColoringState state;
    TForm2 form(GridPrompts{}, state); // the pictures ask nothing
    form.recordRun(QStringLiteral("秋"), QStringLiteral("000003"), QStringLiteral("00:00:00:004"));
    form.recordRun(QStringLiteral("山 川"), QStringLiteral("000012"),
                   QStringLiteral("00:00:00:031"));
    form.recordRun(QStringLiteral("月"), QStringLiteral("000007"), QStringLiteral("00:00:00:002"));
    form.resize(520, 200);
    form.show();
    // A press on the heading "個数" sorts descending first, the next one ascending.
    form.StrSortGrid1()->headingPressed(2);
    QApplication::processEvents();
    shelf.keep(form.grab().toImage(), QStringLiteral("count-grid-descending.png"));
    form.StrSortGrid1()->headingPressed(2);
    QApplication::processEvents();
    shelf.keep(form.grab().toImage(), QStringLiteral("count-grid-ascending.png"));
}

void colourMenuPicture(Shelf &shelf)
{
    QMenu menu;
    testsupport::fillColourMenu(menu);
    shelf.keep(menu.grab().toImage(), QStringLiteral("context-menu.png"));
}

void scrollStripPicture(Shelf &shelf)
{
    TMsgSCR strip;
    testsupport::setUpScrollStrip(strip);
    strip.show();
    if (!QTest::qWaitForWindowExposed(&strip))
        return;
    // 60 steps of 2 pixels, each painted as the timer's would be.
    for (int i = 0; i < 60; ++i) {
        strip.step();
        QApplication::processEvents();
    }
    // What is on screen: grab() would repaint the strip, and a repaint starts the text again
    // from the right edge.
    shelf.keep(strip.windowHandle()->screen()->grabWindow(strip.winId()).toImage(),
               QStringLiteral("scroll-strip-running.png"));
}

} // namespace

void saveToolPictures(Shelf &shelf)
{
    countGridPictures(shelf);
    colourMenuPicture(shelf);
    scrollStripPicture(shelf);
}

} // namespace gallery
