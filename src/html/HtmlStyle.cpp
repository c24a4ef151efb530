#include "html/HtmlStyle.h"

#include "html/PageData.h"
#include "settings/RegMng.h"

namespace html {

namespace {

const std::array<BoxInfo, kBoxCount + 1> kBoxes{{
    {u"", u""},
    {u"黒", u"黒文字色"},
    {u"一", u"文字単色（前の色）"},
    {u"交", u"交互文字色"},
    {u"題", u"題名入り"},
    {u"線", u"線入り"},
    {u"記", u"記号（特殊文字）変換"},
    {u"特", u"一行目別色"},
    {u"起", u"プレビューOnOff"},
    {u"拡", u"拡張子html"},
    {u"間", u"文字列間隔一定"},
    {u"加", u"*足す(30行に)"},
    {u"入", u"上に挿入"},
    {u"色", u"元の設定で色情報を含める"},
    {u"空", u"記号でない空白(文字色)"},
}};

std::array<bool, kBoxCount + 1> defaultBoxes()
{
    std::array<bool, kBoxCount + 1> boxes{};
    for (int b = 1; b <= kBoxCount; ++b)
        boxes[b] = boxCheckedByDefault(b);
    return boxes;
}

const QString kBlack = QString::fromUtf16(kBlackColor);
const QString kFirst = QString::fromUtf16(kDefaultFirstColor);
const QString kSecond = QString::fromUtf16(kDefaultSecondColor);

} // namespace

bool boxCheckedByDefault(int box)
{
    // The settings table holds each box's default, for the window and the tool alike.
    static const std::array<bool, kBoxCount + 1> defaults = [] {
        std::array<bool, kBoxCount + 1> d{};
        const settings::TRegItems &table = settings::TRegItems::programTable();
        for (int b = 1; b <= kBoxCount; ++b) {
            const qsizetype i = table.indexOf(QStringLiteral("CheckBox%1Checked").arg(b));
            d[size_t(b)] = i >= 0 && table.at(i).defaultIsTrue();
        }
        return d;
    }();
    return box >= 1 && box <= kBoxCount && defaults[size_t(box)];
}

const BoxInfo &boxInfo(int box)
{
    return kBoxes.at(box);
}

HtmlStyle::HtmlStyle() : boxes(defaultBoxes()) {}

HtmlStoredValues::HtmlStoredValues() : CheckBoxChecked(defaultBoxes()) {}

QString ChangeColorF(const QString &colorText)
{
    if (colorText.startsWith(u"cl"))
        return pageData().colorNames.value(colorText, colorText);
    // "$00BBGGRR": characters 8-9 are red, 6-7 green, 4-5 blue.
    return u'#' + colorText.mid(7, 2) + colorText.mid(5, 2) + colorText.mid(3, 2);
}

std::optional<text::ColorNumber> colorDialogPreset(const QString &htmlColor)
{
    if (htmlColor.size() != 7 || !htmlColor.startsWith(u'#'))
        return std::nullopt;
    // A value such as "#GG0000" is no colour; the dialog then keeps its last colour.
    return text::colorFromString(QStringLiteral("$00") + htmlColor.mid(5, 2) + htmlColor.mid(3, 2) +
                                 htmlColor.mid(1, 2));
}

QString htmlColorFromDialog(text::ColorNumber chosen)
{
    return ChangeColorF(text::colorToString(chosen & 0xFFFFFF));
}

HtmlStyleState::HtmlStyleState(QObject *parent) : QObject(parent)
{
    m_style.Dai = QStringLiteral("#8E8571");
    m_style.heading = QStringLiteral("作品");
    m_style.title = QStringLiteral("sakuhin");
    m_savedFirst = m_style.mclo;
    m_savedSecond = m_style.mclt;
}

void HtmlStyleState::setChecked(int box, bool on)
{
    if (box < 1 || box > kBoxCount || m_style.boxes[box] == on)
        return;
    m_style.boxes[box] = on;
    Q_EMIT boxChanged(box, on);
    react(box);
}

void HtmlStyleState::react(int box)
{
    QString &mclo = m_style.mclo;
    QString &mclt = m_style.mclt;
    switch (box) {
    case Black:
        if (checked(Black) && checked(OneColor))
            setChecked(OneColor, false);
        if (checked(Black) && checked(Alternate))
            setChecked(Alternate, false);
        if (checked(Black)) {
            m_savedFirst = mclo;
            m_savedSecond = mclt;
            mclo = kBlack;
            mclt = kBlack;
        } else if (m_savedFirst.isEmpty()) {
            mclo = kFirst;
            mclt = kSecond;
        } else {
            mclo = m_savedFirst;
            mclt = m_savedSecond;
        }
        break;
    case OneColor:
        if (checked(OneColor) && checked(Black))
            setChecked(Black, false);
        if (checked(OneColor) && checked(Alternate))
            setChecked(Alternate, false);
        if (!checked(Black)) {
            mclo = m_savedFirst;
            mclt = m_savedSecond;
        }
        if (mclt != mclo) {
            m_savedSecond = mclt;
            mclt = mclo;
        }
        if (!checked(OneColor))
            mclt = m_savedSecond.isEmpty() ? kSecond : m_savedSecond;
        break;
    case Alternate:
        if (checked(Alternate) && checked(FirstOther))
            setChecked(FirstOther, false);
        if (checked(Alternate) && checked(OneColor))
            setChecked(OneColor, false);
        if (checked(Alternate) && checked(Black))
            setChecked(Black, false);
        mclo = m_savedFirst;
        mclt = m_savedSecond;
        break;
    case FirstOther:
        if (checked(FirstOther) && checked(Alternate))
            setChecked(Alternate, false);
        break;
    case Symbols:
        if (checked(Symbols) && !checked(Black) && !checked(OneColor))
            setChecked(Black, true);
        if (checked(Symbols))
            setChecked(BlankAsText, false);
        break;
    case BlankAsText:
        if (checked(BlankAsText))
            setChecked(Symbols, false);
        break;
    default:
        break;
    }
}

void HtmlStyleState::loadSettings(const HtmlStoredValues &v)
{
    m_style.heading = v.Edit4Text;
    m_style.title = v.Edit5Text;
    for (int b = 1; b <= 5; ++b)
        setChecked(b, v.CheckBoxChecked[b]);
    // The boxes' reactions touch only the boxes and the two colours, so the values can be
    // taken at once where the colours come in the settings' order.
    static_cast<HtmlStyleValues &>(m_style) = v;
    setMfn(v.Mfn);
    for (int b : {8, 9, 10, 6, 7, 11, 12, 13, 14})
        setChecked(b, v.CheckBoxChecked[b]);

    if (checked(Black) && checked(OneColor))
        setChecked(Black, false);
    m_savedFirst = m_style.mclo;
    m_savedSecond = m_style.mclt;
}

HtmlStoredValues HtmlStyleState::storedValues() const
{
    HtmlStoredValues v;
    v.Edit4Text = m_style.heading;
    v.Edit5Text = m_style.title;
    v.CheckBoxChecked = m_style.boxes;
    static_cast<HtmlStyleValues &>(v) = m_style;
    return v;
}

QString HtmlStyleState::colorValue(ColorTarget target) const
{
    switch (target) {
    case ColorTarget::Background:
        return m_style.bgc;
    case ColorTarget::FirstText:
        return m_style.mclo;
    case ColorTarget::SecondText:
        return m_style.mclt;
    case ColorTarget::Rule:
        return m_style.Lcl;
    case ColorTarget::Heading:
        return m_style.Dai;
    }
    return {};
}

std::optional<text::ColorNumber> HtmlStyleState::colorPreset(ColorTarget target) const
{
    return colorDialogPreset(colorValue(target));
}

void HtmlStyleState::setColorText(ColorTarget target, const QString &value)
{
    switch (target) {
    case ColorTarget::Background:
        m_style.bgc = value;
        break;
    case ColorTarget::FirstText:
        m_style.mclo = value;
        break;
    case ColorTarget::SecondText:
        m_style.mclt = value;
        break;
    case ColorTarget::Rule:
        m_style.Lcl = value;
        break;
    case ColorTarget::Heading:
        m_style.Dai = value;
        break;
    }
}

void HtmlStyleState::setPickedColor(ColorTarget target, text::ColorNumber chosen)
{
    const QString value = htmlColorFromDialog(chosen);
    setColorText(target, value);
    // A picked line colour also becomes the saved colour of its pair.
    if (target == ColorTarget::FirstText)
        m_savedFirst = value;
    else if (target == ColorTarget::SecondText)
        m_savedSecond = value;
}

void HtmlStyleState::setMfn(const QString &mfn)
{
    m_style.Mfn = mfn;
    Q_EMIT fontCaptionChanged(fontCaption());
}

void HtmlStyleState::HtmButton8Click()
{
    setMfn(m_style.Mfn == QString::fromUtf16(kMincho) ? QString::fromUtf16(kGothic)
                                                      : QString::fromUtf16(kMincho));
}

QString HtmlStyleState::fontCaption() const
{
    return m_style.Mfn == QString::fromUtf16(kMincho) ? QStringLiteral("明") : QStringLiteral("ゴ");
}

void HtmlStyleState::setLink(const QString &text, const QString &url, bool on)
{
    m_style.Lint = text;
    m_style.Linu = url;
    m_style.FLink = on;
}

void HtmlStyleState::setWidths(const QString &tableWidth, const QString &ruleWidth)
{
    m_style.tableWidth = tableWidth;
    m_style.ruleWidth = ruleWidth;
}

void HtmlStyleState::resetColorsAndFont(bool alsoSavedColors)
{
    m_style.bgc = QStringLiteral("#fff8dc");
    m_style.mclo = kFirst;
    m_style.mclt = kSecond;
    if (alsoSavedColors) {
        m_savedFirst = m_style.mclo;
        m_savedSecond = m_style.mclt;
    }
    m_style.Lcl = QStringLiteral("#CDC0A5");
    setMfn(QString::fromUtf16(kMincho));
    m_style.Dai = QStringLiteral("#8E8571");
}

void HtmlStyleState::HtmButton9Click()
{
    if (checked(ResetColors))
        resetColorsAndFont(true);
    Q_EMIT editTextsShown(m_style.heading, m_style.title);
    for (int b : {1, 2, 3})
        setChecked(b, false);
    setChecked(WithHeading, true);
    setChecked(WithRule, true);
    setChecked(Symbols, false);
    setChecked(FirstOther, false);
    setChecked(Preview, true);
    setWidths(QStringLiteral("700"), QStringLiteral("800"));
    setChecked(EvenSpacing, false);
    setChecked(PadTo30, false);
    setChecked(InsertAbove, false);
    setChecked(BlankAsText, true);
}

void HtmlStyleState::ShineSpeedButton40Click()
{
    if (checked(ResetColors)) {
        resetColorsAndFont(false);
        // "黒" already checked runs no reaction below, so the colours it stands for are
        // put back here: otherwise the page would come out in the default colours while
        // the box still says black.
        if (checked(Black)) {
            m_style.mclo = kBlack;
            m_style.mclt = kBlack;
        }
    }
    Q_EMIT editTextsShown(m_style.heading, m_style.title);
    setChecked(Black, true);
    setChecked(OneColor, false);
    setChecked(Alternate, false);
    setChecked(WithHeading, true);
    setChecked(WithRule, true);
    setChecked(Symbols, true);
    setChecked(FirstOther, false);
    setChecked(Preview, true);
    setWidths(QStringLiteral("700"), QStringLiteral("800"));
    setChecked(EvenSpacing, true);
    setChecked(PadTo30, true);
    setChecked(InsertAbove, false);
    setChecked(BlankAsText, false);
}

} // namespace html
