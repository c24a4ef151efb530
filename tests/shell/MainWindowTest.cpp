#include "FakeUiServices.h"
#include "QtPrinters.h"
#include "TimerTick.h"
#include "WindowTest.h"

#include "LnkWriter.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"
#include "shell/DROPDST.h"
#include "shell/Unit1.h"
#include "shell/Unit3.h"
#include "shell/Utamain.h"
#include "speech/ReadingController.h"
#include "text/ShellLink.h"
#include "tools/widgets/MsgSCR.h"
#include "widgets/ClockLabel.h"
#include "widgets/TabButton.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <random>

using namespace editor;
using namespace shell;
using testsupport::FakeUiServices;

namespace {

struct WindowFixture : testsupport::WindowTest
{
    QList<TMainForm1::Bar> visibleTabsLeftToRight() const
    {
        QList<std::pair<int, TMainForm1::Bar>> xs;
        for (int b = 0; b < TMainForm1::BarCount; ++b) {
            if (w->tab(TMainForm1::Bar(b))->isVisibleTo(w.get()))
                xs.append({w->tab(TMainForm1::Bar(b))->geometry().x(), TMainForm1::Bar(b)});
        }
        std::sort(xs.begin(), xs.end());
        QList<TMainForm1::Bar> out;
        for (const auto &p : xs)
            out << p.second;
        return out;
    }
};

} // namespace

TEST_F(WindowFixture, StartsWithCaptionMenusBarsAndPanes)
{
    showActive();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kotonami[*]"));
    QStringList menus;
    for (QAction *a : w->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
                                  QStringLiteral("表示(&V)"), QStringLiteral("ヘルプ(&H)"),
                                  QStringLiteral("Parole(&P)"), QStringLiteral("Speaker(&S)")}));
    EXPECT_EQ(w->action(QStringLiteral("Undo1"))->text(), QStringLiteral("元に戻す(&U) "));
    EXPECT_EQ(w->action(QStringLiteral("Undo1"))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_TRUE(w->action(QStringLiteral("VH"))->isChecked());
    EXPECT_TRUE(w->action(QStringLiteral("WordWrap"))->isChecked());
    EXPECT_TRUE(w->action(QStringLiteral("N14"))->isChecked());
    EXPECT_TRUE(w->RichEditNx1()->Vertical());
    EXPECT_TRUE(w->RichEditNx2()->Vertical());
    EXPECT_FALSE(w->RichEditNx2()->isVisible());
    EXPECT_EQ(w->StatusBar1()->panelText(3), QStringLiteral("行:1      列:0    "));
    EXPECT_GE(w->width(), 780);
    EXPECT_GE(w->minimumWidth(), 780);
    EXPECT_EQ(w->minimumHeight(), 320);
    // The context menu: "文字選択確定", "読みを登録...", "ふりがな", a separator, twelve
    // colours, a separator, "折り返し".
    ASSERT_NE(w->popupMenu(), nullptr);
    EXPECT_EQ(w->popupMenu()->actions().size(), 18);
    EXPECT_EQ(w->popupMenu()->actions().last()->text(), QStringLiteral("折り返し"));
    EXPECT_EQ(w->RichEditNx1()->contextMenu(), w->popupMenu());
    EXPECT_EQ(w->RichEditNx2()->contextMenu(), nullptr);
    for (const char *name : {"Edit2", "Edit3", "Edit4", "Edit5"})
        EXPECT_NE(w->edit(QLatin1String(name)), nullptr) << name;
}

TEST_F(WindowFixture, BarsAndTabsAtStartAndAfterCollapsing)
{
    showActive();
    using B = TMainForm1;
    EXPECT_TRUE(w->bar(B::RightBar)->isVisible());
    EXPECT_TRUE(w->bar(B::LeftBar)->isVisible());
    EXPECT_FALSE(w->bar(B::ColorBar)->isVisible());
    EXPECT_FALSE(w->bar(B::HtmlBar)->isVisible());
    EXPECT_TRUE(w->bar(B::SpeechBar)->isVisible());
    EXPECT_EQ(visibleTabsLeftToRight(), (QList<B::Bar>{B::ColorBar, B::HtmlBar, B::SpeechBar}));

    // Clicking the "Speech" tab while its bar shows merely hides the tab.
    QTest::mouseClick(w->tab(B::SpeechBar), Qt::LeftButton);
    EXPECT_EQ(visibleTabsLeftToRight(), (QList<B::Bar>{B::ColorBar, B::HtmlBar}));

    w->run(QStringLiteral("Grip6Click"));
    w->run(QStringLiteral("Grip1Click"));
    QApplication::processEvents();
    EXPECT_EQ(visibleTabsLeftToRight(),
              (QList<B::Bar>{B::RightBar, B::ColorBar, B::HtmlBar, B::SpeechBar}))
        << "tabs keep their fixed order whatever order the bars were collapsed in";
    EXPECT_FALSE(w->bar(B::SpeechBar)->isVisible());

    // Restoring a bar puts it back in its place in the stack, above the tab bar.
    w->run(QStringLiteral("Grip4Click")); // no-op on a hidden bar's tab, but harmless
    QTest::mouseClick(w->tab(B::HtmlBar), Qt::LeftButton);
    QTest::mouseClick(w->tab(B::RightBar), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_LT(w->bar(B::RightBar)->y(), w->bar(B::LeftBar)->y());
    EXPECT_LT(w->bar(B::LeftBar)->y(), w->bar(B::HtmlBar)->y());
    EXPECT_LT(w->bar(B::HtmlBar)->y(), w->tabBar()->y());
    EXPECT_EQ(w->bar(B::LeftBar)->y(), w->bar(B::RightBar)->geometry().bottom() + 1);
}

TEST_F(WindowFixture, LeftGripAlsoClicksTheRightTabWhenItsBarShows)
{
    showActive();
    using B = TMainForm1;
    w->tab(B::RightBar)->show(); // a right tab showing beside its bar
    w->run(QStringLiteral("Grip3Click"));
    EXPECT_FALSE(w->bar(B::LeftBar)->isVisible());
    EXPECT_TRUE(w->tab(B::LeftBar)->isVisible());
    EXPECT_FALSE(w->tab(B::RightBar)->isVisible());
    EXPECT_TRUE(w->bar(B::RightBar)->isVisible());
}

TEST_F(WindowFixture, LabelNxStays352PixelsNarrowerThanTheTabBar)
{
    showActive();
    w->resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(w->LabelNx()->width(), w->tabBar()->width() - 352);
}

TEST_F(WindowFixture, LeftPaneWidthRulesOnShowAndResize)
{
    restartWith({{u"Form\\fNx2Width", u"Integer", QStringLiteral("10")}});
    showActive();
    EXPECT_EQ(w->leftPaneWidth(), 50);
    w->run(QStringLiteral("ShineSpeedButton2Click"));
    QApplication::processEvents();
    EXPECT_TRUE(w->RichEditNx2()->isVisible());
    EXPECT_EQ(w->Splitter1()->sizes().value(0), 50);
    EXPECT_EQ(w->Splitter1()->handleWidth(), 6);

    w->setLeftPaneWidth(w->width() - 20);
    w->resize(w->width() + 1, w->height());
    QApplication::processEvents();
    EXPECT_EQ(w->leftPaneWidth(), w->width() - 100);

    w->run(QStringLiteral("ShineSpeedButton2Click"));
    EXPECT_FALSE(w->RichEditNx2()->isVisible());
}

TEST_F(WindowFixture, StoredWidthNearTheWindowWidthBecomesWidthMinus150)
{
    restartWith({{u"Form\\fNx2Width", u"Integer", QStringLiteral("770")}});
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_EQ(w->leftPaneWidth(), w->width() - 150);
}

TEST_F(WindowFixture, MaximiseTracking)
{
    showActive();
    w->setWindowState(Qt::WindowMaximized);
    QApplication::processEvents();
    EXPECT_TRUE(w->values().fMaxForm);
    w->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
    QApplication::processEvents();
    EXPECT_TRUE(w->values().fMaxForm) << "minimising changes nothing";
    w->setWindowState(Qt::WindowMaximized);
    QApplication::processEvents();
    EXPECT_FALSE(w->values().fMaxForm) << "coming back from the task bar is the restore command";
    w->setWindowState(Qt::WindowNoState);
    w->setWindowState(Qt::WindowMaximized);
    w->setWindowState(Qt::WindowNoState);
    QApplication::processEvents();
    EXPECT_FALSE(w->values().fMaxForm);
}

TEST_F(WindowFixture, HintsGoToPanelFour)
{
    showActive();
    QWidget *v = w->control(QStringLiteral("VHButton1"));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->statusTip(), QStringLiteral("縦横変更"));
    QStatusTipEvent tip(v->statusTip());
    QApplication::sendEvent(v, &tip);
    EXPECT_EQ(w->StatusBar1()->panelText(4), QStringLiteral("縦横変更"));
    w->action(QStringLiteral("Band1"))->showStatusText(w.get()); // what a menu does on hover
    EXPECT_EQ(w->StatusBar1()->panelText(4), QStringLiteral("カーソル行の読み上げ"));
}

TEST_F(WindowFixture, TypingUndoAndRedoThroughTheWindow)
{
    showActive();
    TRichEditSx *right = w->RichEditNx1();
    right->setFocus();
    ASSERT_TRUE(right->Vertical());
    QTest::keyClicks(right->activeView(), QStringLiteral("abc"));
    QTest::keyClick(right->activeView(), Qt::Key_Up); // back one character in a column
    QTest::keyClicks(right->activeView(), QStringLiteral("xyz"));
    QTest::keyClick(right->activeView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(right->text(), QStringLiteral("abc"));
    EXPECT_EQ(w->StatusBar1()->panelText(3), QStringLiteral("行:1      列:3    "));
    QTest::keyClick(right->activeView(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(right->text(), QStringLiteral("abxyzc"));
    // A screen reader's edit is a step too, and the status bar follows the caret it moves.
    QAccessible::queryAccessibleInterface(right->activeView())
        ->editableTextInterface()
        ->insertText(0, QStringLiteral("春\n"));
    EXPECT_EQ(w->StatusBar1()->panelText(3), QStringLiteral("行:2      列:0    "));
    w->run(QStringLiteral("Undo1Click"));
    EXPECT_EQ(right->text(), QStringLiteral("abxyzc"));
    w->run(QStringLiteral("Undo1Click"));
    w->run(QStringLiteral("Undo1Click"));
    w->run(QStringLiteral("Undo1Click")); // nothing left: nothing happens
    EXPECT_EQ(right->text(), QString());
}

TEST_F(WindowFixture, ClipboardCommandsGoToTheFocusedControl)
{
    showActive();
    QLineEdit *edit2 = w->edit(QStringLiteral("Edit2"));
    w->bar(TMainForm1::ColorBar)->show();
    edit2->setText(QStringLiteral("彩り"));
    edit2->setFocus();
    edit2->selectAll();
    w->run(QStringLiteral("Copy1Click"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("彩り"));
    w->run(QStringLiteral("SelectAllClick")); // panes only: the edit keeps its selection
    EXPECT_EQ(edit2->selectedText(), QStringLiteral("彩り"));

    TRichEditSx *right = w->RichEditNx1();
    right->setFocus();
    w->run(QStringLiteral("Paste1Click"));
    w->run(QStringLiteral("Paste1Click"));
    EXPECT_EQ(right->text(), QStringLiteral("彩り彩り"));
    w->run(QStringLiteral("Undo1Click"));
    EXPECT_EQ(right->text(), QStringLiteral("彩り")) << "two pastes are two undo steps";
    w->run(QStringLiteral("SelectAllClick"));
    w->run(QStringLiteral("Cut1Click"));
    EXPECT_EQ(right->text(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("彩り"));
}

TEST_F(WindowFixture, CopyAllKeepsTheLeftFontNameAndColour)
{
    showActive();
    TRichEditSx *left = w->RichEditNx2();
    TRichEditSx *right = w->RichEditNx1();
    QFont gothic(QStringLiteral("ＭＳ ゴシック"));
    gothic.setPixelSize(12);
    left->setPaneFont(gothic);
    left->setFontColor(Qt::green);
    QFont mincho(QStringLiteral("ＭＳ 明朝"));
    mincho.setPixelSize(18);
    mincho.setBold(true);
    right->setPaneFont(mincho);
    right->setText(QStringLiteral("春すぎて\n夏来にけらし"));

    w->run(QStringLiteral("HtmButton11Click"));
    EXPECT_EQ(left->text(), QStringLiteral("春すぎて\n夏来にけらし"));
    EXPECT_EQ(left->paneFont().family(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(left->paneFont().pixelSize(), 18);
    EXPECT_TRUE(left->paneFont().bold());
    EXPECT_EQ(left->fontColor(), QColor(Qt::green));

    left->setText(QStringLiteral("左から"));
    w->run(QStringLiteral("idou2Click"));
    EXPECT_EQ(right->text(), QStringLiteral("左から"));
    EXPECT_EQ(left->paneFont().family(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(left->fontColor(), QColor(Qt::green));
}

TEST_F(WindowFixture, FontSynchronizeAndItsUndo)
{
    showActive();
    TRichEditSx *left = w->RichEditNx2();
    w->run(QStringLiteral("ShineSpeedButton37Click")); // nothing remembered yet
    EXPECT_FALSE(left->paneFont().family().isEmpty());
    left->setFontColor(Qt::darkRed);
    w->run(QStringLiteral("ShineSpeedButton28Click"));
    EXPECT_EQ(left->fontColor(), w->RichEditNx1()->fontColor());
    w->run(QStringLiteral("ShineSpeedButton37Click"));
    EXPECT_EQ(left->fontColor(), QColor(Qt::darkRed));
}

// Each pane's ink, background and font commands; what shows the pane's colours follows
// them: the clock the right pane's, the scroll strip the left pane's.
TEST_F(WindowFixture, FontColourAndBackgroundCommandsChangeTheirPaneAndWhatFollowsIt)
{
    struct Side
    {
        bool right;
        const char *ink, *background, *font;
        QColor initialBackground;
    };
    const Side sides[] = {
        {true, "N8Click", "N7Click", "Font1Click", QColor(244, 245, 233)},
        {false, "NNButton6Click", "ShineSpeedButton8Click", "ShineSpeedButton4Click",
         QColor(213, 227, 221)},
    };
    showActive();
    for (const Side &side : sides) {
        SCOPED_TRACE(side.font);
        Pane &pane = side.right ? w->rightPane() : w->leftPane();
        const auto follower = [&] {
            return side.right ? std::pair(w->ClockLabel2()->textColor(),
                                          w->ClockLabel2()->backgroundColor())
                              : std::pair(w->MsgSCR1()->FontColor(), w->MsgSCR1()->Color());
        };
        ui.colorAnswers.enqueue(QColor(10, 20, 30));
        w->run(QLatin1String(side.ink));
        EXPECT_EQ(pane.editor()->fontColor(), QColor(10, 20, 30));
        EXPECT_EQ(pane.fontColor(), QColor(10, 20, 30)) << "files read later take this ink";
        EXPECT_EQ(follower().first, QColor(10, 20, 30));
        ui.colorAnswers.enqueue(QColor(200, 210, 220));
        w->run(QLatin1String(side.background));
        EXPECT_EQ(follower().second, QColor(200, 210, 220));
        EXPECT_EQ(ui.colorRequests.last(), side.initialBackground)
            << "the dialog opens on the pane's colour";
        w->run(QLatin1String(side.background)); // cancelled: nothing changes
        EXPECT_EQ(pane.editor()->backgroundColor(), QColor(200, 210, 220));

        QFont chosen(QStringLiteral("ＭＳ ゴシック"));
        chosen.setPixelSize(24);
        ui.fontAnswers.enqueue(chosen);
        const QFont shown = pane.editor()->paneFont();
        w->run(QLatin1String(side.font));
        EXPECT_EQ(pane.editor()->paneFont().pixelSize(), 24);
        // The dialog opens on the family installed for the pane's font, at its size.
        EXPECT_EQ(ui.fontRequests.last().family(), QFontInfo(shown).family());
        EXPECT_NEAR(ui.fontRequests.last().pointSizeF(), 18 * 72.0 / pane.editor()->logicalDpiY(),
                    0.01);
    }
    EXPECT_EQ(w->RichEditNx1()->paneFont().pixelSize(), 24) << "each pane keeps its own";
}

TEST_F(WindowFixture, ToggleCommandsKeepTheirCheckMarks)
{
    showActive();
    w->action(QStringLiteral("VH"))->trigger();
    EXPECT_FALSE(w->RichEditNx1()->Vertical());
    EXPECT_FALSE(w->action(QStringLiteral("VH"))->isChecked());
    w->run(QStringLiteral("WordWrapClick"));
    EXPECT_FALSE(w->RichEditNx1()->WordWrap());
    EXPECT_FALSE(w->action(QStringLiteral("WordWrap"))->isChecked());
    EXPECT_FALSE(w->action(QStringLiteral("N14"))->isChecked());
    w->action(QStringLiteral("WordWrapH"))->trigger();
    EXPECT_FALSE(w->RichEditNx2()->WordWrap());
    EXPECT_FALSE(w->action(QStringLiteral("WordWrapH"))->isChecked());
}

TEST_F(WindowFixture, ClockClickStopsAndRestartsIt)
{
    showActive();
    EXPECT_EQ(w->ClockLabel2()->interval(), 300);
    w->run(QStringLiteral("ClockLabel2Click"));
    EXPECT_EQ(w->ClockLabel2()->interval(), 0);
    w->run(QStringLiteral("ClockLabel2Click"));
    EXPECT_EQ(w->ClockLabel2()->interval(), 300);
}

TEST_F(WindowFixture, StartupArgumentsOpenAnyTextFileAndExplainTheRest)
{
    showActive();
    writeFile(QStringLiteral("page.HTML"), "<p>x</p>");
    writeFile(QStringLiteral("Mixed.Txt"), "mixed");
    writeFile(QStringLiteral("notes.md"), "# notes");
    QDir(dir.path()).mkdir(QStringLiteral("folder.txt"));
    // Each argument, and the message it brings (none when the file opens).
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("page.HTML"), {}},
        {QStringLiteral("Mixed.Txt"), {}},
        {QStringLiteral("notes.md"), {}},
        {QStringLiteral("missing.txt"), QStringLiteral(" が見つかりません。")},
        {QStringLiteral("folder.txt"),
         QStringLiteral(" はフォルダです。開くファイルを選んでください。")},
    };
    for (const auto &[name, message] : cases) {
        const QString path = dir.filePath(name);
        const QString before = w->rightPane().file();
        ui.messages.clear();
        w->openStartupArgument({path});
        if (message.isEmpty()) {
            EXPECT_EQ(w->rightPane().file(), path) << qPrintable(name);
            EXPECT_TRUE(ui.messages.isEmpty()) << qPrintable(name);
        } else {
            EXPECT_EQ(w->rightPane().file(), before) << qPrintable(name) << ": the file stays";
            ASSERT_EQ(ui.messages.size(), 1) << qPrintable(name);
            EXPECT_EQ(ui.messages[0].text, path + message);
        }
    }
    ui.messages.clear();
    w->openStartupArgument({QString()});
    EXPECT_TRUE(ui.messages.isEmpty()) << "an empty argument opens nothing, silently";
}

TEST_F(WindowFixture, StartupTextFileOpensBehindTheSplash)
{
    showActive();
    // 春 in code page 932, a line break, and a byte that is not text.
    const QString path = writeFile(QStringLiteral("poem.txt"), QByteArray("\x8f\x74\r\n\x80z"));
    w->openStartupArgument({path});
    EXPECT_EQ(w->rightPane().file(), path);
    EXPECT_EQ(w->windowTitle(), path + QStringLiteral("[*]"));
    EXPECT_EQ(w->RichEditNx1()->text().left(2), QStringLiteral("春\n"));
    EXPECT_FALSE(w->RichEditNx1()->isModified());
    ASSERT_NE(w->splash(), nullptr);
    EXPECT_EQ(w->splash()->windowTitle(), QStringLiteral("Loading..."));
    EXPECT_EQ(w->splash()->geometry().top(), w->frameGeometry().top() + 37);
    EXPECT_TRUE(w->splash()->timer().isActive());
    EXPECT_EQ(w->splash()->timer().interval(), 300);
    // Its timer's tick closes and frees it.
    ASSERT_TRUE(testsupport::fireTimer(w->splash()->timer()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->splash(), nullptr);

    // Saved unchanged, the file is byte-identical, the stray byte included.
    w->run(QStringLiteral("Save1Click"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\x8f\x74\r\n\x80z"));
}

TEST_F(WindowFixture, SavingCharactersCodePage932CannotHoldAsks)
{
    showActive();
    const QString path = writeFile(QStringLiteral("poem.txt"), "a");
    w->openStartupArgument({path});
    w->RichEditNx1()->setText(QStringLiteral("𠮷野家 ♥"));
    ui.answers.enqueue(MessageAnswer::No);
    w->run(QStringLiteral("Save1Click"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("𠮷")));
    EXPECT_TRUE(w->RichEditNx1()->isModified()) << "cancelled: nothing saved";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("a"));
    f.close();

    ui.answers.enqueue(MessageAnswer::Yes);
    w->run(QStringLiteral("Save1Click"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("𠮷野家 ♥"));
    EXPECT_FALSE(w->RichEditNx1()->isModified());
}

TEST_F(WindowFixture, SavingTextThatWouldReopenAsOtherTextAsksToo)
{
    // "ﾃｩ" in code page 932 is C3 A9, which is also UTF-8 for "é": saved silently, the
    // poem would come back changed.
    showActive();
    const QString path = writeFile(QStringLiteral("kana.txt"), "a");
    w->openStartupArgument({path});
    w->RichEditNx1()->setText(QStringLiteral("ﾃｩ"));
    ui.answers.enqueue(MessageAnswer::Yes);
    w->run(QStringLiteral("Save1Click"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
    w->RichEditNx1()->clear();
    w->RichEditNx1()->setModified(false);
    w->openStartupArgument({path});
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("ﾃｩ"));

    // Ordinary text saves as code page 932 without a question.
    w->RichEditNx1()->setText(QStringLiteral("春過ぎて"));
    w->RichEditNx1()->setFileFormat(text::DocumentFormat());
    w->run(QStringLiteral("Save1Click"));
    EXPECT_EQ(ui.messages.size(), 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\x8f\x74\x89\xdf\x82\xac\x82\xc4"));
}

TEST_F(WindowFixture, ExitWithBothPanesModifiedSavesTheRightThenAsksToDiscard)
{
    showActive();
    w->RichEditNx1()->setText(QStringLiteral("右"));
    w->RichEditNx2()->setText(QStringLiteral("左"));
    ASSERT_TRUE(w->RichEditNx1()->isModified());
    ASSERT_TRUE(w->RichEditNx2()->isModified());
    const QString saved = dir.filePath(QStringLiteral("right.txt"));
    ui.answers.enqueue(MessageAnswer::Yes); // save?
    ui.saveAnswers.enqueue(saved);          // the untitled pane asks for a name
    ui.answers.enqueue(MessageAnswer::No);  // discard?
    w->run(QStringLiteral("Exit1Click"));
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("ファイルが保存されていません。保存しますか。"));
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("確認"));
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("現在の内容を廃棄します。よろしいですか"));
    EXPECT_EQ(ui.messages[1].kind, MessageKind::Information);
    EXPECT_EQ(ui.saveRequests.size(), 1) << "only the right pane was saved";
    EXPECT_EQ(ui.saveRequests[0].filter, QStringLiteral("Text(*.txt)|*.txt|All(*.*)|*.*"));
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_TRUE(w->isVisible()) << "No keeps the window open";
    EXPECT_EQ(w->RichEditNx2()->text(), QStringLiteral("左"));

    ui.answers.enqueue(MessageAnswer::Yes);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->RichEditNx1()->text(), QString())
        << "panes are emptied before settings are written";
}

TEST_F(WindowFixture, NewAsksEvenWhenNothingChanged)
{
    showActive();
    w->run(QStringLiteral("New1Click")); // answered No
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("現在の内容を廃棄します。よろしいですか。"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kotonami[*]"));
    ui.answers.enqueue(MessageAnswer::Yes);
    w->run(QStringLiteral("New1Click"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("新規[*]"));
}

// Open, a drop, the recent files and reopening with another encoding all ask before an
// unsaved text is replaced: No keeps it (and its recovery copy), Yes opens the file.
TEST_F(WindowFixture, ReplacingUnsavedTextAsksFirst)
{
    showActive();
    const QString file = dir.filePath(QStringLiteral("other.txt"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("other");
    f.close();
    const std::function<void()> commands[] = {
        [&] {
            ui.openAnswers.enqueue(file);
            w->run(QStringLiteral("Open1Click"));
        },
        [&] { w->DropDst1FileDrop({file}); },
        [&] { w->recentMenu()->actions().at(0)->trigger(); }, // other.txt, opened above
    };
    for (const auto &command : commands) {
        w->RichEditNx1()->setText(QStringLiteral("まだ保存していない歌"));
        ui.messages.clear();
        command(); // answered No
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("現在の内容を廃棄します。よろしいですか。"));
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNoDefaultNo);
        EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("まだ保存していない歌"));
        EXPECT_TRUE(w->RichEditNx1()->isModified());
        ui.answers.enqueue(MessageAnswer::Yes);
        command();
        EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("other"));
        EXPECT_FALSE(w->RichEditNx1()->isModified());
    }
    // Reopening the file, now modified, in another encoding.
    w->RichEditNx1()->setText(QStringLiteral("書き換えた"));
    ui.messages.clear();
    ui.itemAnswers.enqueue(1);
    w->rightPane().reopenWithEncoding();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("書き換えた"));
}

TEST_F(WindowFixture, UnreadableFileLeavesThePaneAsItWas)
{
    showActive();
    w->RichEditNx1()->setText(QStringLiteral("まだ保存していない歌"));
    // A folder cannot be read as a file, whoever runs the test (root reads locked files).
    QDir(dir.path()).mkdir(QStringLiteral("notafile.txt"));
    ui.openAnswers.enqueue(dir.filePath(QStringLiteral("notafile.txt")));
    w->run(QStringLiteral("Open1Click"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("まだ保存していない歌"));
    EXPECT_TRUE(w->rightPane().file().isEmpty());
}

TEST_F(WindowFixture, EveryCommandIsSafeOnEmptyPanes)
{
    showActive();
    for (const char *handler : {"Copy1Click",
                                "Cut1Click",
                                "Paste1Click",
                                "SelectAllClick",
                                "Undo1Click",
                                "Redo1Click",
                                "VHClick",
                                "HHVClick",
                                "WordWrapClick",
                                "WordWrapHClick",
                                "HtmButton11Click",
                                "idou2Click",
                                "ShineSpeedButton28Click",
                                "ShineSpeedButton37Click",
                                "Font1Click",
                                "N7Click",
                                "N8Click",
                                "N9Click",
                                "ShineSpeedButton2Click",
                                "Save1Click",
                                "LeftSave1Click",
                                "LeftOpen1Click",
                                "Open1Click"})
        w->run(QLatin1String(handler));
    EXPECT_EQ(w->RichEditNx1()->text(), QString());
}

// Printing: columns from the right page after page, within margins of 15 mm, each page
// numbered, the file's name on top when asked, and a text layer that gives the characters
// back, punctuation, small kana, long vowel marks and sideways words included; then the
// same in rows.
TEST_F(WindowFixture, PrintsTheRightPaneInColumnsToPdf)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils not installed";
    showActive();
    const QString line = QStringLiteral("ちょっと待って、「春」はofficeでコーヒーの後。");
    QStringList lines;
    for (int i = 0; i < 120; ++i)
        lines << line;
    const QString waka =
        writeFile(QStringLiteral("waka.txt"), lines.join(QLatin1Char('\n')).toUtf8());
    w->DropDst1FileDrop({waka});
    w->run(QStringLiteral("PrintHeader1Click"));
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    ui.printToPdf = pdf;
    ui.printAnswer = true;
    w->run(QStringLiteral("Print1Click"));
    ASSERT_TRUE(QFile::exists(pdf));
    if (const QString keep = qEnvironmentVariable("KOTONAMI_ARTIFACTS"); !keep.isEmpty()) {
        QDir().mkpath(keep);
        QFile::remove(keep + QStringLiteral("/print-vertical.pdf"));
        QFile::copy(pdf, keep + QStringLiteral("/print-vertical.pdf"));
    }
    const auto run = [](const QString &program, const QStringList &arguments) {
        QProcess p;
        p.start(program, arguments);
        EXPECT_TRUE(p.waitForFinished(20000)) << qPrintable(program);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString meta = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("Title:\\s+waka\\.txt\\n")).match(meta).hasMatch())
        << meta.toStdString();
    const int pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(meta).captured(1).toInt();
    EXPECT_GE(pages, 2) << "120 columns do not fit one page";

    // In the order it was set (-raw): column after column.
    const QString page1 =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-raw"), QStringLiteral("-f"), QStringLiteral("1"),
             QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    QString letters = page1;
    letters.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_TRUE(letters.contains(line)) << "copied text reads as printed: " << page1.toStdString();
    EXPECT_TRUE(page1.contains(QStringLiteral("1 / %1").arg(pages))) << page1.toStdString();
    EXPECT_TRUE(page1.contains(QStringLiteral("waka.txt"))) << "the header";

    // Nothing is printed in the 15 mm margins (42.5 points).
    const QString boxes =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
             QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const auto size = page.match(boxes);
    ASSERT_TRUE(size.hasMatch());
    const double width = size.captured(1).toDouble(), height = size.captured(2).toDouble();
    const QRegularExpression word(QStringLiteral(
        "xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""));
    int words = 0;
    for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
        const auto m = it.next();
        EXPECT_GE(m.captured(1).toDouble(), 42);
        EXPECT_GE(m.captured(2).toDouble(), 42);
        EXPECT_LE(m.captured(3).toDouble(), width - 42);
        EXPECT_LE(m.captured(4).toDouble(), height - 42);
    }
    EXPECT_GT(words, 0);

    // In rows: the same numbering and header, ruby above its base with the notation left out.
    QStringList rubyLines;
    for (int i = 0; i < 120; ++i)
        rubyLines << QStringLiteral("｜白妙《しろたへ》の衣ほすてふ");
    w->RichEditNx1()->setText(rubyLines.join(QLatin1Char('\n')));
    w->run(QStringLiteral("VHClick"));
    ASSERT_FALSE(w->RichEditNx1()->Vertical());
    QFile::remove(pdf);
    w->run(QStringLiteral("Print1Click"));
    const QString rows = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-raw"), QStringLiteral("-f"), QStringLiteral("1"),
                              QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(rows.contains(QStringLiteral("白妙の衣ほすてふ"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("しろたへ"))) << "the ruby";
    EXPECT_FALSE(rows.contains(u'《')) << "no notation in print";
    EXPECT_TRUE(QRegularExpression(QStringLiteral("1 / [2-9]")).match(rows).hasMatch())
        << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("waka.txt"))) << "the header";

    ui.printAnswer = false; // cancelled: nothing printed
    QFile::remove(pdf);
    w->run(QStringLiteral("Print1Click"));
    EXPECT_FALSE(QFile::exists(pdf));

    // The dialog proposes the document's own folder and name (a full path as the document's
    // name made it propose the home folder and the path together); 「PDFに書き出す」 writes
    // the PDF there without a dialog, in place of an older one.
    const QString proposed = dir.filePath(QStringLiteral("waka.pdf"));
    EXPECT_EQ(ui.proposedPrintFile, proposed);
    EXPECT_EQ(ui.printDocName, QStringLiteral("waka.txt"));
    writeFile(QStringLiteral("waka.pdf"), "old");
    ui.saveAnswers.enqueue(proposed);
    w->run(QStringLiteral("ExportPdf1Click"));
    EXPECT_EQ(ui.saveRequests.last().fileName, QStringLiteral("waka.pdf"));
    EXPECT_EQ(QDir(ui.saveRequests.last().folder), QDir(dir.path()));
    QFile exported(proposed);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().startsWith("%PDF"));
}

TEST(MainWindowSettings, SurviveACloseAndAStart)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kotonami"));
    FakeUiServices ui;
    {
        TMainForm1 w(ui, program);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QFont gothic(QStringLiteral("ＭＳ ゴシック"));
        gothic.setPixelSize(24);
        gothic.setBold(true);
        w.RichEditNx1()->setPaneFont(gothic);
        w.RichEditNx1()->setFontColor(QColor(10, 20, 30));
        w.RichEditNx2()->setBackgroundColor(QColor(200, 100, 50));
        w.run(QStringLiteral("VHClick"));        // right pane horizontal
        w.run(QStringLiteral("WordWrapHClick")); // left pane without wrap
        w.setGeometry(40, 50, 900, 600);
        w.edit(QStringLiteral("Edit4"))->setText(QStringLiteral("春の歌"));
        w.htmlStyle().setChecked(html::Alternate, true);
        w.reading()->setFSpd(170); // the speed the reading state keeps
        ASSERT_TRUE(w.close());
    }
    ASSERT_TRUE(QFile::exists(program + QStringLiteral(".ini")));
    TMainForm1 w(ui, program);
    EXPECT_EQ(w.RichEditNx1()->paneFont().family(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(w.RichEditNx1()->paneFont().pixelSize(), 24);
    EXPECT_TRUE(w.RichEditNx1()->paneFont().bold());
    EXPECT_EQ(w.RichEditNx1()->fontColor(), QColor(10, 20, 30));
    EXPECT_EQ(w.rightPane().fontColor(), QColor(10, 20, 30));
    EXPECT_EQ(w.RichEditNx2()->backgroundColor(), QColor(200, 100, 50));
    EXPECT_FALSE(w.RichEditNx1()->Vertical());
    EXPECT_FALSE(w.action(QStringLiteral("VH"))->isChecked());
    EXPECT_TRUE(w.RichEditNx2()->Vertical());
    EXPECT_FALSE(w.RichEditNx2()->WordWrap());
    EXPECT_FALSE(w.action(QStringLiteral("WordWrapH"))->isChecked());
    EXPECT_EQ(w.geometry(), QRect(40, 50, 900, 600));
    EXPECT_EQ(w.edit(QStringLiteral("Edit4"))->text(), QStringLiteral("春の歌"));
    EXPECT_TRUE(w.htmlStyle().checked(html::Alternate));
    EXPECT_EQ(w.reading()->FSpd(), 170);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(MainWindowSettings, ASettingsFileOfRandomBytesStartsWithDefaults)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kotonami"));
    QFile f(program + QStringLiteral(".ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    std::mt19937 random(7);
    QByteArray junk;
    for (int i = 0; i < 20000; ++i)
        junk.append(char(random() & 0xFF));
    f.write(junk);
    f.close();
    FakeUiServices ui;
    TMainForm1 w(ui, program);
    EXPECT_TRUE(w.RichEditNx1()->Vertical());
    EXPECT_TRUE(w.RichEditNx1()->WordWrap());
    EXPECT_EQ(w.RichEditNx1()->backgroundColor(), QColor(244, 245, 233));
    EXPECT_EQ(w.values().FSpd, 150);
    EXPECT_EQ(w.values().fNx2Width, 129);
}

TEST_F(WindowFixture, DroppingFilesOnTheRightOpensTheFirst)
{
    showActive();
    const QString a = writeFile(QStringLiteral("a.TXT"), "first");
    const QString b = writeFile(QStringLiteral("b.txt"), "second");
    const QString c = writeFile(QStringLiteral("c.txt"), "third");
    w->DropDst1FileDrop({a, b, c});
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("first"));
    EXPECT_EQ(w->rightPane().file(), a);
    const QString html = writeFile(QStringLiteral("page.HTML"), "<p>");
    w->DropDst1FileDrop({html});
    EXPECT_EQ(w->rightPane().file(), html) << "extensions are compared in any letter case";
}

TEST_F(WindowFixture, DroppingAShortcutOnTheLeftLoadsItsTarget)
{
    showActive();
    w->run(QStringLiteral("ShineSpeedButton2Click"));
    writeFile(QStringLiteral("poem.txt"), "\x8f\x74"); // 春
    const QString lnk = dir.filePath(QStringLiteral("poem.lnk"));
    ASSERT_TRUE(
        testsupport::writeShortcut(lnk, QStringLiteral(".\\poem.txt"), QStringLiteral("C:\\work")));
    const text::ShortcutTarget target = text::resolveShortcut(lnk);
    EXPECT_EQ(target.path, dir.filePath(QStringLiteral("poem.txt")));
    EXPECT_EQ(target.workingFolder, QStringLiteral("C:\\work"));
    w->DropDst2FileDrop({lnk});
    EXPECT_EQ(w->RichEditNx2()->text(), QStringLiteral("春"));
    EXPECT_EQ(w->leftPane().file(), dir.filePath(QStringLiteral("poem.txt")));
    EXPECT_TRUE(w->StatusBar1()->panelText(0).endsWith(QStringLiteral("poem.lnk")))
        << "panel 0 names the shortcut itself";
    // Unreadable shortcuts give nothing.
    const QString junk = writeFile(QStringLiteral("junk.lnk"), "not a shortcut");
    EXPECT_TRUE(text::resolveShortcut(junk).path.isEmpty());
    EXPECT_TRUE(text::resolveShortcut(dir.filePath(QStringLiteral("none.lnk"))).path.isEmpty());
}

TEST_F(WindowFixture, ReopeningAMissingLastFileDoesNothing)
{
    restartWith({{u"Form\\fLastfile", u"string", dir.filePath(QStringLiteral("gone.txt"))}});
    showActive();
    w->run(QStringLiteral("LastFile1Click"));
    EXPECT_TRUE(w->rightPane().file().isEmpty());
    EXPECT_TRUE(ui.messages.isEmpty());
    const QString there = writeFile(QStringLiteral("there.txt"), "ok");
    restartWith({{u"Form\\fLastfile", u"string", there}});
    w->run(QStringLiteral("LastFile1Click"));
    EXPECT_EQ(w->rightPane().file(), there);
}

TEST_F(WindowFixture, RealDropEventsReachTheDropTarget)
{
    showActive();
    const QString a = writeFile(QStringLiteral("dropped.txt"), "dropped");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a)});
    QWidget *target = w->RichEditNx1()->verticalView()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("dropped"));
    w->DropDst1()->setAcceptDrop(false);
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(WindowFixture, SettingsDialogAppliesAndFillsTheLauncher)
{
    showActive();
    w->run(QStringLiteral("ShineSpeedButton25Click"));
    TAboutBox *box = w->aboutBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About & 設定"));
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->colorEdit(3)->text(), QStringLiteral("#fff8dc"));
    // Typed and closed without OK: the old colour stays in effect.
    box->colorEdit(3)->setText(QStringLiteral("#000000"));
    box->close();
    QApplication::processEvents();
    EXPECT_EQ(w->htmlStyle().style().bgc, QStringLiteral("#fff8dc"));
    w->run(QStringLiteral("About1Click"));
    box = w->aboutBox();
    EXPECT_EQ(box->colorEdit(3)->text(), QStringLiteral("#fff8dc"));
    box->colorEdit(3)->setText(QStringLiteral("#112233"));
    box->ShineSpeedButton2Click();
    EXPECT_EQ(w->htmlStyle().style().bgc, QStringLiteral("#112233"));
    const QString first = box->Label15()->text();
    box->Label15Click();
    box->Label15Click();
    EXPECT_EQ(box->Label15()->text(), first) << "two clicks return the size";

    // A shortcut to a program fills slot 1 with the program's path; ".Exe" does nothing.
    const QString exe = writeFile(QStringLiteral("tool.exe"), "MZ");
    ASSERT_TRUE(testsupport::writeShortcut(dir.filePath(QStringLiteral("tool.lnk")),
                                           QStringLiteral(".\\tool.exe")));
    box->DropDst1FileDrop({dir.filePath(QStringLiteral("tool.lnk"))});
    EXPECT_EQ(w->launcherPath(1), exe);
    box->DropDst2FileDrop({writeFile(QStringLiteral("other.Exe"), "MZ")});
    EXPECT_TRUE(w->launcherPath(2).isEmpty());
    EXPECT_FALSE(w->control(QStringLiteral("ShineSpeedButton23"))->toolTip().isEmpty());
    w->run(QStringLiteral("ShineSpeedButton23Click"));
    ASSERT_EQ(ui.startedProcesses.size(), 1);
    EXPECT_EQ(ui.startedProcesses[0], QStringList{exe});
    w->run(QStringLiteral("ShineSpeedButton24Click")); // an empty slot: silently nothing
    EXPECT_EQ(ui.startedProcesses.size(), 1);
    box->ShineSpeedButton1Click();
}

TEST_F(WindowFixture, ReadingAloudAndChoosingASpeaker)
{
    showActive();
    ASSERT_NE(w->reading(), nullptr);
    if (!w->reading()->EngineReady())
        GTEST_SKIP() << "no espeak-ng voices on this machine";
    EXPECT_TRUE(ui.messages.isEmpty()) << "an engine with voices: no \"Not Speech Engine\"";
    w->RichEditNx1()->setText(QStringLiteral("はるすぎて"));
    w->run(QStringLiteral("Band1Click")); // the caret line, shown on the tab bar
    EXPECT_EQ(w->LabelNx()->text(), QStringLiteral("はるすぎて"));
    w->run(QStringLiteral("ParoleP1Click"));
    w->run(QStringLiteral("Reset1Click"));
    w->run(QStringLiteral("Mary1Click"));
    EXPECT_TRUE(w->action(QStringLiteral("Mary1"))->isChecked());
    EXPECT_FALSE(w->action(QStringLiteral("Naoko1"))->isChecked());
    w->run(QStringLiteral("Naoko1Click"));
    EXPECT_TRUE(w->action(QStringLiteral("Naoko1"))->isChecked());
}

TEST(ShellLink, ShortcutsWhoseBlocksOverrunTheFileAreNotRead)
{
    // liblnk allocates what a block's size claims before reading it; such files are turned
    // away first, while shortcuts whose blocks fit, extra data included, still resolve.
    QTemporaryDir dir;
    QFile poem(dir.filePath(QStringLiteral("poem.txt")));
    ASSERT_TRUE(poem.open(QIODevice::WriteOnly));
    poem.close();
    const QString lnk = dir.filePath(QStringLiteral("poem.lnk"));
    ASSERT_TRUE(testsupport::writeShortcut(lnk, QStringLiteral("poem.txt")));
    QFile f(lnk);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray plain = f.readAll();
    f.close();
    auto u32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    auto resolved = [&](const QByteArray &bytes) {
        QFile out(lnk);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        return text::resolveShortcut(lnk).path;
    };
    const QString target = dir.filePath(QStringLiteral("poem.txt"));
    ASSERT_EQ(resolved(plain), target);

    const QByteArray body = plain.first(plain.size() - 4); // without the terminal block
    const QByteArray specialFolder = u32(0x10) + u32(0xA0000005) + u32(0x24) + u32(0);
    EXPECT_EQ(resolved(body + specialFolder + u32(0)), target);
    EXPECT_EQ(resolved(body + specialFolder), target) << "the terminal block may be missing";
    EXPECT_TRUE(resolved(body + u32(0x7FFFFFF0) + u32(0xA0000005) + u32(0)).isEmpty());

    QByteArray hugeLocation = plain.first(0x4C) + u32(0x88000000) + plain.sliced(0x4C);
    hugeLocation[0x14] = char(hugeLocation[0x14] | 0x02); // HasLinkInfo
    EXPECT_TRUE(resolved(hugeLocation).isEmpty());
    QByteArray longName = plain;
    longName[0x4C] = char(0xFF); // the relative path's count of characters
    EXPECT_TRUE(resolved(longName).isEmpty());
    EXPECT_TRUE(resolved(plain.first(0x40)).isEmpty());
}
