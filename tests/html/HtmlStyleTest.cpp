#include "html/HtmlStyle.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace html;

namespace {

const QString kBlackText = QStringLiteral("Black");

// A state after start-up with the stored values of a fresh installation.
struct Started
{
    HtmlStyleState state;
    std::vector<std::pair<int, bool>> changes;

    explicit Started(const HtmlStoredValues &stored = {})
    {
        state.loadSettings(stored);
        QObject::connect(&state, &HtmlStyleState::boxChanged, &state,
                         [this](int box, bool on) { changes.emplace_back(box, on); });
    }
    QString first() const { return state.style().mclo; }
    QString second() const { return state.style().mclt; }
};

} // namespace

TEST(ChangeColorF, NamesAndDollarTexts)
{
    const std::vector<std::pair<QString, QString>> rows{
        {"clAqua", "Aqua"},
        {"clBlack", "Black"},
        {"clBlue", "Blue"},
        {"clDkGray", "Darkslategray"},
        {"clFuchsia", "Fuchsia"},
        {"clGray", "Gray"},
        {"clGreen", "Green"},
        {"clLime", "Lime"},
        {"clLtGray", " Lightgrey"},
        {"clMaroon", "Maroon"},
        {"clNavy", "Navy"},
        {"clOlive", "Olive"},
        {"clPurple", "Purple"},
        {"clRed", "Red"},
        {"clSilver", "Silver"},
        {"clTeal", "Teal"},
        {"clWhite", "White"},
        {"clYellow", "Yellow"},
        {"clMoneyGreen", "clMoneyGreen"},
        {"$0000A5FF", "#FFA500"},
        {"$00123456", "#563412"},
    };
    for (const auto &[in, out] : rows)
        EXPECT_EQ(ChangeColorF(in), out) << in.toStdString();
}

TEST(ColorDialog, PresetOnlyFromHashColours)
{
    EXPECT_EQ(colorDialogPreset("#8080FF"), text::rgbColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(colorDialogPreset("#fff8dc"), text::rgbColor(0xFF, 0xF8, 0xDC));
    for (const char *none : {"Black", "Teal", " Lightgrey", "#fff", "#GG0000", "#8080FF0", ""})
        EXPECT_EQ(colorDialogPreset(QString::fromLatin1(none)), std::nullopt) << none;

    EXPECT_EQ(htmlColorFromDialog(text::rgbColor(255, 255, 255)), "White");
    EXPECT_EQ(htmlColorFromDialog(text::rgbColor(255, 165, 0)), "#FFA500");
    EXPECT_EQ(htmlColorFromDialog(text::rgbColor(0, 128, 128)), "Teal");
}

TEST(ColorDialog, PickedTextColoursAreAlsoSaved)
{
    Started s;
    s.state.setPickedColor(ColorTarget::FirstText, text::rgbColor(255, 165, 0));
    s.state.setPickedColor(ColorTarget::SecondText, text::rgbColor(0, 0, 255));
    s.state.setPickedColor(ColorTarget::Heading, text::rgbColor(1, 2, 3));
    EXPECT_EQ(s.first(), "#FFA500");
    EXPECT_EQ(s.state.savedFirstColor(), "#FFA500");
    EXPECT_EQ(s.second(), "Blue");
    EXPECT_EQ(s.state.savedSecondColor(), "Blue");
    EXPECT_EQ(s.state.style().Dai, "#010203");
    EXPECT_EQ(s.state.colorPreset(ColorTarget::SecondText), std::nullopt);
}

TEST(CheckBoxReactions, SymbolsTurnTextBlackAndClearingBlackBringsColoursBack)
{
    Started s;
    s.state.setChecked(Symbols, true);
    EXPECT_TRUE(s.state.checked(Black));
    EXPECT_FALSE(s.state.checked(BlankAsText));
    EXPECT_EQ(s.first(), kBlackText);
    EXPECT_EQ(s.second(), kBlackText);
    // 記 first, then 黒 from its reaction, then 空 cleared.
    const std::vector<std::pair<int, bool>> expected{{6, true}, {1, true}, {14, false}};
    EXPECT_EQ(s.changes, expected);

    s.state.setChecked(Black, false);
    EXPECT_EQ(s.first(), "#8080FF");
    EXPECT_EQ(s.second(), "#D0A2A2");
    EXPECT_TRUE(s.state.checked(Symbols)) << "clearing 黒 leaves 記 alone";

    s.state.setChecked(BlankAsText, true);
    EXPECT_FALSE(s.state.checked(Symbols));
}

TEST(CheckBoxReactions, SymbolsWithOneColourKeepsTheColour)
{
    Started s;
    s.state.setChecked(OneColor, true);
    s.state.setChecked(Symbols, true);
    EXPECT_FALSE(s.state.checked(Black));
    EXPECT_EQ(s.first(), "#8080FF");
    EXPECT_EQ(s.second(), "#8080FF");
}

TEST(CheckBoxReactions, Exclusions)
{
    struct Case
    {
        int first;
        int second;
        int cleared;
    };
    // Checking `second` while `first` is checked clears `cleared`.
    const std::vector<Case> cases{
        {Alternate, FirstOther, Alternate}, {FirstOther, Alternate, FirstOther},
        {Black, OneColor, Black},           {OneColor, Black, OneColor},
        {Black, Alternate, Black},          {Alternate, Black, Alternate},
        {OneColor, Alternate, OneColor},    {Alternate, OneColor, Alternate},
        {Symbols, BlankAsText, Symbols},
    };
    for (const Case &c : cases) {
        Started s;
        s.state.setChecked(BlankAsText, false);
        s.state.setChecked(c.first, true);
        ASSERT_TRUE(s.state.checked(c.first));
        s.state.setChecked(c.second, true);
        EXPECT_TRUE(s.state.checked(c.second)) << c.first << " then " << c.second;
        EXPECT_FALSE(s.state.checked(c.cleared)) << c.first << " then " << c.second;
    }
}

TEST(CheckBoxReactions, OneColourCopiesTheFirstAndGivesTheSecondBack)
{
    Started s;
    s.state.setPickedColor(ColorTarget::SecondText, text::rgbColor(255, 0, 0));
    s.state.setChecked(OneColor, true);
    EXPECT_EQ(s.second(), "#8080FF");
    EXPECT_EQ(s.state.savedSecondColor(), "Red");
    s.state.setChecked(OneColor, false);
    EXPECT_EQ(s.first(), "#8080FF");
    EXPECT_EQ(s.second(), "Red");

    // From 一 to 黒 and back: the colours survive both steps.
    s.state.setChecked(OneColor, true);
    s.state.setChecked(Black, true);
    EXPECT_FALSE(s.state.checked(OneColor));
    EXPECT_EQ(s.first(), kBlackText);
    s.state.setChecked(Black, false);
    EXPECT_EQ(s.first(), "#8080FF");
    EXPECT_EQ(s.second(), "Red");
}

TEST(CheckBoxReactions, SettingTheSameStateRunsNothing)
{
    Started s;
    s.state.setChecked(WithHeading, true);
    s.state.setChecked(Black, false);
    EXPECT_TRUE(s.changes.empty());
}

TEST(StartUp, DefaultsBeforeAndAfterLoading)
{
    HtmlStyleState state;
    EXPECT_EQ(state.style().heading, "作品");
    EXPECT_EQ(state.style().title, "sakuhin");
    EXPECT_EQ(state.style().Dai, "#8E8571");
    state.loadSettings({});
    EXPECT_EQ(state.style().heading, "");
    EXPECT_EQ(state.style().title, "");
    EXPECT_EQ(state.style().Dai, "#CDC0A5");
    // 題, 線, 起 and 空 start checked (the settings table's defaults).
    for (int b = 1; b <= kBoxCount; ++b)
        EXPECT_EQ(state.checked(b), b == 4 || b == 5 || b == 8 || b == 14) << b;
    EXPECT_EQ(state.fontCaption(), "明");
}

TEST(StartUp, BlackSurvivesARestartWithBlackSavedColours)
{
    Started before;
    before.state.setChecked(Black, true);
    const HtmlStoredValues stored = before.state.storedValues();
    EXPECT_EQ(stored.mclo, kBlackText);

    Started after(stored);
    EXPECT_TRUE(after.state.checked(Black));
    EXPECT_EQ(after.first(), kBlackText);
    EXPECT_EQ(after.state.savedFirstColor(), kBlackText);
    EXPECT_EQ(after.state.savedSecondColor(), kBlackText);
    after.state.setChecked(Black, false);
    EXPECT_EQ(after.first(), kBlackText);
    EXPECT_EQ(after.second(), kBlackText);
}

TEST(StartUp, BlackAndOneColourStoredTogetherLeaveOneColour)
{
    HtmlStoredValues stored;
    stored.CheckBoxChecked[Black] = true;
    stored.CheckBoxChecked[OneColor] = true;
    stored.mclo = "#111111";
    stored.mclt = "#222222";
    Started s(stored);
    EXPECT_FALSE(s.state.checked(Black));
    EXPECT_TRUE(s.state.checked(OneColor));
    EXPECT_EQ(s.first(), "#111111");
    EXPECT_EQ(s.state.savedFirstColor(), "#111111");
}

TEST(StartUp, SymbolsLoadedAfterTheColoursTurnThemBlack)
{
    // 記 is read after mclo and mclt, so its reaction sees the stored colours.
    HtmlStoredValues stored;
    stored.CheckBoxChecked[Symbols] = true;
    stored.CheckBoxChecked[BlankAsText] = false;
    stored.mclo = "#111111";
    Started s(stored);
    EXPECT_TRUE(s.state.checked(Black));
    EXPECT_EQ(s.first(), kBlackText);
    EXPECT_EQ(s.state.savedFirstColor(), kBlackText);
    EXPECT_EQ(s.state.storedValues().CheckBoxChecked[Black], true);
}

TEST(ResetAndQuickSetting, ResetWithoutColoursKeepsColoursAndSetsBoxes)
{
    Started s;
    s.state.setPickedColor(ColorTarget::Background, text::rgbColor(0, 0, 0));
    s.state.HtmButton8Click();
    for (int b : {Alternate, HtmlFirst, EvenSpacing, PadTo30, InsertAbove})
        s.state.setChecked(b, true);
    s.state.setChecked(WithHeading, false);
    s.state.setWidths("1", "2");
    QString shownHeading;
    QObject::connect(&s.state, &HtmlStyleState::editTextsShown, &s.state,
                     [&](const QString &h, const QString &) { shownHeading = h; });
    s.state.Edit4Change("春");
    s.state.HtmButton9Click();

    EXPECT_EQ(s.state.style().bgc, "Black");
    EXPECT_EQ(s.state.style().Mfn, "ＭＳ ゴシック");
    EXPECT_EQ(shownHeading, "春");
    const std::array<bool, 15> expected{false, false, false, false, true,  true,  false, false,
                                        true,  true,  false, false, false, false, true};
    for (int b = 1; b <= kBoxCount; ++b)
        EXPECT_EQ(s.state.checked(b), expected[b]) << b;
    EXPECT_EQ(s.state.style().tableWidth, "700");
    EXPECT_EQ(s.state.style().ruleWidth, "800");
}

TEST(ResetAndQuickSetting, ResetWithColoursRestoresThemAndTheFont)
{
    Started s;
    s.state.setChecked(ResetColors, true);
    s.state.setPickedColor(ColorTarget::FirstText, text::rgbColor(255, 0, 0));
    s.state.setChecked(Black, true);
    s.state.HtmButton8Click();
    QString caption;
    QObject::connect(&s.state, &HtmlStyleState::fontCaptionChanged, &s.state,
                     [&](const QString &c) { caption = c; });
    s.state.HtmButton9Click();
    EXPECT_EQ(s.first(), "#8080FF");
    EXPECT_EQ(s.second(), "#D0A2A2");
    EXPECT_EQ(s.state.style().Dai, "#8E8571");
    EXPECT_EQ(caption, "明");
    EXPECT_TRUE(s.state.checked(ResetColors));
}

TEST(ResetAndQuickSetting, QuickSettingPreparesLongTextPages)
{
    Started s;
    s.state.HtmButton9Click();
    s.state.ShineSpeedButton40Click();
    const std::array<bool, 15> expected{false, true,  false, false, true,  true,  true, false,
                                        true,  false, true,  true,  false, false, false};
    for (int b = 1; b <= kBoxCount; ++b)
        EXPECT_EQ(s.state.checked(b), expected[b]) << b;
    EXPECT_EQ(s.first(), kBlackText);
    EXPECT_EQ(s.state.savedFirstColor(), "#8080FF");
    s.state.setChecked(Black, false);
    EXPECT_EQ(s.second(), "#D0A2A2");
}

TEST(ResetAndQuickSetting, QuickSettingWithColoursKeepsBlackTextWhenBlackIsAlreadyOn)
{
    Started s;
    s.state.setChecked(Black, true);
    s.state.setChecked(ResetColors, true);
    s.state.ShineSpeedButton40Click();
    EXPECT_TRUE(s.state.checked(Black));
    EXPECT_EQ(s.first(), kBlackText);
    EXPECT_EQ(s.second(), kBlackText);
}

TEST(FontToggle, SwitchesBetweenMinchoAndGothic)
{
    Started s;
    s.state.HtmButton8Click();
    EXPECT_EQ(s.state.style().Mfn, "ＭＳ ゴシック");
    EXPECT_EQ(s.state.fontCaption(), "ゴ");
    s.state.setMfn("Osaka");
    s.state.HtmButton8Click();
    EXPECT_EQ(s.state.style().Mfn, "ＭＳ 明朝");
    EXPECT_EQ(s.state.fontCaption(), "明");
}

TEST(BoxInfo, CaptionsAndHints)
{
    EXPECT_EQ(QString::fromUtf16(boxInfo(1).caption), "黒");
    EXPECT_EQ(QString::fromUtf16(boxInfo(11).hint), "*足す(30行に)");
    EXPECT_EQ(QString::fromUtf16(boxInfo(14).hint), "記号でない空白(文字色)");
}
