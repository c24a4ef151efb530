#include "ToolSamples.h"
#include "tools/StringColoring.h"
#include "tools/widgets/ColorMenuStyle.h"
#include "tools/widgets/MsgSCR.h"
#include "tools/widgets/StrSortGrid.h"
#include "tools/widgets/Unit2.h"

#include "QtPrinters.h"

#include "text/Cp932Codec.h"
#include "widgets/ShineButton.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace tools;

namespace {

// Answers the count grid window's questions as a test tells it.
struct ScriptedUi
{
    QStringList asked;
    QList<GridPrompts::Level> kinds;
    QList<bool> answers; // Yes or No; No when empty
    std::optional<QString> openAnswer, saveAnswer;
    QList<GridPrompts::FileRequest> requests;

    operator GridPrompts()
    {
        GridPrompts p;
        p.tell = [this](QWidget *, GridPrompts::Level level, const QString &text) {
            asked << u'|' + text;
            kinds << level;
        };
        p.confirm = [this](QWidget *, const QString &caption, const QString &text) {
            asked << caption + u'|' + text;
            return !answers.isEmpty() && answers.takeFirst();
        };
        p.openFileName = [this](QWidget *, const GridPrompts::FileRequest &r) {
            requests << r;
            return openAnswer;
        };
        p.saveFileName = [this](QWidget *, const GridPrompts::FileRequest &r) {
            requests << r;
            return saveAnswer;
        };
        return p;
    }
};

} // namespace

TEST(TForm2, RecordsRunsSortsByCountAndSaves)
{
    ScriptedUi ui;
    ColoringState state;
    state.rowCounter = 9;
    auto *form = new TForm2(ui, state);
    QPointer<TForm2> alive(form);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("count grid"));
    EXPECT_EQ(state.rowCounter, 0);
    ASSERT_NE(form->button(QStringLiteral("ShineSpeedButton2")), nullptr);
    EXPECT_EQ(form->button(QStringLiteral("ShineSpeedButton2"))->text(),
              QStringLiteral("保存(&S)"));

    form->recordRun(QStringLiteral("秋"), QStringLiteral("000003"), QStringLiteral("00:00:00:004"));
    form->recordRun(QStringLiteral("山 川"), QStringLiteral("000012"),
                    QStringLiteral("00:00:00:031"));
    form->recordRun(QStringLiteral("月"), QStringLiteral("000007"), QStringLiteral("00:00:00:002"));
    StringGridModel &cells = form->cells();
    EXPECT_EQ(cells.row(1), QStringList({"000001", "秋", "000003", "00:00:00:004", ""}));
    EXPECT_EQ(cells.row(2), QStringList({"000002", "山 川", "000012", "00:00:00:031", ""}));

    // A press on the heading "個数": descending first on a fresh grid, then ascending.
    form->resize(520, 200);
    form->show();
    TStrSortGrid *grid = form->StrSortGrid1();
    QHeaderView *header = grid->horizontalHeader();
    const QPoint onCount(header->sectionViewportPosition(2) + 10, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, onCount);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, onCount);
    EXPECT_TRUE(grid->sortMade());
    EXPECT_FALSE(grid->ascending());
    EXPECT_EQ(grid->sortedHeading(), QStringLiteral("個数"));
    EXPECT_EQ(cells.cell(1, 2), QStringLiteral("000012"));
    EXPECT_EQ(cells.cell(2, 2), QStringLiteral("000007"));
    EXPECT_EQ(cells.cell(3, 2), QStringLiteral("000003"));
    EXPECT_EQ(cells.cell(1, 1), QStringLiteral("山 川"));
    const QImage sortedShot = form->grab().toImage();
    // The arrow after the heading text: dark pixels to the right of "個数".
    const QPoint headerAt = header->mapTo(form, QPoint(header->sectionViewportPosition(2), 0));
    int dark = 0;
    for (int dx = 30; dx < 90; ++dx)
        for (int dy = 0; dy < header->height(); ++dy)
            if (QColor(sortedShot.pixel(headerAt + QPoint(dx, dy))).lightness() < 90)
                ++dark;
    EXPECT_GT(dark, 10);
    grid->headingPressed(2);
    EXPECT_TRUE(grid->ascending());
    EXPECT_EQ(cells.cell(1, 2), QStringLiteral("000003"));
    EXPECT_EQ(cells.cell(3, 2), QStringLiteral("000012"));

    // Save through the dialog: the counter is 3, the row typed in below it is left out.
    QTemporaryDir dir;
    cells.setRowCountTotal(5);
    cells.setCell(4, 1, QStringLiteral("手"));
    ui.saveAnswer = dir.filePath(QStringLiteral("g.csv"));
    form->ShineSpeedButton2Click();
    EXPECT_EQ(ui.requests.back().filter, QStringLiteral("Csv(*.csv)|*.csv|Text(*.txt)|*.txt"));
    EXPECT_EQ(ui.requests.back().defaultSuffix, QStringLiteral("Csv"));
    QFile saved(*ui.saveAnswer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString savedText = text::decodeCp932(saved.readAll());
    EXPECT_EQ(savedText.count(QStringLiteral("\r\n")), 4);
    EXPECT_TRUE(savedText.contains(QStringLiteral("000002,山 川,000012,00:00:00:031,\r\n")));
    EXPECT_FALSE(savedText.contains(QStringLiteral("手")));

    // Open it again: as many rows as lines, the path in the caption.
    cells.setRowCountTotal(9);
    ui.openAnswer = *ui.saveAnswer;
    form->ShineSpeedButton1Click();
    EXPECT_EQ(cells.rowCountTotal(), 4);
    EXPECT_EQ(state.rowCounter, 3);
    EXPECT_EQ(form->windowTitle(), QFileInfo(*ui.openAnswer).absoluteFilePath());
    EXPECT_EQ(cells.cell(1, 1), QStringLiteral("秋")); // saved in ascending order

    // A file that cannot be read: the system's message, the rows kept.
    EXPECT_FALSE(form->openFile(dir.filePath(QStringLiteral("missing.csv"))));
    EXPECT_TRUE(ui.asked.back().startsWith(u'|'));
    EXPECT_EQ(ui.kinds.back(), GridPrompts::Level::Error);
    EXPECT_EQ(cells.rowCountTotal(), 4);

    // A row wider than the grid: the grid widens, the same message path warns.
    const QString wide = dir.filePath(QStringLiteral("wide.csv"));
    QFile wideFile(wide);
    ASSERT_TRUE(wideFile.open(QIODevice::WriteOnly));
    wideFile.write("a,b,c,d,e,f\r\n000001,x,1,2,,remark,more\r\n");
    wideFile.close();
    const qsizetype asked = ui.asked.size();
    EXPECT_TRUE(form->openFile(wide));
    ASSERT_EQ(ui.asked.size(), asked + 1);
    EXPECT_EQ(ui.kinds.back(), GridPrompts::Level::Warning);
    EXPECT_EQ(
        ui.asked.back(),
        QStringLiteral("|セルが5つより多い行が2行ありました。表を7列に広げて読み込みました。"));
    EXPECT_EQ(form->StrSortGrid1()->model()->columnCount(), 7);
    EXPECT_EQ(cells.cell(1, 6), QStringLiteral("more"));

    // Closing asks; No keeps the window, Yes destroys it.
    form->close();
    EXPECT_EQ(ui.asked.back(), QStringLiteral("確認|現在の内容を廃棄します。よろしいですか"));
    EXPECT_TRUE(form->isVisible());
    ui.answers << true;
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(state.rowCounter, 1); // the counter outlives the window
}

TEST(TForm2, EditingButtonsActOnTheCellBeingEdited)
{
    ScriptedUi ui;
    ColoringState state;
    TForm2 form(ui, state);
    form.recordRun(QStringLiteral("花"), QStringLiteral("000001"), QStringLiteral("x"));
    form.show();
    TStrSortGrid *grid = form.StrSortGrid1();
    QApplication::clipboard()->setText(QStringLiteral("紙"));
    form.PasteButtonClick(); // nothing is being edited
    EXPECT_EQ(form.cells().cell(1, 4), QString());
    grid->edit(form.cells().index(0, 4));
    ASSERT_NE(grid->cellEditor(), nullptr);
    form.PasteButtonClick();
    EXPECT_EQ(grid->cellEditor()->text(), QStringLiteral("紙"));
    form.UndoButtonClick();
    EXPECT_EQ(grid->cellEditor()->text(), QString());
}

TEST(TStrSortGrid, SortModes)
{
    StringGridModel cells(2, 4);
    cells.setRow(0, {"　", "k"});
    cells.setRow(1, {"1", "b"});
    cells.setRow(2, {"2", "c"});
    cells.setRow(3, {"3", "a"});
    TStrSortGrid grid;
    grid.setGridModel(&cells);
    EXPECT_EQ(grid.Spacing(), 10);
    grid.setSortOps(TSortops::soNon);
    grid.headingPressed(1);
    EXPECT_FALSE(grid.sortMade());
    EXPECT_EQ(cells.cell(1, 1), QStringLiteral("b"));
    grid.setSortOps(TSortops::soUponly);
    grid.headingPressed(1);
    grid.headingPressed(1);
    EXPECT_EQ(cells.cell(1, 1), QStringLiteral("a"));
    grid.setSortOps(TSortops::soDownOnly);
    grid.headingPressed(1);
    grid.headingPressed(1);
    EXPECT_EQ(cells.cell(1, 1), QStringLiteral("c"));
    // A data row dragged by its handle moves in the cells themselves.
    grid.verticalHeader()->moveSection(0, 2);
    EXPECT_EQ(cells.cell(3, 1), QStringLiteral("c"));
    EXPECT_EQ(grid.verticalHeader()->visualIndex(2), 2);
}

TEST(TMsgSCR, StepsOnScreenWithoutStartingAgainFromTheRight)
{
    TMsgSCR strip;
    testsupport::setUpScrollStrip(strip);
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    ASSERT_TRUE(strip.isTicking());
    // Each step is painted before the next, as the timer's steps are: the repaint a step
    // asks for must not start the text again from the right edge, as other repaints do.
    for (int i = 0; i < 60; ++i) {
        strip.step();
        QCoreApplication::processEvents();
    }
    // 60 steps of 2 pixels bring the text 120 pixels in from the right edge.
    EXPECT_EQ(strip.scrollX(), 240 - 120);
    // What is on screen: grab() would repaint the strip, and with it start the text again.
    const QImage shot = strip.windowHandle()->screen()->grabWindow(strip.winId()).toImage();
    int inkLeft = 0, inkRight = 0;
    for (int px = 0; px < shot.width(); ++px)
        for (int py = 0; py < shot.height(); ++py)
            if (QColor(shot.pixel(px, py)).blue() > 200 && QColor(shot.pixel(px, py)).red() < 80)
                ++(px < strip.scrollX() ? inkLeft : inkRight);
    EXPECT_GT(inkRight, 20);
    EXPECT_EQ(inkLeft, 0) << "the text starts where the strip has scrolled it";
}

TEST(ColorMenuStyle, ItemsAre80By20AndFilledWithTheirColours)
{
    QMenu menu;
    testsupport::fillColourMenu(menu);
    const QList<QAction *> actions = menu.actions();
    EXPECT_EQ(menu.actionGeometry(actions[0]).size(), QSize(80, 20));
    EXPECT_EQ(menu.actionGeometry(actions[1]).size(), QSize(80, 10));
    EXPECT_EQ(menu.actionGeometry(actions[2]).size(), QSize(80, 20));
    const QImage shot = menu.grab().toImage();
    auto at = [&](QAction *a, int dx, int dy) {
        const QRect r = menu.actionGeometry(a);
        return QColor(shot.pixel(r.left() + dx, r.top() + dy));
    };
    EXPECT_EQ(at(actions[0], 70, 3), QColor(232, 211, 185));
    EXPECT_EQ(at(actions[2], 70, 3), QColor(194, 72, 37));
    EXPECT_EQ(at(actions[4], 70, 3), QColor(231, 218, 67)); // 黄: its face colour
    EXPECT_EQ(at(actions[1], 40, 5), QColor(133, 145, 26));
    EXPECT_EQ(at(actions[1], 40, 6), QColor(232, 239, 167));
    EXPECT_EQ(at(actions[1], 0, 5), QColor(232, 211, 185));
}
