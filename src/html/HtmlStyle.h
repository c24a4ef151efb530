#pragma once

// The style values every HTML page is made from (colours, font, heading, title, link, the
// fourteen check boxes of the "HTML" bar) and the state object that keeps them the way the
// bar's controls change them. QtCore only: the window connects its real check boxes, edits
// and colour buttons to HtmlStyleState and shows what it reports.

#include "text/ColorNumber.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>

namespace html {

// The check boxes of the "HTML" bar by number: CheckBox1 is box 1 ... CheckBox14 is box 14.
enum Box : int {
    Black = 1,        // "黒" both text colours "Black"
    OneColor = 2,     // "一" second colour equal to the first
    Alternate = 3,    // "交" column colours alternate instead of going in pairs
    WithHeading = 4,  // "題"
    WithRule = 5,     // "線" rules and the markers <!--update--> and <!--insert-->
    Symbols = 6,      // "記" punctuation and brackets as images
    FirstOther = 7,   // "特" first column in the other colour
    Preview = 8,      // "起" open the saved page in the browser
    HtmlFirst = 9,    // "拡" the save dialogs list .html first
    EvenSpacing = 10, // "間" table width follows the column count
    PadTo30 = 11,     // "加" pad to 30 columns
    InsertAbove = 12, // "入" insert after <!--update--> instead of before <!--insert-->
    ResetColors = 13, // "色" reset and quick setting include colours and font
    BlankAsText = 14, // "空" blank lines as an invisible asterisk
};
constexpr int kBoxCount = 14;

// Caption, hint and fresh-installation state of each box, index 1..14 (0 unused).
struct BoxInfo
{
    const char16_t *caption;
    const char16_t *hint;
};
const BoxInfo &boxInfo(int box);
// Whether the box starts checked: its default in the settings table.
bool boxCheckedByDefault(int box);

inline constexpr char16_t kMincho[] = u"ＭＳ 明朝";
inline constexpr char16_t kGothic[] = u"ＭＳ ゴシック";
inline constexpr char16_t kDefaultFirstColor[] = u"#8080FF";
inline constexpr char16_t kDefaultSecondColor[] = u"#D0A2A2";
inline constexpr char16_t kBlackColor[] = u"Black";

// Everything a page generator reads, as a fresh installation has it (heading and title
// empty). Plain data: tests and kotonami-tool fill it directly. Colours are HTML colour texts
// ("#RRGGBB", a colour name, "Black") pasted as they stand.
// The style values the pages use and the settings store keeps under the same names, with
// their defaults (those of a fresh installation).
struct HtmlStyleValues
{
    QString bgc = QStringLiteral("#fff8dc");
    QString mclo = QString::fromUtf16(kDefaultFirstColor);
    QString mclt = QString::fromUtf16(kDefaultSecondColor);
    QString Lcl = QStringLiteral("#CDC0A5");
    QString Dai = QStringLiteral("#CDC0A5");
    QString Mfn = QString::fromUtf16(kMincho);
    QString fze = QStringLiteral("2");
    QString Lint = QStringLiteral("Back");
    QString Linu = QStringLiteral("index.htm");
    bool FLink = false;
};

struct HtmlStyle : HtmlStyleValues
{
    QString heading; // Edit4's text
    QString title;   // Edit5's text
    // Working values the generators recompute; pages report what they used.
    QString tableWidth = QStringLiteral("700");
    QString ruleWidth = QStringLiteral("800");
    std::array<bool, kBoxCount + 1> boxes{}; // index 1..14
    // "ルビ": ruby notation (漢字《かんじ》) written as <ruby>; "縦": runs of up to
    // uprightLength half-width digits or letters set upright in one cell (0: off).
    bool ruby = false;
    int uprightLength = 0;

    HtmlStyle();
    bool checked(int box) const { return boxes.at(box); }
};

// The persisted HTML values under their settings keys, with the defaults the settings store
// uses when a key is missing (so a default-constructed one is a fresh installation, where
// the heading and title are empty and Dai is "#CDC0A5").
struct HtmlStoredValues : HtmlStyleValues
{
    QString Edit4Text;
    QString Edit5Text;
    std::array<bool, kBoxCount + 1> CheckBoxChecked{}; // CheckBox1Checked..CheckBox14Checked

    HtmlStoredValues();
};

// The colour dialog's colour text ("clRed", "$00BBGGRR") as an HTML colour text:
// "clTeal" -> "Teal", "$0000A5FF" -> "#FFA500", "clLtGray" -> " Lightgrey" (with its
// leading blank); other "cl" names stay as they are.
QString ChangeColorF(const QString &colorText);

// The colour a colour button presets its dialog with: only a value of the form "#RRGGBB"
// (seven characters, hexadecimal digits) gives one; "Black", "Teal" or "#fff" give none and
// the dialog keeps whatever it showed last.
std::optional<text::ColorNumber> colorDialogPreset(const QString &htmlColor);

// What the dialog returned, as the stored text: pure white is "White", red 255, green 165,
// blue 0 is "#FFA500".
QString htmlColorFromDialog(text::ColorNumber chosen);

// The five colour buttons.
enum class ColorTarget {
    Background, // HtmButton5 "背" bgc
    FirstText,  // HtmButton6 "前" mclo
    SecondText, // HtmButton7 "後" mclt
    Rule,       // HtmButton10 "線" Lcl
    Heading,    // HtmButton12 "題" Dai
};

class HtmlStyleState final : public QObject
{
    Q_OBJECT
public:
    // The defaults before any settings are read: heading "作品", title "sakuhin", Dai "#8E8571".
    // The saved colours start as copies of the text colours.
    explicit HtmlStyleState(QObject *parent = nullptr);

    const HtmlStyle &style() const { return m_style; }
    bool checked(int box) const { return m_style.checked(box); }
    QString savedFirstColor() const { return m_savedFirst; }
    QString savedSecondColor() const { return m_savedSecond; }

    // A box set to a state it does not have yet runs its reaction, which may set other
    // boxes (each announced through boxChanged, each running its own reaction). The window
    // calls this from a box's click with the box's new state, and sets the real box from
    // boxChanged. Setting a box to the state it has does nothing.
    void setChecked(int box, bool checked);

    // The stored values in the order the settings store reads them,
    // each changed box running its reaction; then "黒" is cleared if "一" is checked too,
    // and the saved colours are taken from the text colours.
    void loadSettings(const HtmlStoredValues &stored);
    // What the settings store writes at shut-down.
    HtmlStoredValues storedValues() const;

    // Colour buttons: the dialog's preset, and the colour the user chose (HtmButton6 and
    // HtmButton7 also remember it as the saved first or second colour).
    QString colorValue(ColorTarget target) const;
    std::optional<text::ColorNumber> colorPreset(ColorTarget target) const;
    void setPickedColor(ColorTarget target, text::ColorNumber chosen);
    // A colour text as typed in the settings dialog, taken without checking.
    void setColorText(ColorTarget target, const QString &value);

    // HtmButton8Click: ＭＳ 明朝 <-> ＭＳ ゴシック.
    void HtmButton8Click();
    // "明" when Mfn is ＭＳ 明朝, else "ゴ".
    QString fontCaption() const;

    void HtmButton9Click();         // reset "元"
    void ShineSpeedButton40Click(); // quick setting for long-text pages "F"

    // Typing in Edit4 and Edit5; the window makes the text the edit's hint too.
    void Edit4Change(const QString &text) { m_style.heading = text; }
    void Edit5Change(const QString &text) { m_style.title = text; }

    // Settings dialog and conversions.
    void setFontSize(const QString &fze) { m_style.fze = fze; }
    void setMfn(const QString &mfn);
    void setLink(const QString &text, const QString &url, bool on);
    void setWidths(const QString &tableWidth, const QString &ruleWidth);

Q_SIGNALS:
    void boxChanged(int box, bool checked);
    void fontCaptionChanged(const QString &caption);
    // Reset and quick setting show the heading and title in Edit4 and Edit5 again.
    void editTextsShown(const QString &heading, const QString &title);

private:
    void react(int box);
    void resetColorsAndFont(bool alsoSavedColors);

    HtmlStyle m_style;
    QString m_savedFirst;
    QString m_savedSecond;
};

} // namespace html
