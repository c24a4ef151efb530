// What a user of a Linux desktop expects of the window: every control reachable at the
// smallest window, the usual shortcuts, recent files, the unsaved mark, safe defaults.
#include "FakeDirectSS.h"
#include "WindowTest.h"

#include "shell/FindReplaceDialog.h"
#include "shell/ToolStrip.h"
#include "shell/UiServices.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QSlider>
#include <QToolButton>

using namespace editor;
using namespace shell;

namespace {

struct Desktop : testsupport::WindowTest
{
};

} // namespace

TEST_F(Desktop, EveryBarControlIsReachableAtTheSmallestWindow)
{
    w->resize(780, 550);
    showActive();
    for (int b = 0; b < TMainForm1::BarCount; ++b) {
        auto *strip = static_cast<ToolStrip *>(w->bar(TMainForm1::Bar(b)));
        strip->show();
        QApplication::processEvents();
        SCOPED_TRACE(strip->objectName().toStdString());
        const QList<QWidget *> cut = strip->cutOffControls();
        EXPECT_EQ(strip->overflowButton()->isVisible(), !cut.isEmpty());
        if (b == TMainForm1::HtmlBar) {
            EXPECT_GE(cut.size(), 9) << "the page bar needs about 1,190 px";
        }
        if (cut.isEmpty())
            continue;
        QList<QWidget *> order;
        for (QWidget *c : strip->content()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            order << c;

        QTest::mouseClick(strip->overflowButton(), Qt::LeftButton);
        QWidget *panel = strip->overflowPanel();
        ASSERT_TRUE(panel && panel->isVisible());
        const QRect screen = strip->screen()->availableGeometry();
        for (QWidget *c : cut) {
            EXPECT_EQ(c->parentWidget(), panel) << c->objectName().toStdString();
            EXPECT_TRUE(c->isVisible()) << c->objectName().toStdString();
            const QRect r(c->mapToGlobal(QPoint(0, 0)), c->size());
            EXPECT_TRUE(screen.contains(r)) << c->objectName().toStdString();
        }
        // A control in the panel still runs its command.
        if (auto *button = qobject_cast<QAbstractButton *>(cut.constLast()); button) {
            int clicks = 0;
            QObject::connect(button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(clicks, 1);
        }

        panel->hide();
        QApplication::processEvents();
        EXPECT_EQ(strip->overflowPanel(), nullptr);
        QList<QWidget *> back;
        for (QWidget *c : strip->content()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            back << c;
        EXPECT_EQ(back.size(), order.size());
        for (QWidget *c : cut)
            EXPECT_EQ(c->parentWidget(), strip->content());
        EXPECT_EQ(strip->cutOffControls(), cut) << "controls return to their places";
    }
}

TEST_F(Desktop, TheUsualShortcutsWorkInThePane)
{
    showActive();
    TRichEditSx *right = w->RichEditNx1();
    right->setFocus();
    QWidget *view = right->activeView();
    QTest::keyClicks(view, QStringLiteral("abc"));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(right->text(), QStringLiteral("abc")) << "Ctrl+Shift+Z redoes";

    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ui.saveChoiceRequests.size(), 1) << "Ctrl+Shift+S asks for a name";

    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    const auto dialogs = w->findChildren<FindReplaceDialog *>();
    EXPECT_TRUE(std::any_of(dialogs.begin(), dialogs.end(), [](QWidget *d) {
        return d->isVisible();
    })) << "Ctrl+F opens the find dialog";
    for (auto *d : dialogs)
        d->hide();

    right->setModified(false);
    QTest::keyClick(view, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w->isVisible()) << "Ctrl+Q quits";
}

TEST_F(Desktop, TitleMarksUnsavedChangesAndDiscardingAsksWithNoAsDefault)
{
    showActive();
    const QString path = writeFile(QStringLiteral("歌[*].txt"), "春");
    w->openStartupArgument({path});
    EXPECT_EQ(w->windowTitle(),
              QString(path).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")) +
                  QStringLiteral("[*]"));
    EXPECT_FALSE(w->isWindowModified());
    w->RichEditNx1()->setFocus();
    QTest::keyClicks(w->RichEditNx1()->activeView(), QStringLiteral("x"));
    EXPECT_TRUE(w->isWindowModified());

    for (const char *handler : {"New1Click", "LeftNew1Click"}) {
        ui.messages.clear();
        w->run(QString::fromLatin1(handler));
        ASSERT_EQ(ui.messages.size(), 1) << handler;
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNoDefaultNo) << handler;
    }
    ui.messages.clear();
    EXPECT_FALSE(w->close()) << "the fake answers No: the text stays";
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_TRUE(w->isWindowModified());
}

TEST_F(Desktop, RecentFilesAreListedKeptAndPrunedAndDialogsStartInTheLastFolder)
{
    showActive();
    ui.openAnswers.enqueue(std::nullopt);
    w->run(QStringLiteral("Open1Click"));
    ASSERT_EQ(ui.openRequests.size(), 1);
    // Text files of any usual kind, and every file, each pattern written once.
    const QString filters = UiServices::qtFilter(ui.openRequests[0].filter);
    EXPECT_TRUE(filters.contains(QStringLiteral("*.md"))) << qPrintable(filters);
    EXPECT_TRUE(filters.endsWith(QStringLiteral("すべてのファイル (*)"))) << qPrintable(filters);
    EXPECT_EQ(filters.count(QStringLiteral("*.txt")), 1) << qPrintable(filters);
    EXPECT_NE(ui.openRequests[0].folder, QFileInfo(w->programDir()).absoluteFilePath())
        << "never the program's own folder";
    EXPECT_TRUE(QFileInfo(ui.openRequests[0].folder).isDir());

    QDir(dir.path()).mkdir(QStringLiteral("poems"));
    const QString a = writeFile(QStringLiteral("poems/a.txt"), "a");
    const QString b = writeFile(QStringLiteral("b.txt"), "b");
    for (const QString &f : {a, b}) {
        ui.openAnswers.enqueue(f);
        w->run(QStringLiteral("Open1Click"));
    }
    const auto items = [this] {
        QStringList shown;
        for (QAction *item : w->recentMenu()->actions())
            if (!item->isSeparator())
                shown << item->text();
        return shown;
    };
    EXPECT_EQ(items(), (QStringList{QStringLiteral("&1 ") + b, QStringLiteral("&2 ") + a,
                                    QStringLiteral("履歴を消去(&C)")}));
    w->run(QStringLiteral("ShineSpeedButton2Click")); // shows the left pane
    const qsizetype asked = ui.openRequests.size();
    w->run(QStringLiteral("LeftOpen1Click"));
    ASSERT_EQ(ui.openRequests.size(), asked + 1);
    EXPECT_EQ(ui.openRequests.last().folder, dir.path()) << "the last folder used";

    // A new window reads the same list; a file gone since is dropped with a note.
    w->RichEditNx1()->setModified(false);
    w->close();
    w = std::make_unique<TMainForm1>(ui, dir.filePath(QStringLiteral("kotonami")));
    QFile::remove(a);
    ui.messages.clear();
    w->recentMenu()->actions().at(1)->trigger();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.startsWith(a + QStringLiteral(" が見つかりません。")));
    EXPECT_EQ(items(), (QStringList{QStringLiteral("&1 ") + b, QStringLiteral("履歴を消去(&C)")}));
    w->recentMenu()->actions().at(0)->trigger();
    EXPECT_EQ(w->rightPane().file(), b);
}

TEST(DesktopVolume, TheSliderSetsTheProgramsOwnOutputVolume)
{
    QTemporaryDir dir;
    testsupport::FakeUiServices ui;
    FakeDirectSS *engine = nullptr;
    ui.speechEngine = [&engine](QObject *) {
        auto e = std::make_unique<FakeDirectSS>();
        e->modes = {{QStringLiteral("Female Japanese"), QStringLiteral("Naoko")}};
        engine = e.get();
        return e;
    };
    TMainForm1 w(ui, dir.filePath(QStringLiteral("kotonami")));
    ASSERT_NE(engine, nullptr);
    EXPECT_DOUBLE_EQ(engine->outputVolume, 1.0) << "full volume from the start";
    auto *slider = qobject_cast<QSlider *>(w.control(QStringLiteral("VScrollBar")));
    ASSERT_NE(slider, nullptr);
    slider->setValue(slider->maximum() / 4);
    EXPECT_NEAR(engine->outputVolume, 0.25, 0.001);
}
