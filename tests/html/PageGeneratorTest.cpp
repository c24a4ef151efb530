#include "html/PageGenerator.h"
#include "html/PageData.h"

#include "Golden.h"
#include "QtPrinters.h"
#include "text/Cp932Codec.h"

#include <QRegularExpression>

#include <array>

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

// A page as a browser's tokenizer reads it. The skeleton is each tag as its name and its
// attributes' names ("font size color face"), text and attribute values left out; comments
// are skipped, and TITLE and STYLE run to their own end tags, as in a browser.
struct Tokens
{
    QStringList skeleton;
    QStringList values; // attribute values with their references resolved
    QString title;      // the title's text, references resolved
};

QString resolved(QString v)
{
    for (const auto &[ref, c] :
         {std::pair{"&quot;", "\""}, {"&#39;", "'"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        v.replace(QLatin1String(ref), QLatin1String(c));
    return v;
}

Tokens tokens(const QString &page)
{
    Tokens t;
    const qsizetype n = page.size();
    auto isName = [](QChar c) { return c.isLetterOrNumber(); };
    auto isBlank = [](QChar c) { return c.isSpace(); };
    qsizetype pos = 0;
    while ((pos = page.indexOf(u'<', pos)) >= 0) {
        if (QStringView(page).mid(pos).startsWith(u"<!--")) {
            const qsizetype end = page.indexOf(u"-->", pos + 4);
            pos = end < 0 ? n : end + 3;
            continue;
        }
        qsizetype i = pos + 1;
        const bool closing = i < n && page[i] == u'/';
        i += closing;
        if (i >= n || !page[i].isLetter()) {
            ++pos;
            continue;
        }
        QString tag = closing ? QStringLiteral("/") : QString();
        while (i < n && isName(page[i]))
            tag += page[i++].toLower();
        QString entry = tag;
        while (i < n && page[i] != u'>') {
            if (isBlank(page[i]) || page[i] == u'/') {
                ++i;
                continue;
            }
            QString name;
            while (i < n && !isBlank(page[i]) && page[i] != u'=' && page[i] != u'>' &&
                   page[i] != u'/')
                name += page[i++].toLower();
            entry += u' ' + name;
            while (i < n && isBlank(page[i]))
                ++i;
            if (i < n && page[i] == u'=') {
                ++i;
                while (i < n && isBlank(page[i]))
                    ++i;
                qsizetype end;
                if (i < n && (page[i] == u'"' || page[i] == u'\'')) {
                    end = page.indexOf(page[i], i + 1);
                    end = end < 0 ? n : end;
                    t.values.append(resolved(page.mid(i + 1, end - i - 1)));
                    ++end;
                } else {
                    end = i;
                    while (end < n && !isBlank(page[end]) && page[end] != u'>')
                        ++end;
                    t.values.append(resolved(page.mid(i, end - i)));
                }
                i = end;
            }
        }
        t.skeleton.append(entry);
        pos = i + 1;
        if (tag == u"title" || tag == u"style") {
            qsizetype end = page.indexOf(QStringLiteral("</") + tag, pos, Qt::CaseInsensitive);
            end = end < 0 ? n : end;
            if (tag == u"title")
                t.title = resolved(page.mid(pos, end - pos));
            pos = end;
        }
    }
    return t;
}

} // namespace

// Settings files are passed around, so a colour, size, font name, link address or title
// from one must stay a value of its own attribute or the title's text: the page keeps the
// tags and attributes it has with ordinary values, and the browser reads the value back as
// it was written. Ordinary values are written as they stand.
TEST(SettingsValues, NeverAddMarkupOrScriptToAPage)
{
    const QString hostile[] = {
        QStringLiteral("\" onmouseover=\"alert(1)"),
        QStringLiteral("#fff\" onload=\"alert(1)"),
        QStringLiteral("x' onclick='alert(1)"),
        QStringLiteral("\"><script>alert(1)</script>"),
        QStringLiteral("</TITLE><script>alert(1)</script>"),
        QStringLiteral("a&quot;b<!--"),
    };
    using Field = QString HtmlStyle::*;
    const std::pair<const char *, Field> fields[] = {
        {"bgc", &HtmlStyle::bgc}, {"mclo", &HtmlStyle::mclo}, {"mclt", &HtmlStyle::mclt},
        {"Lcl", &HtmlStyle::Lcl}, {"Dai", &HtmlStyle::Dai},   {"Mfn", &HtmlStyle::Mfn},
        {"fze", &HtmlStyle::fze}, {"Linu", &HtmlStyle::Linu}, {"title", &HtmlStyle::title},
    };
    HtmlStyle normal = freshStyle();
    normal.FLink = true;
    const QStringList lines{"あ", "い", "う"};
    auto pages = [&](const HtmlStyle &s) {
        return std::array<QString, 3>{
            verticalPage(lines, s).lines.join(u'\n'), longTextPage(lines, s).lines.join(u'\n'),
            insertIntoPage(verticalPage(lines, normal).lines, insertionBlock(lines, s).lines, false)
                ->join(u'\n')};
    };
    const auto expected = pages(normal);
    for (const auto &[name, field] : fields) {
        for (const QString &value : hostile) {
            SCOPED_TRACE(std::string(name) + "=" + value.toStdString());
            HtmlStyle s = normal;
            s.*field = value;
            const auto got = pages(s);
            for (size_t kind = 0; kind < got.size(); ++kind)
                EXPECT_EQ(tokens(got[kind]).skeleton, tokens(expected[kind]).skeleton) << kind;
            const Tokens page = tokens(got[0]);
            if (field == &HtmlStyle::title)
                EXPECT_EQ(page.title, value);
            else
                EXPECT_TRUE(page.values.contains(value));
        }
    }

    // A link address that would run script is made a relative one; others stay as written.
    const std::pair<QString, QString> links[] = {
        {"javascript:alert(1)", "./javascript:alert(1)"},
        {" JavaScript:alert(1)", "./ JavaScript:alert(1)"},
        {"java\tscript:alert(1)", "./java\tscript:alert(1)"},
        {"vbscript:msgbox", "./vbscript:msgbox"},
        {"data:text/html,<script>alert(1)</script>", "./data:text/html,<script>alert(1)</script>"},
        {"../index.html?a=1&b=2", "../index.html?a=1&b=2"},
        {"https://example.jp/uta/", "https://example.jp/uta/"},
        {"script.htm#javascript:", "script.htm#javascript:"},
    };
    for (const auto &[link, href] : links) {
        HtmlStyle s = normal;
        s.Linu = link;
        EXPECT_TRUE(tokens(pages(s)[0]).values.contains(href)) << link.toStdString();
    }

    // What the program itself writes, and a title with quotes, come out as they are.
    const QString ordinary[] = {"#fff8dc", "ＭＳ 明朝", " Lightgrey", "Black",     "2",
                                "700",     "sakuhin",   "index.htm",  "作品「春」"};
    for (const QString &v : ordinary)
        for (HtmlPlace place : {HtmlPlace::Text, HtmlPlace::Attribute, HtmlPlace::Url})
            EXPECT_EQ(htmlEscaped(v, place), v);
    EXPECT_EQ(htmlEscaped("\"it's\"", HtmlPlace::Text), "\"it's\"");
}

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

namespace {

TEST(PageMarkup, RubyAndUprightRunsInPagesLongPagesAndInsertions)
{
    // Ruby with and without ｜, ruby holding markup characters, notation that is no ruby,
    // short and long Latin runs, and both at a line's ends.
    const QStringList poem{
        QStringLiteral("｜白妙《しろたへ》の 衣干すてふ 天《あま》の香具山《かぐやま》"),
        QStringLiteral("2026年12月8日 A4判 3.14 《かな》 ｜だけ"),
        QStringLiteral("葛《<く&ず>》"),
    };
    HtmlStyle s = freshStyle();
    s.ruby = true;
    s.uprightLength = 2;
    QByteArray all = cp932File(verticalPage(poem, s).lines);
    all += cp932File(longTextPage(poem, s).lines);
    all += cp932File(insertionBlock(poem + QStringList{QString()}, s).lines);
    EXPECT_TRUE(matchesGolden(all, "ruby_upright.htm"));

    // Off, the notation is text as it always was.
    EXPECT_EQ(columnText(poem[0]), columnText(poem[0], false, 0));
    EXPECT_TRUE(columnText(poem[0]).contains(QStringLiteral("《<br>し<br>ろ")));
}

} // namespace
