#include "FakeUiServices.h"
#include "QtPrinters.h"

#include "editor/RichEditSx.h"
#include "shell/FindReplaceDialog.h"
#include "shell/Utamain.h"
#include "tools/widgets/Unit2.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>

using namespace editor;
using namespace shell;
using testsupport::FakeUiServices;

namespace {

struct CommandsFixture : ::testing::Test
{
    QTemporaryDir dir;
    FakeUiServices ui;
    std::unique_ptr<TMainForm1> w;
    void SetUp() override
    {
        w = std::make_unique<TMainForm1>(ui, dir.filePath(QStringLiteral("kotonami")));
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->run(QStringLiteral("ShineSpeedButton2Click")); // the left pane shows
    }
    void TearDown() override
    {
        w->RichEditNx1()->setModified(false);
        w->RichEditNx2()->setModified(false);
    }
    QString panel(int i) const { return w->StatusBar1()->panelText(i); }
};

const QRegularExpression ElapsedText(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d$"));

} // namespace

TEST_F(CommandsFixture, ManyoganaConvertsTheLeftPaneAndReportsCounts)
{
    w->RichEditNx2()->setText(QStringLiteral("はるすぎて\nなつきにけらし"));
    w->RichEditNx2()->setModified(false);
    w->RichEditNx2()->recordAction(editor::ActionMouse); // a click in the pane first
    w->run(QStringLiteral("ShineSpeedButton21Click"));
    const QString out = w->RichEditNx2()->text();
    EXPECT_EQ(out.count(QLatin1Char('\n')), 1);
    EXPECT_FALSE(out.contains(QRegularExpression(QStringLiteral("[ぁ-ゖ]")))) << out.toStdString();
    EXPECT_TRUE(w->RichEditNx2()->isModified());
    EXPECT_TRUE(ElapsedText.match(panel(1)).hasMatch()) << panel(1).toStdString();
    EXPECT_TRUE(panel(2).endsWith(QStringLiteral("字"))) << panel(2).toStdString();
    EXPECT_EQ(panel(3), QStringLiteral("%1行").arg(w->RichEditNx2()->rowCount()));
    EXPECT_TRUE(w->RichEditNx2()->updatesEnabled()) << "the pane is thawed again";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The conversion's many edits are undone and redone as one step.
    w->RichEditNx2()->undo();
    EXPECT_EQ(w->RichEditNx2()->text(), QStringLiteral("はるすぎて\nなつきにけらし"));
    w->RichEditNx2()->redo();
    EXPECT_EQ(w->RichEditNx2()->text(), out);
}

TEST_F(CommandsFixture, KanaConversionsKeepUntouchedFormats)
{
    w->RichEditNx2()->setText(QStringLiteral("春のパン"));
    QTextCursor c(w->RichEditNx2()->document());
    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    QTextCharFormat red;
    red.setForeground(Qt::red);
    c.mergeCharFormat(red);
    w->run(QStringLiteral("KatakanaButton1Click"));
    EXPECT_EQ(w->RichEditNx2()->text(), QStringLiteral("春のはん"));
    EXPECT_EQ(
        w->RichEditNx2()->document()->begin().begin().fragment().charFormat().foreground().color(),
        QColor(Qt::red));
    w->run(QStringLiteral("HiraganaButton1Click"));
    EXPECT_EQ(w->RichEditNx2()->text(), QStringLiteral("春ノハン"));
    EXPECT_TRUE(ElapsedText.match(panel(1)).hasMatch());
}

TEST_F(CommandsFixture, DatesAndTheBlankMarkerGoToTheRightCaret)
{
    TRichEditSx *right = w->RichEditNx1();
    right->setText(QStringLiteral("前後"));
    right->setSelection(1, 0);
    w->run(QStringLiteral("kuhaku1Click"));
    EXPECT_EQ(right->text(), QStringLiteral("前＠＃＆％！\n後"));
    EXPECT_EQ(panel(3), QStringLiteral("行:2      列:0    "));
    right->setSelection(0, 1); // replaces the selection
    w->run(QStringLiteral("HidukeClick"));
    EXPECT_FALSE(right->text().startsWith(QStringLiteral("前")));
    EXPECT_TRUE(right->text().contains(QStringLiteral("年"))) << "vertical: the kanji date";
}

TEST_F(CommandsFixture, FindForwardAndBackWithTheBeep)
{
    TRichEditSx *right = w->RichEditNx1();
    right->setText(QStringLiteral("春の野の春の"));
    right->setSelection(3, 0); // a caret without a selection: the search starts at the top
    FindReplaceDialog *d = w->rightPane().findDialog(false);
    d->setFindText(QStringLiteral("の"));
    w->run(QStringLiteral("FindNextButtonClick"));
    EXPECT_EQ(right->selStart(), 1);
    w->run(QStringLiteral("FindNextButtonClick"));
    EXPECT_EQ(right->selStart(), 3);
    w->run(QStringLiteral("FindNextButtonClick"));
    w->run(QStringLiteral("FindNextButtonClick"));
    EXPECT_EQ(ui.beeps, 1) << "past the last one: a beep, the selection stays";
    EXPECT_EQ(right->selStart(), 5);
    right->setSelection(4, 0);
    w->run(QStringLiteral("FindBackButtonClick"));
    EXPECT_EQ(right->selStart(), 3);
    right->setSelection(1, 0); // inside nothing before: the back search beeps
    w->run(QStringLiteral("FindBackButtonClick"));
    EXPECT_EQ(ui.beeps, 2);
    d->setFindText(QStringLiteral("ﾉ"));
    w->run(QStringLiteral("FindNextButtonClick"));
    EXPECT_EQ(ui.beeps, 3) << "half-width ﾉ is not の";
}

TEST_F(CommandsFixture, OpeningADialogTakesTheSelection)
{
    TRichEditSx *left = w->RichEditNx2();
    left->setText(QStringLiteral("白妙の衣"));
    left->setSelection(0, 2);
    w->run(QStringLiteral("FindLButtonClick"));
    EXPECT_EQ(w->leftPane().findDialog(false)->findText(), QStringLiteral("白妙"));
    EXPECT_TRUE(w->leftPane().findDialog(false)->isVisible());
    EXPECT_FALSE(w->leftPane().findDialog(false)->isModal());
}

TEST_F(CommandsFixture, ReplaceAndReplaceAll)
{
    TRichEditSx *left = w->RichEditNx2();
    left->setText(QStringLiteral("ののの"));
    FindReplaceDialog *d = w->leftPane().findDialog(true);
    d->setFindText(QStringLiteral("の"));
    d->setReplaceText(QStringLiteral("ノ"));
    w->leftPane().replace();
    EXPECT_EQ(left->text(), QStringLiteral("ノのの"));
    w->leftPane().replaceAll();
    EXPECT_EQ(left->text(), QStringLiteral("ノノノ"));
    w->leftPane().replace();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Could not find \"の\" in Kotonami."));
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    // A replacement that holds the find text still ends.
    d->setFindText(QStringLiteral("ノ"));
    d->setReplaceText(QStringLiteral("ノノ"));
    w->leftPane().replaceAll();
    EXPECT_EQ(left->text(), QStringLiteral("ノノノノノノ"));
}

TEST_F(CommandsFixture, ReplaceAllThatNeverSettlesStopsAndTellsTheUser)
{
    TRichEditSx *left = w->RichEditNx2();
    left->setText(QString(40, u'a') + u'b');
    FindReplaceDialog *d = w->leftPane().findDialog(true);
    d->setFindText(QStringLiteral("ab"));
    d->setReplaceText(QStringLiteral("bba"));
    w->leftPane().replaceAll();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
    const QRegularExpression said(QStringLiteral(
        "^(\\d+)件置換しました。置換するたびに新しい一致ができるため、途中で止めました。$"));
    const QRegularExpressionMatch m = said.match(ui.messages[0].text);
    ASSERT_TRUE(m.hasMatch()) << ui.messages[0].text.toStdString();
    EXPECT_GT(m.captured(1).toLongLong(), 0);
    const QString text = left->text();
    EXPECT_LE(text.size(), 3 * 41 + 4096);
    EXPECT_TRUE(text.contains(QStringLiteral("ab"))) << "stopped with occurrences left";
}

TEST_F(CommandsFixture, ReplaceAllOnOneLongWrappedLine)
{
    // Thousands of edits in one block, whose wrapped lines are laid out: the text, the
    // formats of untouched characters and the row count afterwards are as for a few edits.
    TRichEditSx *left = w->RichEditNx2();
    left->setVertical(false);
    left->setWordWrap(true);
    left->setText(QStringLiteral("はるの").repeated(5000));
    QTextCursor c(left->document());
    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    QTextCharFormat red;
    red.setForeground(Qt::red);
    c.mergeCharFormat(red);
    const int rowsBefore = left->rowCount();
    ASSERT_GT(rowsBefore, 10);
    FindReplaceDialog *d = w->leftPane().findDialog(true);
    d->setFindText(QStringLiteral("の"));
    d->setReplaceText(QStringLiteral("ノ"));
    w->leftPane().replaceAll();
    EXPECT_EQ(left->text(), QStringLiteral("はるノ").repeated(5000));
    EXPECT_EQ(left->document()->begin().begin().fragment().charFormat().foreground().color(),
              QColor(Qt::red));
    EXPECT_EQ(left->rowCount(), rowsBefore);
    EXPECT_TRUE(ui.messages.isEmpty()) << "a Replace All that ends says nothing";
}

TEST_F(CommandsFixture, VerticalPageConvertSaveAndPreview)
{
    TRichEditSx *left = w->RichEditNx2();
    w->run(QStringLiteral("HtmButton1Click"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("変換文字列がありません"));
    w->run(QStringLiteral("HtmButton4Click"));
    EXPECT_EQ(ui.messages.last().text, QStringLiteral("HTMLファイルがありません"));

    left->setText(QStringLiteral("あい\nうえ"));
    w->run(QStringLiteral("HtmButton1Click"));
    const QString page = left->text();
    EXPECT_TRUE(page.contains(QStringLiteral("<!--update-->")));
    EXPECT_LT(page.indexOf(QStringLiteral("う")), page.indexOf(QStringLiteral("あ")))
        << "the first line is the rightmost column, written last";
    EXPECT_FALSE(left->WordWrap());
    EXPECT_TRUE(ElapsedText.match(panel(1)).hasMatch());

    const QString file = dir.filePath(QStringLiteral("page.htm"));
    ui.saveAnswers.enqueue(file);
    w->run(QStringLiteral("HtmButton3Click"));
    EXPECT_EQ(ui.saveRequests.last().filter,
              QStringLiteral("Htm(*.htm)|*.htm|Html(*.html)|*.html|All(*.*)|*.*"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("\r\n"));
    EXPECT_TRUE(bytes.contains("\x82\xa0")) << "あ in code page 932";
    EXPECT_FALSE(left->isModified());
    EXPECT_EQ(w->pageFile(), file);
    ASSERT_EQ(ui.openedUrls.size(), 1) << "起 is checked on a fresh start: the page opens";
    EXPECT_TRUE(ui.openedUrls[0].endsWith(QStringLiteral("page.htm")));
}

TEST_F(CommandsFixture, InsertionNeedsAnInsertionPoint)
{
    w->RichEditNx1()->setText(QStringLiteral("<HTML>\n<BODY>\n</BODY>\n</HTML>"));
    w->RichEditNx2()->setText(QStringLiteral("春の歌"));
    w->run(QStringLiteral("ShineSpeedButton38Click"));
    EXPECT_EQ(ui.messages.last().text, QStringLiteral("挿入箇所がありません"));
    EXPECT_EQ(w->RichEditNx1()->text(), QStringLiteral("<HTML>\n<BODY>\n</BODY>\n</HTML>"));

    w->RichEditNx1()->setText(QStringLiteral("<HTML>\n<!--insert-->\n</HTML>"));
    w->run(QStringLiteral("ShineSpeedButton38Click"));
    const QStringList lines = w->RichEditNx1()->text().split(QLatin1Char('\n'));
    EXPECT_GT(lines.size(), 3);
    EXPECT_EQ(lines.first(), QStringLiteral("<HTML>"));
    EXPECT_EQ(lines.at(lines.size() - 2), QStringLiteral("<!--insert-->")) << "the marker stays";
    EXPECT_TRUE(w->RichEditNx1()->text().contains(QStringLiteral("春")));
}

TEST_F(CommandsFixture, LongTextPageFromTheRightPane)
{
    QStringList lines;
    for (int i = 0; i < 31; ++i)
        lines << QStringLiteral("行%1").arg(i);
    w->RichEditNx1()->setText(lines.join(QLatin1Char('\n')));
    w->run(QStringLiteral("ShineSpeedButton35Click")); // save cancelled
    EXPECT_EQ(w->RichEditNx1()->text(), lines.join(QLatin1Char('\n')))
        << "the right pane keeps its text";
    const int tables31 =
        int(w->RichEditNx2()->text().count(QStringLiteral("<TABLE"), Qt::CaseInsensitive));
    lines.removeLast();
    w->RichEditNx1()->setText(lines.join(QLatin1Char('\n')));
    w->run(QStringLiteral("ShineSpeedButton35Click"));
    const int tables30 =
        int(w->RichEditNx2()->text().count(QStringLiteral("<TABLE"), Qt::CaseInsensitive));
    EXPECT_EQ(tables31, tables30 + 1) << "31 lines take a second block of columns";
}

TEST_F(CommandsFixture, ColouringCountingAndRecordingRuns)
{
    TRichEditSx *left = w->RichEditNx2();
    left->setText(QStringLiteral("春の野の春の"));
    w->edit(QStringLiteral("Edit2"))->setText(QStringLiteral("の"));
    w->run(QStringLiteral("SCButton1Click"));
    EXPECT_TRUE(panel(2).contains(QStringLiteral("3"))) << panel(2).toStdString();
    EXPECT_TRUE(ElapsedText.match(panel(1)).hasMatch());
    EXPECT_EQ(left->selLength(), 0) << "no selection left";
    EXPECT_EQ(left->selStart(), 6) << "the caret after the last one";
    w->run(QStringLiteral("NNButton1Click"));
    ASSERT_NE(w->Form2(), nullptr);
    w->run(QStringLiteral("NNButton3Click"));
    EXPECT_EQ(w->edit(QStringLiteral("Edit3"))->text(), QStringLiteral("000003"));
    w->run(QStringLiteral("ShineSpeedButton33Click"));
    EXPECT_TRUE(panel(1).contains(QString::number(left->rowCount()))) << panel(1).toStdString();
    EXPECT_TRUE(panel(2).contains(QStringLiteral("6"))) << panel(2).toStdString();
    // The right pane's context menu colours the right pane.
    w->RichEditNx1()->setText(QStringLiteral("ののの"));
    w->run(QStringLiteral("N25Click"));
    EXPECT_TRUE(panel(2).contains(QStringLiteral("3")));
    w->Form2()->close();
}

TEST_F(CommandsFixture, TheColorStringIsOneLineFromEitherPaneAndTheClipboard)
{
    // A selection across a line end (and a clipboard text of several lines) comes into the
    // "Color String" bar without its breaks, is coloured as such, and "書記" records it so.
    w->RichEditNx2()->setText(QStringLiteral("白妙の\n衣\n白妙の衣"));
    w->RichEditNx1()->setText(QStringLiteral("天の\n香具山"));
    w->run(QStringLiteral("NNButton1Click"));
    ASSERT_NE(w->Form2(), nullptr);
    const struct
    {
        const char *command;
        std::function<void()> select;
        QString expected;
    } cases[] = {
        {"NNButton5Click", [&] { w->RichEditNx2()->setSelection(0, 5); },
         QStringLiteral("白妙の衣")},
        {"NNButton8Click", [&] { w->RichEditNx1()->setSelection(1, 4); }, QStringLiteral("の香具")},
        {"NNButton4Click",
         [] { QApplication::clipboard()->setText(QStringLiteral("春\r\n過ぎて\n")); },
         QStringLiteral("春過ぎて")},
    };
    int row = 0;
    for (const auto &c : cases) {
        c.select();
        w->run(QLatin1String(c.command));
        EXPECT_EQ(w->edit(QStringLiteral("Edit2"))->text(), c.expected) << c.command;
        w->run(QStringLiteral("SCButton1Click"));
        w->run(QStringLiteral("NNButton3Click"));
        EXPECT_EQ(w->Form2()->cells().cell(++row, 1), c.expected) << c.command;
    }
    // The selection across the break is found where it stands on one line.
    EXPECT_EQ(w->Form2()->cells().cell(1, 2), QStringLiteral("000001"));
    ui.answers.enqueue(MessageAnswer::Yes);
    w->Form2()->close();
}

TEST_F(CommandsFixture, PoemCollectionsLoadOnlyWithTheLeftPaneShown)
{
    w->run(QStringLiteral("ShineSpeedButton2Click")); // hide it again
    w->run(QStringLiteral("ShineSpeedButton3Click"));
    EXPECT_TRUE(ui.messages.isEmpty()) << "hidden: nothing, not even a message";
    EXPECT_TRUE(w->RichEditNx2()->text().isEmpty());
    w->run(QStringLiteral("ShineSpeedButton2Click"));
    w->run(QStringLiteral("ShineSpeedButton3Click")); // no hyakunin.txt beside this program
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.endsWith(QStringLiteral(" は、存在しません")));
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
    QFile::copy(QStringLiteral(KOTONAMI_DATA_DIR "/hyakunin.txt"),
                dir.filePath(QStringLiteral("hyakunin.txt")));
    w->run(QStringLiteral("ShineSpeedButton3Click"));
    EXPECT_TRUE(w->RichEditNx2()->text().contains(QStringLiteral("秋の田の")));
    EXPECT_FALSE(w->RichEditNx2()->isModified());
    EXPECT_TRUE(w->leftPane().file().isEmpty()) << "a collection is not the left pane's file";
}

namespace {

// The poet's tools through the window: furigana on the caret's line as one undo step, the
// sounds of the caret's line in panel 4, the HTML bar's ruby and upright boxes in the page,
// and the 表示 switches reaching both panes.
TEST_F(CommandsFixture, PoetsToolsFromTheMenusAndTheHtmlBar)
{
    TRichEditSx *right = w->RichEditNx1();
    right->setText(QStringLiteral("古池や蛙飛び込む水の音\n春の海"));
    right->setSelection(0, 0);
    right->setModified(false);
    w->run(QStringLiteral("Furigana1Click"));
    EXPECT_EQ(right->text(), QStringLiteral("古池《ふるいけ》や蛙《かわず》飛《と》び込《こ》む"
                                            "水《みず》の音《おと》\n春の海"));
    right->undo();
    EXPECT_EQ(right->text(), QStringLiteral("古池や蛙飛び込む水の音\n春の海"));
    // In historical kana, when asked: the classical word's ruby as it was spelled.
    right->setText(QStringLiteral("白妙の衣"));
    right->setSelection(0, 0);
    w->run(QStringLiteral("HistoricalRuby1Click"));
    EXPECT_TRUE(w->action(QStringLiteral("HistoricalRuby1"))->isChecked());
    w->run(QStringLiteral("Furigana1Click"));
    EXPECT_EQ(right->text(), QStringLiteral("白妙《しろたへ》の衣《ころも》"));
    w->run(QStringLiteral("HistoricalRuby1Click"));
    right->setText(QStringLiteral("古池や蛙飛び込む水の音\n春の海"));
    right->setSelection(0, 0);

    EXPECT_EQ(panel(4), QString());
    w->run(QStringLiteral("MoraShow1Click"));
    EXPECT_EQ(panel(4), QStringLiteral("音数 5・7・5"));
    // A ku too long is named short in the panel, whole in its tooltip.
    const QString poem = right->text();
    right->setText(QStringLiteral("古池や蛙飛び込む水の音の音"));
    right->setSelection(0, 0);
    w->run(QStringLiteral("MoraShow1Click"));
    w->run(QStringLiteral("MoraShow1Click"));
    EXPECT_EQ(panel(4), QStringLiteral("音数 5・7・8 字余り③"));
    EXPECT_EQ(w->StatusBar1()->panel(4)->toolTip(),
              QStringLiteral("音数 20（5・7・8） 3句目字余り"));
    right->setText(poem);
    // With the sounds shown, a guessed reading (皃) is dotted beside its word in either
    // writing, a sure one not.
    const QString before = right->text();
    for (bool vertical : {true, false}) {
        right->setVertical(vertical);
        for (const auto &[line, guessed] : {std::pair{u"これは皃です", true}, {u"春の海", false}}) {
            right->setText(QString::fromUtf16(line));
            QApplication::processEvents();
            const QImage shown = right->grab().toImage();
            int dots = 0;
            for (int y = 0; y < shown.height(); ++y) {
                for (int x = 0; x < shown.width(); ++x) {
                    const QColor c = shown.pixelColor(x, y);
                    dots +=
                        c.red() > 0xb0 && c.green() > 0x40 && c.green() < 0xa0 && c.blue() < 0x50;
                }
            }
            EXPECT_EQ(dots > 0, guessed) << vertical << " " << qPrintable(right->text());
        }
    }
    right->setVertical(true);
    right->setText(before);
    w->run(QStringLiteral("MoraShow1Click"));
    EXPECT_EQ(panel(4), QString());

    EXPECT_TRUE(right->typesetting().ruby);
    EXPECT_EQ(right->typesetting().uprightLength, 2);
    ui.numberAnswers.enqueue(3);
    w->run(QStringLiteral("TcyLength1Click"));
    EXPECT_EQ(ui.numberRequests, QList<int>{2});
    EXPECT_EQ(right->typesetting().uprightLength, 3);
    w->run(QStringLiteral("TcyLength1Click")); // cancelled
    EXPECT_EQ(right->typesetting().uprightLength, 3);
    w->run(QStringLiteral("TateChuYoko1Click"));
    w->run(QStringLiteral("Burasage1Click"));
    for (TRichEditSx *pane : {right, w->RichEditNx2()}) {
        EXPECT_EQ(pane->typesetting().uprightLength, 0);
        EXPECT_TRUE(pane->typesetting().hanging);
    }

    w->RichEditNx2()->setText(QStringLiteral("天《あま》の原\n12月"));
    for (const char *box : {"RubyCheckBox", "TcyCheckBox"})
        qobject_cast<QAbstractButton *>(w->control(QLatin1String(box)))->setChecked(true);
    w->run(QStringLiteral("HtmButton1Click"));
    const QString page = w->RichEditNx2()->text();
    EXPECT_TRUE(page.contains(QStringLiteral("<ruby>天<rt>あま</rt></ruby>")));
    EXPECT_TRUE(page.contains(QStringLiteral("text-combine-upright:all\">12</span>")));
}

} // namespace

namespace {

// Sounds counted by poem: the lines between blank lines make one poem where they fit a form
// together, a numbered list's line counts its poem only, and a form chosen in 表示 (0 自動,
// 1 俳句, 2 短歌, 3 旋頭歌, 4 自由律) is what the ku are measured against.
TEST_F(CommandsFixture, SoundsAreCountedByPoem)
{
    TRichEditSx *right = w->RichEditNx1();
    const struct
    {
        int form;
        const char16_t *text;
        int caretLine;
        const char16_t *verdict;
    } cases[] = {
        {0, u"古池や\n蛙飛び込む\n水の音\n\n春の海", 1, u"音数 5・7・5"},
        {0, u"春の海\n\n古池や\n蛙飛び込む\n水の音", 0, u"音数 5"},
        {0, u"春過ぎて 夏来にけらし 白妙の\n衣ほすてふ 天の香具山", 1, u"音数 5・7・5・7・7"},
        {0, u"1　古池や蛙飛び込む水の音　松尾芭蕉", 0, u"音数 5・7・5"},
        {4, u"古池や 蛙飛び込む 水の音の音", 0, u"音数 5・7・8"},
        {2, u"古池や 蛙飛び込む 水の音", 0, u"音数 5・7・5"},
        {2, u"古池や 蛙飛び込む\n水の音 春の海 春の海", 2,
         u"音数 5・7・5・5・5 字足らず④ 字足らず⑤"},
    };
    for (const auto &c : cases) {
        ui.itemAnswers.enqueue(c.form);
        w->run(QStringLiteral("PoemForm1Click"));
        right->setText(QString::fromUtf16(c.text));
        const QTextBlock line = right->document()->findBlockByNumber(c.caretLine);
        right->setSelection(line.position(), line.position());
        w->run(QStringLiteral("MoraShow1Click"));
        w->run(QStringLiteral("MoraShow1Click")); // off and on: the panel follows the caret
        EXPECT_EQ(panel(4), QString::fromUtf16(c.verdict)) << c.form;
    }
    EXPECT_EQ(ui.itemRequests.value(0).join(u' '), QStringLiteral("自動 俳句 短歌 旋頭歌 自由律"));
}

} // namespace

namespace {

// Ruby notation shows on the caret's line only, whatever came before: a file opened, the
// caret moved off its first line, the file reopened, the writing switched, an edit undone.
TEST_F(CommandsFixture, RubyNotationShowsOnTheCaretsLineOnlyAfterReopeningAndSwitching)
{
    const QString path = dir.filePath(QStringLiteral("waka.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("｜春日《かすが》なる 三笠の山に\n二\n三\n").toUtf8());
    file.close();
    TRichEditSx *right = w->RichEditNx1();
    const auto firstLineHidesNotation = [&] {
        QApplication::processEvents();
        right->grab();
        const QTextBlock first = right->document()->firstBlock();
        return !first.layout()->formats().isEmpty();
    };
    w->openStartupArgument({path});
    right->setSelection(right->document()->lastBlock().position(), 0);
    w->run(QStringLiteral("VHClick"));
    EXPECT_TRUE(firstLineHidesNotation()) << "opened";
    ui.itemAnswers.enqueue(1);
    w->run(QStringLiteral("ReopenEncoding1Click"));
    right->setSelection(right->document()->lastBlock().position(), 0);
    EXPECT_TRUE(firstLineHidesNotation()) << "reopened";
    w->run(QStringLiteral("VHClick"));
    w->run(QStringLiteral("VHClick"));
    EXPECT_TRUE(firstLineHidesNotation()) << "switched";
    // An edit undone on another line leaves the first line's ruby as it was.
    right->recordAction(editor::ActionTyping);
    QTextCursor c = right->placedCursor(int(right->text().size()), int(right->text().size()));
    right->replaceSelection(c, QStringLiteral("四"));
    right->undo();
    EXPECT_TRUE(firstLineHidesNotation()) << "undone";
}

} // namespace
