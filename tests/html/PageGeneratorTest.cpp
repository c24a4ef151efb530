#include "html/PageGenerator.h"
#include "html/PageData.h"

#include "Golden.h"
#include "QtPrinters.h"
#include "text/Cp932Codec.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace html;

namespace {

// The settings of a fresh installation with "作品" and "sakuhin" typed in.
HtmlStyle freshStyle()
{
    HtmlStyle s;
    s.heading = QStringLiteral("作品");
    s.title = QStringLiteral("sakuhin");
    return s;
}

QByteArray cp932File(const QStringList &lines)
{
    return pageFileBytes(lines, text::FileEncoding::Cp932);
}

// The colours of the cell openers, column 1 first.
QStringList columnColours(const QStringList &page)
{
    static const QRegularExpression opener(
        QStringLiteral("^(?:</TD>)?<TD><font size=\"\\d+\" color=\"([^\"]*)\">$"));
    QStringList colours;
    for (const QString &l : page) {
        if (const auto m = opener.match(l); m.hasMatch())
            colours.append(m.captured(1));
    }
    return colours;
}

// The column texts in table order, column 1 (leftmost) first.
QStringList columns(const QStringList &page)
{
    QStringList out;
    for (qsizetype i = 0; i + 1 < page.size(); ++i) {
        if (page[i].endsWith(u"\">") && page[i].contains(u"<TD><font size="))
            out.append(page[i + 1]);
    }
    return out;
}

QStringList numbered(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("行%1").arg(i));
    return lines;
}

const QString kPoem[] = {
    QStringLiteral("「朝の窓、」しろく光る――。"),
    QStringLiteral("ひとり待つ《雨》の…音ー"),
    QString(),
    QStringLiteral("＠＃＆％！"),
    QStringLiteral("（風）は〔遠く〕―＜ひとり＞『鳥』［鳴く］～山：A<b>&c"),
};

QStringList poem()
{
    return QStringList(std::begin(kPoem), std::end(kPoem));
}

} // namespace

TEST(ColumnText, CharactersBetweenBreaks)
{
    const std::vector<std::pair<QString, QString>> rows{
        {"", "<br>"},
        {"あい", "<br>あ<br>い<br>"},
        {"a<b>&c", "<br>a<br>&lt;<br>b<br>&gt;<br>&amp;<br>c<br>"},
        {"𠮟る", "<br>𠮟<br>る<br>"},
    };
    for (const auto &[in, out] : rows)
        EXPECT_EQ(columnText(in), out);
}

TEST(PageData, WholeColumnSymbolRowsAreTheColumnsOfTheMarkerAndThePaddingLine)
{
    const PageData &d = pageData();
    ASSERT_EQ(d.symbols.size(), 23);
    EXPECT_EQ(d.symbols[21].text, columnText(d.fragment("blankMarker")));
    EXPECT_EQ(d.symbols[22].text, columnText(d.fragment("pad30Line")));
    EXPECT_EQ(d.symbols[20].height, "40");
    EXPECT_EQ(d.fragment("pad30Line").size(), 10);
    EXPECT_EQ(d.fragment("evenPadLine"), QString(10, QChar(0x3000)));
    EXPECT_EQ(d.fragment("shortEvenPadLine"), QString(3, QChar(0x3000)));
    EXPECT_EQ(text::encodeCp932(d.fragment("blankMarker")).bytes.toHex(), "81978194819581938149");
}

TEST(VerticalPage, WorkedTwoLineExample)
{
    const HtmlPage page = verticalPage({"あい", "うえ"}, freshStyle());
    const QStringList expected{
        "<HTML>",
        "<HEAD>",
        "<TITLE>sakuhin</TITLE>",
        "<style type=\"text/css\"><!--BODY, TH, TD { font-family: \"ＭＳ 明朝\",\"ＭＳ 明朝\","
        "\"ＭＳ ゴシック\",\"Osaka\"; }--></style>",
        "</HEAD>",
        "<body bgcolor=\"#fff8dc\" link=\"#0000D9\" vlink=\"#FFA477\">",
        "<BR><BR><P>",
        "<CENTER><font size=\"2\" color=\"#CDC0A5\" face=\"ＭＳ "
        "明朝\">作品</FONT></CENTER><BR><BR>",
        "<HR align=\"center\" width=\"800\" color=\"#CDC0A5\"><BR><BR><BR>",
        "<!--update-->",
        "<font size=\"2\" color=\"#008080\" face=\"ＭＳ 明朝\">",
        "<CENTER><TABLE width=\"700\" Hight=\"500\">",
        "<TR BGCOLOR=\"#fff8dc\" ALIGN=CENTER VALIGN=TOP>",
        "<TD><font size=\"2\" color=\"#8080FF\">",
        "<br>う<br>え<br>",
        "<TD><font size=\"2\" color=\"#8080FF\">",
        "<br>あ<br>い<br>",
        "</TD>",
        "</TR>",
        "</TABLE>",
        "<BR><BR><BR><BR>",
        "<HR align=\"center\" width=\"800\" color=\"#CDC0A5\"><BR><BR><BR><BR>",
        "<!--insert-->",
        "</CENTER>",
        "</BODY>",
        "</HTML>",
    };
    EXPECT_EQ(page.lines, expected);
    EXPECT_EQ(page.tableWidth, "700");
    EXPECT_EQ(page.ruleWidth, "800");
    EXPECT_TRUE(matchesGolden(cp932File(page.lines), "worked_example.htm"));
}

// Every state of the ten boxes a page reads that the bar's exclusions let the user reach,
// reached through the bar's own reactions, over one poem with punctuation, brackets, dashes,
// an empty line, the blank-line marker and characters that need escaping.
TEST(VerticalPage, EveryReachableCombinationOfBoxes)
{
    const int pageBoxes[] = {Black,   OneColor,   Alternate,   WithHeading, WithRule,
                             Symbols, FirstOther, EvenSpacing, PadTo30,     BlankAsText};
    QByteArray all;
    int count = 0;
    for (int mask = 0; mask < 1 << 10; ++mask) {
        std::array<bool, kBoxCount + 1> want{};
        for (int i = 0; i < 10; ++i)
            want[pageBoxes[i]] = mask >> i & 1;
        const auto on = [&](int b) { return want[b]; };
        if ((on(Black) && on(OneColor)) || (on(Black) && on(Alternate)) ||
            (on(OneColor) && on(Alternate)) || (on(Alternate) && on(FirstOther)) ||
            (on(Symbols) && on(BlankAsText)) || (on(Symbols) && !on(Black) && !on(OneColor)))
            continue;
        HtmlStyleState state;
        state.loadSettings({});
        state.Edit4Change(QStringLiteral("題：春、"));
        state.Edit5Change(QStringLiteral("sakuhin"));
        state.setLink(QStringLiteral("Back"), QStringLiteral("index.htm"), true);
        state.setChecked(BlankAsText, false);
        for (int b : {Black, OneColor, Alternate, FirstOther, Symbols, BlankAsText, WithHeading,
                      WithRule, EvenSpacing, PadTo30})
            state.setChecked(b, want[b]);
        for (int b : pageBoxes)
            ASSERT_EQ(state.checked(b), want[b]) << "mask " << mask << " box " << b;

        QString name;
        for (int b : pageBoxes)
            name +=
                state.checked(b) ? QString::fromUtf16(boxInfo(b).caption) : QStringLiteral("・");
        all += text::encodeCp932(QStringLiteral("==== ") + name + QStringLiteral("\r\n")).bytes;
        all += cp932File(verticalPage(poem(), state.style()).lines);
        ++count;
    }
    EXPECT_EQ(count, 288);
    EXPECT_TRUE(matchesGolden(all, "combinations.htm"));
}

TEST(VerticalPage, PaddingAndWidths)
{
    HtmlStyle s = freshStyle();
    HtmlPage page = verticalPage({"春"}, s);
    EXPECT_EQ(columns(page.lines),
              QStringList({columnText(QString(10, QChar(0x3000))), "<br>春<br>"}));

    s.boxes[PadTo30] = true;
    s.boxes[BlankAsText] = false;
    page = verticalPage(numbered(5), s);
    const QStringList cols = columns(page.lines);
    ASSERT_EQ(cols.size(), 30);
    EXPECT_EQ(cols.first(), columnText(pageData().fragment("pad30Line")));
    EXPECT_EQ(cols.last(), "<br>行<br>1<br>");
    EXPECT_EQ(page.tableWidth, "700");

    s.boxes[EvenSpacing] = true;
    page = verticalPage(numbered(5), s);
    EXPECT_EQ(page.tableWidth, "720");
    EXPECT_EQ(page.ruleWidth, "780");
    EXPECT_TRUE(page.lines.contains("<CENTER><TABLE width=\"720\" Hight=\"500\">"));
    EXPECT_TRUE(
        page.lines.contains("<HR align=\"center\" width=\"780\" color=\"#CDC0A5\"><BR><BR><BR>"));

    // With 空 the padding is the blank-line marker, drawn as the invisible asterisk.
    s.boxes[BlankAsText] = true;
    page = verticalPage(numbered(5), s);
    EXPECT_EQ(columns(page.lines).first(), "<Font color=\"#fff8dc\">＊</Font>");
}

TEST(VerticalPage, BlankLines)
{
    struct Case
    {
        bool symbols;
        bool blankAsText;
        QString middleColumn;
    };
    const std::vector<Case> cases{
        {false, true, "<Font color=\"#fff8dc\">＊</Font>"},
        {true, false, "<img src=\"kigou/zero.gif\" border=\"0\" width=\"19\" height=\"19\">"},
        {false, false, "<br>"},
    };
    for (const Case &c : cases) {
        HtmlStyle s = freshStyle();
        s.boxes[Symbols] = c.symbols;
        s.boxes[BlankAsText] = c.blankAsText;
        // The last line is never made a marker: it stays an empty column.
        const QStringList cols = columns(verticalPage({"あ", "", "\tい", ""}, s).lines);
        ASSERT_EQ(cols.size(), 4);
        EXPECT_EQ(cols[0], "<br>");
        EXPECT_EQ(cols[2], c.middleColumn);
        EXPECT_EQ(cols[1], c.symbols || c.blankAsText ? c.middleColumn : "<br>\t<br>い<br>");
    }
}

TEST(VerticalPage, DashesAndLongVowels)
{
    HtmlStyle s = freshStyle();
    QStringList cols = columns(verticalPage({"あ――い―うー"}, s).lines);
    EXPECT_EQ(cols.last(), "<br>あ<br>│<br>│<br>い<br>│<br>う<br>│<br>");
    s.boxes[Symbols] = true;
    cols = columns(verticalPage({"あ――い―うー"}, s).lines);
    EXPECT_EQ(
        cols.last(),
        "<br>あ<br><img src=\"kigou/sen2.gif\" border=\"0\" width=\"19\" height=\"40\"><br>"
        "い<br>│<br>う<br><img src=\"kigou/sen.gif\" border=\"0\" width=\"19\" height=\"19\"><br>");
}

TEST(VerticalPage, HeadingAndLink)
{
    HtmlStyle s = freshStyle();
    s.boxes[WithHeading] = false;
    QStringList page = verticalPage({"あ"}, s).lines;
    EXPECT_FALSE(page.join(u'\n').contains(u"作品"));
    EXPECT_FALSE(page.join(u'\n').contains(u"href"));

    s.boxes[WithHeading] = true;
    s.FLink = true;
    s.Lint = QStringLiteral("戻る。");
    s.Linu = QStringLiteral("../index.html");
    page = verticalPage({"あ"}, s).lines;
    EXPECT_EQ(page[page.size() - 4], "<a href=\"../index.html\">戻る。</a><BR><BR><BR><BR>");

    // A heading that holds its own placeholder is put in once; the page is finished.
    s.heading = QStringLiteral("＃￥＆＃＆<b>題</b>");
    s.boxes[Symbols] = true;
    page = verticalPage({"あ"}, s).lines;
    EXPECT_EQ(page[7],
              "<CENTER><font size=\"2\" color=\"#CDC0A5\" face=\"ＭＳ 明朝\">＃￥＆＃＆<b>題</b>"
              "</FONT></CENTER><BR><BR>");
}

TEST(VerticalPage, ColumnColours)
{
    struct Case
    {
        bool alternate;
        bool firstOther;
        const char *page;   // column 1 first, o = mclo, t = mclt
        const char *blocks; // the long-text and insertion tables
    };
    const std::vector<Case> cases{
        {false, false, "oottoott", "oottoott"},
        {true, false, "otototot", "otototot"},
        {false, true, "toottoot", "ooottoot"},
        {true, true, "ttototot", "ttototot"},
    };
    for (const Case &c : cases) {
        HtmlStyle s = freshStyle();
        s.mclo = "O";
        s.mclt = "T";
        s.boxes[Alternate] = c.alternate;
        s.boxes[FirstOther] = c.firstOther;
        const auto letters = [](const QStringList &colours) {
            QString out;
            for (const QString &col : colours)
                out += col.toLower();
            return out;
        };
        EXPECT_EQ(letters(columnColours(verticalPage(numbered(8), s).lines)), c.page)
            << c.alternate << c.firstOther;
        EXPECT_EQ(letters(columnColours(longTextPage(numbered(8), s).lines)), c.blocks)
            << c.alternate << c.firstOther;
        QStringList poem = numbered(7);
        poem.append(QString());
        EXPECT_EQ(letters(columnColours(insertionBlock(poem, s).lines)), c.blocks)
            << c.alternate << c.firstOther;
    }
    // Without 交 and 特 the second opener has no </TD> in front.
    const QStringList page = verticalPage(numbered(4), freshStyle()).lines;
    EXPECT_EQ(page[13], "<TD><font size=\"2\" color=\"#8080FF\">");
    EXPECT_EQ(page[15], "<TD><font size=\"2\" color=\"#8080FF\">");
    EXPECT_EQ(page[17], "</TD><TD><font size=\"2\" color=\"#D0A2A2\">");
}

TEST(LongTextPage, ThirtyOneLinesWithAndWithoutPadding)
{
    HtmlStyle s = freshStyle();
    QStringList rows = numbered(31);
    rows[4] = QString();
    rows[9] = QStringLiteral("「かぎ」、ー―<&>");
    HtmlPage page = longTextPage(rows, s);
    EXPECT_EQ(page.lines.count(u"<TR ALIGN=CENTER VALIGN=TOP>"), 2);
    EXPECT_EQ(columns(page.lines).size(), 30 + 2);
    EXPECT_TRUE(matchesGolden(cp932File(page.lines), "longtext_31.htm"));

    s.boxes[PadTo30] = true;
    s.boxes[EvenSpacing] = true;
    page = longTextPage(rows, s);
    EXPECT_EQ(columns(page.lines).size(), 30 + 30);
    EXPECT_EQ(page.tableWidth, "720");
    EXPECT_EQ(page.ruleWidth, "800");
    // The head's table takes the width the last block left.
    EXPECT_EQ(page.lines[11], "<CENTER><TABLE width=\"720\" Hight=\"500\">");
    EXPECT_TRUE(matchesGolden(cp932File(page.lines), "longtext_31_pad.htm"));
}

TEST(LongTextPage, BlocksRunRightToLeftAndEndWithTheFoot)
{
    HtmlStyle s = freshStyle();
    s.boxes[WithRule] = false;
    HtmlPage page = longTextPage(numbered(30), s);
    QStringList cols = columns(page.lines);
    ASSERT_EQ(cols.size(), 30);
    EXPECT_EQ(cols.first(), "<br>行<br>3<br>0<br>");
    EXPECT_EQ(cols.last(), "<br>行<br>1<br>");
    EXPECT_EQ(
        page.lines.count(u"<HR align=\"center\" width=\"800\" color=\"#CDC0A5\"><BR><BR><BR><BR>"),
        1)
        << "a block's rule is written without 線 too";
    EXPECT_FALSE(page.lines.contains(u"<!--insert-->"));
    EXPECT_EQ(page.lines.mid(page.lines.size() - 4),
              QStringList({"<BR><BR><BR><BR>", "</CENTER>", "</BODY>", "</HTML>"}));

    // The last row is looked at for blanks as well.
    s.boxes[BlankAsText] = true;
    cols = columns(longTextPage({"あ", ""}, s).lines);
    EXPECT_EQ(cols.first(), "<Font color=\"#fff8dc\">＊</Font>");
}

TEST(Insertion, TwoPoemsBelowAndAbove)
{
    const HtmlStyle s = freshStyle();
    const QStringList page = verticalPage({"あい", "うえ"}, s).lines;
    const QStringList first = insertionBlock({"春の", "風", ""}, s).lines;
    const QStringList second = insertionBlock({"秋の", "月「影」", ""}, s).lines;

    // The two-line poem with its empty line and the padding line: four columns.
    EXPECT_EQ(columns(first), QStringList({columnText(QString(10, QChar(0x3000))), "<br>",
                                           "<br>風<br>", "<br>春<br>の<br>"}));
    EXPECT_EQ(first.first(), "<font size=\"2\" color=\"#008080\" face=\"ＭＳ 明朝\">");

    for (bool above : {false, true}) {
        std::optional<QStringList> once = insertIntoPage(page, first, above);
        ASSERT_TRUE(once);
        std::optional<QStringList> twice = insertIntoPage(*once, second, above);
        ASSERT_TRUE(twice);
        EXPECT_EQ(twice->size(), page.size() + first.size() + second.size());
        const qsizetype firstAt = twice->indexOf(columnText(u"春の"));
        const qsizetype secondAt = twice->indexOf(columnText(u"秋の"));
        ASSERT_GT(firstAt, 0);
        ASSERT_GT(secondAt, 0);
        EXPECT_EQ(firstAt < secondAt, !above);
        EXPECT_TRUE(matchesGolden(cp932File(*twice), above ? QStringLiteral("insert_above.htm")
                                                           : QStringLiteral("insert_below.htm")));
    }
}

TEST(Insertion, MarkersAreFoundWholeInAnyCaseAndNoLineIsLost)
{
    const QStringList block{"B1", "B2"};
    EXPECT_EQ(insertIntoPage({"a", "<!--INSERT-->", "b", "<!--insert-->"}, block, false),
              QStringList({"a", "B1", "B2", "<!--INSERT-->", "b", "<!--insert-->"}));
    EXPECT_EQ(insertIntoPage({"<!--Update-->", "a", "b"}, block, true),
              QStringList({"<!--Update-->", "B1", "B2", "a", "b"}));
    EXPECT_EQ(insertIntoPage({" <!--insert-->", "<!--update-->"}, block, false), std::nullopt);

    HtmlStyle s = freshStyle();
    s.boxes[WithRule] = false;
    EXPECT_EQ(insertIntoPage(verticalPage({"あ"}, s).lines, block, false), std::nullopt);
    EXPECT_EQ(insertIntoPage(verticalPage({"あ"}, s).lines, block, true), std::nullopt);
}

TEST(HardLineBreaks, RowsEachEndInABreak)
{
    EXPECT_EQ(hardLineBreakText({"あい", "うえ"}), "あい\nうえ\n");
    EXPECT_EQ(hardLineBreakText({}), "");
}

TEST(PageFile, CrLfAndCharacterReferences)
{
    EXPECT_EQ(pageFileBytes({"a", "あ"}, text::FileEncoding::Cp932),
              QByteArray("a\r\n\x82\xa0\r\n"));
    EXPECT_EQ(pageFileBytes({"𠮟😀", QString(QChar(0xD800))}, text::FileEncoding::Cp932),
              QByteArray("&#x20B9F;&#x1F600;\r\n&#xFFFD;\r\n"));
    EXPECT_EQ(pageFileBytes({"あ"}, text::FileEncoding::Utf8), QByteArray("\xe3\x81\x82\r\n"));
    EXPECT_EQ(pageFileBytes({}, text::FileEncoding::Cp932), QByteArray());
}

TEST(Filters, HtmlFirstOrHtmFirst)
{
    EXPECT_EQ(htmlSaveFilter(true), "Html(*.html)|*.html|Htm(*.htm)|*.htm|All(*.*)|*.*");
    EXPECT_EQ(htmlSaveFilter(false), "Htm(*.htm)|*.htm|Html(*.html)|*.html|All(*.*)|*.*");
}
