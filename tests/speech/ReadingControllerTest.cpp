#include "FakeDirectSS.h"
#include "QtPrinters.h"

#include "speech/ReadingController.h"
#include "speech/VolumeControl.h"

#include <gtest/gtest.h>

using namespace speech;

namespace {

struct FakeHost : ReadingHost
{
    QString paneText;
    int caret = 0;
    QString selection;
    bool modified = false;
    bool markingModifies = true; // colouring through QTextDocument sets the modified flag
    QList<text::ColorNumber> marks;
    QString label = QStringLiteral("(untouched)");
    QString pauseCaption = QStringLiteral("Pause");
    std::optional<text::ColorNumber> colorAnswer;
    int colorDialogs = 0;
    std::optional<text::ColorNumber> hoverColor;
    int repetitionPosition = -1, speedPosition = -1, volumePosition = -1;
    QString speedHint, volumeHint;
    std::optional<bool> mouthChecks;
    int focused = 0;
    QList<std::pair<int, int>> spoken; // what read-along showed, in order
    int selectionAt = -1;
    void showSpoken(int from, int to) override { spoken.append({from, to}); }
    int selectionStart() const override { return selectionAt; }

    QString rightPaneText() const override { return paneText; }
    int caretLine() const override { return caret; }
    QString selectedText() const override { return selection; }
    void markSelection(text::ColorNumber colour) override
    {
        marks << colour;
        selection.clear();
        if (markingModifies)
            modified = true;
    }
    bool isRightPaneModified() const override { return modified; }
    void setRightPaneModified(bool m) override { modified = m; }
    void setLabelNxText(const QString &t) override { label = t; }
    void setPauseCaption(const QString &c) override { pauseCaption = c; }
    std::optional<text::ColorNumber> chooseColor(text::ColorNumber) override
    {
        ++colorDialogs;
        return colorAnswer;
    }
    void setSelTextHoverColor(text::ColorNumber c) override { hoverColor = c; }
    void setRepetitionPosition(int p) override { repetitionPosition = p; }
    void setSpeedPosition(int p) override { speedPosition = p; }
    void setSpeedHint(const QString &h) override { speedHint = h; }
    void setVolumePosition(int p) override { volumePosition = p; }
    void setVolumeHint(const QString &h) override { volumeHint = h; }
    void setMouthChecks(bool c) override { mouthChecks = c; }
    void focusRightPane() override { ++focused; }

    std::optional<bool> clipControls;
    bool watching = false;
    bool toClipbrd = false;
    QStringList copied;
    void setClipSpeechControls(bool on) override { clipControls = on; }
    void setClipboardWatching(bool on) override { watching = on; }
    bool toClipbrdChecked() const override { return toClipbrd; }
    void setToClipbrdChecked(bool on) override { toClipbrd = on; }
    void copySelection() override { copied << selection; }
};

struct FakeVolume : VolumeControl
{
    int value = 32750;
    int volume() const override { return value; }
    void setVolume(int v) override { value = v; }
};

class Reading : public ::testing::Test
{
protected:
    Reading()
    {
        reading.setEngineReady(true);
        host.paneText = QStringLiteral("一行目\n二行目");
    }

    // Completion, then the timer's tick if the completion started it; false when no
    // further pass was due.
    bool completeAndTick()
    {
        engine.finishCurrent();
        if (!reading.Timer1().isActive())
            return false;
        reading.Timer1Timer();
        return true;
    }

    FakeDirectSS engine;
    FakeHost host;
    FakeVolume volume;
    ReadingController reading{engine, host, &volume};
};

TEST_F(Reading, ParoleRepeatsFRepNumTimesReadingThePaneAsItIsAtEachPass)
{
    reading.setFRepNum(3);
    reading.ParoleP1Click();
    EXPECT_EQ(engine.calls, QStringList({"Reset", "Speak:一行目\n二行目\n"}));
    EXPECT_EQ(reading.ReadMode(), ReadWholeText);
    EXPECT_EQ(host.label, "(untouched)");

    host.paneText = QStringLiteral("書き直した");
    ASSERT_TRUE(completeAndTick());
    EXPECT_EQ(reading.ReadCount(), 2);
    host.paneText = QStringLiteral("もう一度");
    ASSERT_TRUE(completeAndTick());
    EXPECT_EQ(reading.ReadCount(), 3);
    EXPECT_FALSE(completeAndTick());

    EXPECT_EQ(engine.spoken, QStringList({"一行目\n二行目\n", "書き直した\n", "もう一度\n"}));
    // Passes follow the end of the previous one; only the start resets the output.
    EXPECT_EQ(engine.calls.count("Reset"), 1);
}

TEST_F(Reading, TheWordsHeardAreShownWhereTheyStandInThePane)
{
    using Shown = QList<std::pair<int, int>>;
    // The whole text from the pane's start; the caret line from its line's start; the
    // selection from its own; the clipboard's text is not the pane's.
    reading.ParoleP1Click();
    Q_EMIT engine.wordSpoken(4, 6);
    EXPECT_EQ(host.spoken, Shown({{-1, -1}, {4, 6}}));
    host.spoken.clear();
    host.caret = 1;
    reading.Band1Click();
    Q_EMIT engine.wordSpoken(0, 2);
    EXPECT_EQ(host.spoken, Shown({{-1, -1}, {4, 6}}));
    host.spoken.clear();
    host.selection = QStringLiteral("行目");
    host.selectionAt = 5;
    reading.SelText1Click();
    Q_EMIT engine.wordSpoken(1, 2);
    EXPECT_EQ(host.spoken.last(), std::pair(6, 7));
    // The end of the text and a reset take the mark away.
    engine.finishCurrent();
    EXPECT_EQ(host.spoken.last(), std::pair(-1, -1));
    host.spoken.clear();
    reading.clipboardChanged(QStringLiteral("よそのことば"));
    Q_EMIT engine.wordSpoken(0, 3);
    EXPECT_EQ(host.spoken, Shown({{-1, -1}}));
    reading.Reset1Click();
    EXPECT_EQ(host.spoken.last(), std::pair(-1, -1));
}

TEST_F(Reading, RepetitionCountsZeroAndOneGiveASinglePass)
{
    for (int count : {0, 1}) {
        reading.setFRepNum(count);
        reading.ParoleP1Click();
        EXPECT_FALSE(completeAndTick()) << count;
    }
    EXPECT_EQ(engine.spoken.size(), 2);
}

TEST_F(Reading, CompletionWhilePausedStartsNoPass)
{
    reading.setFRepNum(3);
    reading.ParoleP1Click();
    reading.Pouse1Click();
    EXPECT_TRUE(reading.Paused());
    EXPECT_EQ(host.pauseCaption, "Resume");
    EXPECT_FALSE(completeAndTick());
    reading.Pouse1Click();
    EXPECT_EQ(host.pauseCaption, "Pause");
    EXPECT_EQ(engine.calls.mid(2), QStringList({"Pause", "Resume"}));
}

TEST_F(Reading, PauseBetweenPassesIsLiftedByTheNextPass)
{
    reading.setFRepNum(2);
    reading.ParoleP1Click();
    engine.finishCurrent();
    reading.Pouse1Click();
    reading.Timer1Timer();
    EXPECT_EQ(engine.calls.mid(2), QStringList({"Pause", "Resume", "Speak:一行目\n二行目\n"}));
    EXPECT_FALSE(reading.Paused());
    EXPECT_EQ(host.pauseCaption, "Pause");
}

TEST_F(Reading, ResetBetweenPassesEndsTheRepetition)
{
    reading.setFRepNum(5);
    reading.ParoleP1Click();
    engine.finishCurrent();
    ASSERT_TRUE(reading.Timer1().isActive());
    reading.Pouse1Click();
    reading.Reset1Click();
    EXPECT_FALSE(reading.Timer1().isActive());
    EXPECT_EQ(reading.ReadMode(), ReadNothing);
    EXPECT_EQ(reading.ReadCount(), 1);
    EXPECT_FALSE(reading.Paused());
    EXPECT_EQ(host.pauseCaption, "Pause");
    // A tick that was already on its way reads nothing with the mode cleared.
    reading.Timer1Timer();
    EXPECT_EQ(engine.spoken.size(), 1);
}

TEST_F(Reading, ShortReadingDuringARepetitionLetsTheRepetitionGoOnWithItsOwnText)
{
    reading.setFRepNum(3);
    reading.ParoleP1Click();
    ASSERT_TRUE(completeAndTick()); // second pass under way
    // A word read while typing: reset and speak, ReadMode untouched.
    engine.ResetAudio();
    engine.SpeakText(QStringLiteral("cat"));
    ASSERT_TRUE(completeAndTick());
    EXPECT_FALSE(completeAndTick());
    EXPECT_EQ(engine.spoken,
              QStringList({"一行目\n二行目\n", "一行目\n二行目\n", "cat", "一行目\n二行目\n"}));
}

TEST_F(Reading, BandReadsTheCaretLineAndRepeatsTheLineTheCaretIsOnAtTheTick)
{
    reading.setFRepNum(2);
    host.caret = 1;
    reading.Band1Click();
    EXPECT_EQ(engine.spoken, QStringList({"二行目"}));
    EXPECT_EQ(host.label, "二行目");
    host.caret = 0;
    ASSERT_TRUE(completeAndTick());
    EXPECT_EQ(engine.spoken.last(), "一行目");

    host.caret = 7; // past the last line
    reading.Band1Click();
    EXPECT_EQ(engine.spoken.last(), "");
}

TEST_F(Reading, SelTextMarksAndReadsTheSelectionThenTheRememberedOne)
{
    reading.setFRepNum(2);
    host.selection = QStringLiteral("選んだ");
    reading.SelText1Click();
    EXPECT_EQ(host.marks, QList<text::ColorNumber>({DefaultSelBgColor}));
    EXPECT_EQ(reading.LastSelText(), "選んだ");
    EXPECT_EQ(host.label, "選んだ");
    EXPECT_EQ(reading.ReadMode(), ReadSelection);

    host.paneText = QStringLiteral("すっかり変わった");
    ASSERT_TRUE(completeAndTick());
    reading.SelText1Click(); // nothing selected now
    EXPECT_EQ(engine.spoken, QStringList({"選んだ", "選んだ", "選んだ"}));
    EXPECT_EQ(host.marks.size(), 1);
    EXPECT_EQ(host.colorDialogs, 0);
}

TEST_F(Reading, SelTextWithNothingSelectedOrRememberedAsksForTheMarkingColour)
{
    reading.SelText1Click(); // cancelled
    EXPECT_EQ(reading.fSelBgColor(), DefaultSelBgColor);
    EXPECT_FALSE(host.hoverColor);

    host.colorAnswer = text::rgbColor(0, 200, 0);
    reading.SelText1Click();
    EXPECT_EQ(host.colorDialogs, 2);
    EXPECT_EQ(reading.fSelBgColor(), text::rgbColor(0, 200, 0));
    EXPECT_EQ(host.hoverColor, text::rgbColor(0, 200, 0));
    EXPECT_TRUE(engine.calls.isEmpty());

    host.selection = QStringLiteral("緑");
    reading.SelText1Click();
    EXPECT_EQ(host.marks, QList<text::ColorNumber>({text::rgbColor(0, 200, 0)}));
}

TEST_F(Reading, SelTextKeepsTheModifiedMarkOfAnEditMadeBefore)
{
    struct Case
    {
        bool modifiedBefore;
        bool selection;
    };
    for (const Case c : {Case{true, true}, Case{false, true}, Case{true, false}}) {
        host.modified = c.modifiedBefore;
        host.selection = c.selection ? QStringLiteral("語") : QString();
        reading.SelText1Click();
        EXPECT_EQ(host.modified, c.modifiedBefore) << c.modifiedBefore << c.selection;
    }
}

TEST_F(Reading, CommandsDoNothingWithoutAnEngine)
{
    reading.setEngineReady(false);
    host.selection = QStringLiteral("語");
    reading.ParoleP1Click();
    reading.Band1Click();
    reading.SelText1Click();
    reading.Pouse1Click();
    reading.Reset1Click();
    reading.ScrollBar1Change(170);
    reading.DSpeedButtonClick();
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(host.colorDialogs, 0);
    EXPECT_TRUE(host.marks.isEmpty());
    EXPECT_EQ(reading.FSpd(), DefaultSpeed);
    EXPECT_EQ(host.speedPosition, -1);
}

TEST_F(Reading, SpeedSliderSetsTheRateAndItsHint)
{
    reading.ScrollBar1Change(188);
    EXPECT_EQ(reading.FSpd(), 188);
    EXPECT_EQ(host.speedHint, "Speed 188");
    EXPECT_EQ(engine.speed, 188);
    reading.DSpeedButtonClick();
    EXPECT_EQ(host.speedPosition, 150);
    EXPECT_EQ(host.speedHint, "Speed 150");
    EXPECT_EQ(engine.speed, 150);
}

TEST_F(Reading, VolumeHintShowsPercentOfTheSlider)
{
    const std::pair<int, const char *> cases[] = {
        {65535, "Volume  100"}, {654, "Volume  0"}, {655, "Volume  1"}, {0, "Volume  0"}};
    for (const auto &[position, hint] : cases) {
        reading.VScrollBarChange(position);
        EXPECT_EQ(host.volumeHint, QString::fromLatin1(hint));
        EXPECT_EQ(volume.value, position);
    }
}

TEST_F(Reading, StartAppliesTheSettingsToTheControls)
{
    reading.setFRepNum(4);
    reading.setFSpd(140);
    reading.setShowCheckBoxChecked(false);
    reading.applyAtStart();
    EXPECT_EQ(host.repetitionPosition, 4);
    EXPECT_EQ(host.speedPosition, 140);
    EXPECT_EQ(host.speedHint, "Speed 140");
    EXPECT_EQ(engine.speed, 140);
    EXPECT_EQ(host.volumePosition, 32750);
    EXPECT_EQ(host.volumeHint, "Volume  50");
    EXPECT_EQ(host.mouthChecks, false);
    EXPECT_FALSE(engine.isMouthVisible());

    reading.windowFirstShown();
    EXPECT_EQ(engine.calls.last(), "Reset");
    EXPECT_EQ(host.label, "");
}

TEST_F(Reading, MouthSwitchesShowAndHideTheMouth)
{
    reading.ShowCheckBoxClick(false);
    EXPECT_FALSE(engine.isMouthVisible());
    EXPECT_EQ(host.mouthChecks, false);
    EXPECT_EQ(host.focused, 1);
    reading.Show1Click();
    EXPECT_TRUE(engine.isMouthVisible());
    EXPECT_TRUE(reading.ShowCheckBoxChecked());
    EXPECT_EQ(host.mouthChecks, true);
}

TEST_F(Reading, ClipboardChangesAreReadAndRepeatedWhileClipboardSpeechIsOn)
{
    reading.setFRepNum(3);
    reading.ClipSpeechCheckBoxClick(true);
    EXPECT_EQ(host.clipControls, true);
    EXPECT_TRUE(host.watching);

    reading.clipboardChanged(std::nullopt); // an image: nothing to read
    EXPECT_TRUE(engine.calls.isEmpty());
    reading.clipboardChanged(QStringLiteral("写し"));
    EXPECT_EQ(engine.calls, QStringList({"Reset", "Speak:写し"}));
    EXPECT_EQ(host.label, "写し");
    EXPECT_EQ(reading.ReadMode(), ReadClipboard);
    ASSERT_TRUE(completeAndTick());
    EXPECT_EQ(engine.spoken, QStringList({"写し", "写し"}));

    // Off through the menu item: the reading stops and no pass follows.
    engine.calls.clear();
    reading.ClipbrdSpeech1Click();
    EXPECT_EQ(host.clipControls, false);
    EXPECT_FALSE(host.watching);
    EXPECT_EQ(engine.calls, QStringList({"Reset"}));
    EXPECT_EQ(reading.ReadMode(), ReadNothing);
    EXPECT_FALSE(reading.Timer1().isActive());
    EXPECT_FALSE(completeAndTick());
}

TEST_F(Reading, ClipMemoryRepeatsTheLastClipboardTextOnlyWhileClipboardSpeechIsOn)
{
    reading.ClipBoardMemory1Click(); // nothing read yet
    EXPECT_TRUE(engine.calls.isEmpty());
    reading.ClipSpeechCheckBoxClick(true);
    reading.clipboardChanged(QStringLiteral("春の海"));
    reading.Pouse1Click();
    ASSERT_TRUE(reading.Paused());
    engine.calls.clear();

    reading.ClipBoardMemory1Click();
    EXPECT_EQ(engine.calls, QStringList({"Reset", "Speak:春の海"}));
    EXPECT_FALSE(reading.Paused());
    EXPECT_EQ(host.pauseCaption, "Pause");

    reading.ClipSpeechCheckBoxClick(false);
    engine.calls.clear();
    reading.ClipBoardMemory1Click();
    EXPECT_TRUE(engine.calls.isEmpty()) << "clipboard speech off: Clip_Memory does nothing";
    reading.applyClipSpeechAtStart(true);
    EXPECT_TRUE(host.watching);
    EXPECT_TRUE(engine.calls.isEmpty()) << "start-up reads nothing";
}

TEST_F(Reading, DoubleClickCopiesTheWordAndReadsItOnce)
{
    host.selection = QStringLiteral("moon ");
    reading.paneDoubleClicked(); // toClipbrd off
    EXPECT_TRUE(host.copied.isEmpty());

    reading.toClipbrdClick();
    ASSERT_TRUE(host.toClipbrd);
    reading.paneDoubleClicked();
    EXPECT_EQ(host.copied, QStringList{"moon "}) << "the pane's own copy, untrimmed";
    EXPECT_EQ(host.label, "moon");
    EXPECT_EQ(engine.calls, QStringList({"Reset", "Speak:moon "}));

    // With clipboard speech on, the watcher reads the copy; the click itself reads nothing.
    reading.ClipSpeechCheckBoxClick(true);
    engine.calls.clear();
    reading.paneDoubleClicked();
    EXPECT_EQ(host.copied.size(), 2);
    EXPECT_TRUE(engine.calls.isEmpty());

    host.selection = QStringLiteral("   ");
    reading.paneDoubleClicked();
    EXPECT_EQ(host.copied.size(), 2) << "blanks copy nothing";

    reading.toClipbrdClick();
    EXPECT_FALSE(host.toClipbrd);
    EXPECT_TRUE(host.label.isEmpty());
}

} // namespace
