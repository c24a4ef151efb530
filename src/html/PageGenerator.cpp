#include "html/PageGenerator.h"

#include "text/Ruby.h"

#include "html/PageData.h"
#include "text/Cp932Codec.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace html {

namespace {

constexpr int kBlockSize = 30;

QString frag(const char *name)
{
    return pageData().fragment(QString::fromLatin1(name));
}

// A line that sorts before " " byte for byte: empty, or starting with a control character
// (a tab included). Code page 932 lead bytes are all above 0x20, so the first UTF-16 unit
// decides.
bool sortsBeforeSpace(const QString &line)
{
    return line.isEmpty() || line.front().unicode() < 0x20;
}

enum class Variant { Page, LongText, Insertion };

// Column k (1 = leftmost) of the column-colour table. The long-text and insertion tables
// differ in one case: with "特" and without "交" their column 1 keeps the first colour.
const QString &columnColour(int k, const HtmlStyle &s, Variant v)
{
    const bool alternate = s.checked(Alternate);
    const bool firstOther = s.checked(FirstOther);
    if (k == 1)
        return firstOther && (alternate || v == Variant::Page) ? s.mclt : s.mclo;
    if (alternate)
        return k % 2 == 0 ? s.mclt : s.mclo;
    if (firstOther) // pairs 2-3, 4-5, ...
        return (k / 2) % 2 == 1 ? s.mclo : s.mclt;
    return ((k - 1) / 2) % 2 == 0 ? s.mclo : s.mclt; // pairs 1-2, 3-4, ...
}

// The reference a character is written as in a place; empty where it stands as it is.
QStringView entity(QChar c, HtmlPlace place)
{
    const bool attribute = place != HtmlPlace::Text;
    switch (c.unicode()) {
    case u'<':
        return u"&lt;";
    case u'>':
        return u"&gt;";
    case u'&':
        return u"&amp;";
    case u'"':
        return attribute ? QStringView(u"&quot;") : QStringView();
    case u'\'':
        return attribute ? QStringView(u"&#39;") : QStringView();
    default:
        return {};
    }
}

// Whether a browser would run the address as script. Browsers drop blanks and control
// characters in front of an address and tabs and line breaks anywhere in it, so
// " java\tScript:" counts too.
bool runsScript(const QString &url)
{
    QString scheme;
    for (const QChar c : url) {
        if (c == u'\t' || c == u'\n' || c == u'\r' || (scheme.isEmpty() && c.unicode() <= 0x20))
            continue;
        if (c == u':')
            return scheme == u"javascript" || scheme == u"vbscript" || scheme == u"data";
        const char16_t u = c.unicode();
        const bool schemeChar = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                                (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'.';
        if (!schemeChar)
            return false;
        scheme += c.toLower();
    }
    return false;
}

// Values of the «name» marks of the templates, each written for its place: the title is
// element text, the link address a URL, everything else an attribute value (the font name
// in the style sheet too, where the references keep it inside its quoted string).
struct Values
{
    const HtmlStyle &style;
    QString tableWidth;
    QString ruleWidth;
    QString size;
    QString colour;

    std::optional<QString> operator()(QStringView name) const
    {
        if (name == u"page title")
            return htmlEscaped(style.title, HtmlPlace::Text);
        if (name == u"Linu")
            return htmlEscaped(style.Linu, HtmlPlace::Url);
        if (std::optional<QString> v = raw(name))
            return htmlEscaped(*v, HtmlPlace::Attribute);
        return std::nullopt;
    }

    std::optional<QString> raw(QStringView name) const
    {
        if (name == u"Mfn")
            return style.Mfn;
        if (name == u"bgc")
            return style.bgc;
        if (name == u"fze")
            return style.fze;
        if (name == u"Dai")
            return style.Dai;
        if (name == u"Lcl")
            return style.Lcl;
        if (name == u"mclo")
            return style.mclo;
        if (name == u"table width")
            return tableWidth;
        if (name == u"rule width")
            return ruleWidth;
        if (name == u"size")
            return size;
        if (name == u"colour")
            return colour;
        return std::nullopt;
    }

    QString fill(const QString &line) const
    {
        return fillIn(line, [this](QStringView n) { return (*this)(n); });
    }
    QStringList fill(const QStringList &lines) const
    {
        QStringList out;
        for (const QString &l : lines)
            out.append(fill(l));
        return out;
    }
};

bool rowApplies(const QString &condition, const HtmlStyle &s)
{
    if (condition == u"always")
        return true;
    if (condition == u"FLink")
        return s.FLink;
    if (condition.startsWith(u"!CheckBox"))
        return !s.checked(condition.mid(9).toInt());
    if (condition.startsWith(u"CheckBox"))
        return s.checked(condition.mid(8).toInt());
    return false;
}

// Template rows first..last that apply, filled in.
void appendRows(QStringList &out, int first, int last, const Values &values)
{
    for (const TemplateRow &r : pageData().rows) {
        if (r.row >= first && r.row <= last && rowApplies(r.condition, values.style))
            out.append(values.fill(r.line));
    }
}

// Steps common to all tables: each line (already in column order, column 1 first) becomes
// its cell opener and its column text.
void appendColumns(QStringList &out, const QStringList &columns, const HtmlStyle &s, Variant v)
{
    Values values{s, {}, {}, v == Variant::Insertion ? QStringLiteral("2") : s.fze, {}};
    // Two colours at most, so each opener is filled in once.
    QHash<QString, QString> later;
    const QString firstTemplate = frag("firstOpener");
    const QString laterTemplate = frag("laterOpener");
    const bool paired = !s.checked(Alternate) && !s.checked(FirstOther);
    values.colour = s.mclo;
    const QString pairedSecond = values.fill(frag("pairedSecondOpener"));
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const int k = int(i) + 1;
        const QString &colour = columnColour(k, s, v);
        values.colour = colour;
        if (k == 1)
            out.append(values.fill(firstTemplate));
        else if (k == 2 && paired)
            out.append(pairedSecond);
        else {
            auto it = later.find(colour);
            if (it == later.end())
                it = later.insert(colour, values.fill(laterTemplate));
            out.append(*it);
        }
        out.append(columnText(columns[i], s.ruby, s.uprightLength));
    }
}

struct Replacement
{
    QString search;
    QString replacement;
};

// One-character rows all at once; where a character has two rows the first one counts,
// as it leaves nothing for the second.
void replaceCharacters(QStringList &lines, const QList<Replacement> &rows)
{
    std::vector<bool> present(0x10000);
    QHash<char16_t, QString> map;
    for (const Replacement &r : rows) {
        const char16_t c = r.search.front().unicode();
        if (!present[c]) {
            present[c] = true;
            map.insert(c, r.replacement);
        }
    }
    for (QString &line : lines) {
        const QChar *begin = line.constData();
        const QChar *end = begin + line.size();
        const QChar *hit = std::find_if(begin, end, [&](QChar c) { return present[c.unicode()]; });
        if (hit == end)
            continue;
        QString out;
        out.reserve(line.size() + 64);
        out.append(begin, hit - begin);
        for (const QChar *p = hit; p != end; ++p) {
            if (present[p->unicode()])
                out += map.value(p->unicode());
            else
                out += *p;
        }
        line = std::move(out);
    }
}

QString widthText(qsizetype n)
{
    return QString::number(n);
}

QList<Replacement> replacementRows(const HtmlStyle &s, bool placeholders)
{
    const QString bar = QStringLiteral("│");
    QList<Replacement> rows{{QStringLiteral("―"), bar}};
    if (s.checked(Symbols)) {
        for (const SymbolRow &r : pageData().symbols) {
            const QString tag =
                fillIn(frag("imageTag"), [&](QStringView n) -> std::optional<QString> {
                    if (n == u"file")
                        return r.file;
                    if (n == u"height")
                        return r.height;
                    return std::nullopt;
                });
            rows.append({r.text, tag});
        }
    }
    rows.append({QStringLiteral("ー"), bar});
    if (placeholders) {
        rows.append({frag("headingMark"), s.heading});
        rows.append({frag("linkMark"), s.Lint});
    }
    if (s.checked(BlankAsText)) {
        Values v{s, {}, {}, {}, {}};
        rows.append({columnText(frag("blankMarker")), v.fill(frag("invisibleAsterisk"))});
    }
    return rows;
}

} // namespace

QString htmlSaveFilter(bool htmlFirst)
{
    return htmlFirst ? QStringLiteral("Html(*.html)|*.html|Htm(*.htm)|*.htm|All(*.*)|*.*")
                     : QStringLiteral("Htm(*.htm)|*.htm|Html(*.html)|*.html|All(*.*)|*.*");
}

QString htmlEscaped(const QString &value, HtmlPlace place)
{
    const QString v =
        place == HtmlPlace::Url && runsScript(value) ? QStringLiteral("./") + value : value;
    const auto first = std::find_if(v.cbegin(), v.cend(),
                                    [place](QChar c) { return !entity(c, place).isEmpty(); });
    if (first == v.cend())
        return v;
    QString out = QStringView(v.cbegin(), first).toString();
    out.reserve(v.size() + 16);
    for (auto it = first; it != v.cend(); ++it) {
        if (const QStringView e = entity(*it, place); !e.isEmpty())
            out += e;
        else
            out += *it;
    }
    return out;
}

namespace {

// The cells of a run of text, each followed by "<br>"; a tate-chū-yoko run is one cell.
// Without `cells`, the characters alone, as a ruby's base in vertical writing holds them.
void appendCells(QString &out, QStringView text, int uprightLength, bool cells = true)
{
    const QStringView cellEnd = cells ? QStringView(u"<br>") : QStringView();
    const QList<text::Span> upright =
        uprightLength > 0 ? text::tateChuYokoRuns(text, uprightLength) : QList<text::Span>();
    qsizetype nextRun = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (nextRun < upright.size() && upright[nextRun].start == i) {
            out += frag("uprightOpen");
            out += text.sliced(i, upright[nextRun].length);
            out += u"</span>";
            out += cellEnd;
            i += upright[nextRun++].length - 1;
            continue;
        }
        const QChar c = text[i];
        if (const QStringView e = entity(c, HtmlPlace::Text); !e.isEmpty())
            out += e;
        else {
            out += c;
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                out += text[++i];
        }
        out += cellEnd;
    }
}

} // namespace

QString columnText(QStringView line, bool ruby, int uprightLength)
{
    QString out;
    out.reserve(4 + line.size() * 5);
    out += u"<br>";
    if (!ruby || !text::mayHoldRuby(line)) {
        appendCells(out, line, uprightLength);
        return out;
    }
    for (const text::RubyPiece &p : text::parseRuby(line)) {
        if (!p.hasRuby()) {
            appendCells(out, p.text, uprightLength);
            continue;
        }
        // A browser sets a ruby's base on one line whatever breaks it holds, so the ruby
        // stands in a small block of vertical writing: the base down the column, the
        // reading beside it on the right, spanning it.
        out += frag("rubyOpen");
        appendCells(out, p.text, uprightLength, false);
        out += u"<rt>";
        for (QChar c : p.ruby) {
            const QStringView e = entity(c, HtmlPlace::Text);
            out += e.isEmpty() ? QStringView(&c, 1) : e;
        }
        out += frag("rubyClose");
    }
    return out;
}

void applyPageReplacements(QStringList &lines, const HtmlStyle &style, bool placeholders)
{
    // Row by row over every line: a search text never holds a line break, so this is the
    // same as running each row over the whole text.
    const QList<Replacement> rows = replacementRows(style, placeholders);
    for (qsizetype i = 0; i < rows.size();) {
        // A run of one-character rows none of whose replacements holds a later row's
        // character gives the same text whether its rows run one after the other or all at
        // once, so it is done in one pass: "―" -> "│" and the punctuation images are such a
        // run ("│" is no later row's text, an image tag is ASCII).
        qsizetype j = i;
        while (j < rows.size() && rows[j].search.size() == 1 &&
               !rows[j].search.front().isSurrogate()) {
            bool independent = true;
            for (qsizetype k = i; k < j && independent; ++k)
                independent = !rows[k].replacement.contains(rows[j].search.front());
            if (!independent)
                break;
            ++j;
        }
        if (j - i >= 2) {
            replaceCharacters(lines, rows.mid(i, j - i));
            i = j;
            continue;
        }
        const Replacement &r = rows[i++];
        if (r.search.isEmpty())
            continue;
        // Most lines hold none of a row's text; a vectorised search for its first
        // character beyond ASCII skips them quickly.
        const auto key = std::find_if(r.search.cbegin(), r.search.cend(),
                                      [](QChar c) { return c.unicode() >= 0x80; });
        const QChar probe = key != r.search.cend() ? *key : r.search.front();
        for (QString &line : lines) {
            if (line.contains(probe))
                line.replace(r.search, r.replacement);
        }
    }
}

// The steps a poem's columns share on a page and in an insertion block: blank lines become
// the marker (the last line is not examined), padding to 30 under "加", an even count, the
// order reversed, and the widths. Returns the lines in column order.
static QStringList poemColumns(const QStringList &source, const HtmlStyle &style, HtmlPage &page)
{
    QStringList lines = source;
    const QString marker = frag("blankMarker");
    if (style.checked(Symbols) || style.checked(BlankAsText)) {
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (sortsBeforeSpace(lines[i]))
                lines[i] = marker;
        }
    }
    if (style.checked(PadTo30)) {
        const QString pad = style.checked(BlankAsText) ? marker : frag("pad30Line");
        while (lines.size() < kBlockSize)
            lines.append(pad);
    }
    if (lines.size() % 2 == 1)
        lines.append(frag("evenPadLine"));
    std::reverse(lines.begin(), lines.end());
    const qsizetype n = lines.size();
    if (style.checked(EvenSpacing)) {
        page.tableWidth = widthText(n * 24);
        page.ruleWidth = widthText(n * 24 + 60);
    } else {
        page.tableWidth = QStringLiteral("700");
        page.ruleWidth = QStringLiteral("800");
    }
    return lines;
}

HtmlPage verticalPage(const QStringList &source, const HtmlStyle &style)
{
    HtmlPage page;
    if (source.isEmpty())
        return page;
    const QStringList lines = poemColumns(source, style, page);
    const qsizetype n = lines.size();
    const Values values{style, page.tableWidth, page.ruleWidth, {}, {}};
    page.lines.reserve(2 * n + 24);
    appendRows(page.lines, 1, 13, values);
    appendColumns(page.lines, lines, style, Variant::Page);
    appendRows(page.lines, 15, 24, values);
    applyPageReplacements(page.lines, style, true);
    return page;
}

HtmlPage longTextPage(const QStringList &rows, const HtmlStyle &style)
{
    HtmlPage page;
    if (rows.isEmpty())
        return page;
    const QString marker = frag("blankMarker");
    const bool blanks = style.checked(Symbols) || style.checked(BlankAsText);
    const QString pad = style.checked(BlankAsText) ? marker : frag("pad30Line");
    const QString shortPad = frag("shortEvenPadLine");
    const QStringList open = pageData().fragments.value(QStringLiteral("longBlockOpen"));
    const QStringList close = pageData().fragments.value(QStringLiteral("longBlockClose"));

    QStringList body;
    body.reserve(rows.size() * 2 + (rows.size() / kBlockSize + 1) * 10);
    QString tableWidth = QStringLiteral("700");
    const QString ruleWidth = QStringLiteral("800");
    for (qsizetype start = 0; start < rows.size(); start += kBlockSize) {
        // The block's lines last-first, so its first line ends up in the rightmost column;
        // padding goes in front, that is on the left.
        QStringList block;
        const qsizetype end = std::min(rows.size(), start + kBlockSize);
        for (qsizetype i = end - 1; i >= start; --i)
            block.append(blanks && sortsBeforeSpace(rows[i]) ? marker : rows[i]);
        QStringList front;
        if (style.checked(PadTo30) && block.size() < kBlockSize)
            front.fill(pad, kBlockSize - block.size());
        if ((front.size() + block.size()) % 2 == 1)
            front.prepend(shortPad);
        block = front + block;
        tableWidth =
            style.checked(EvenSpacing) ? widthText(block.size() * 24) : QStringLiteral("700");
        const Values values{style, tableWidth, ruleWidth, {}, {}};
        body += values.fill(open);
        appendColumns(body, block, style, Variant::LongText);
        body += values.fill(close);
    }
    const Values values{style, tableWidth, ruleWidth, {}, {}};
    appendRows(page.lines, 1, 13, values);
    page.lines += body;
    page.lines.append(
        frag(style.checked(WithRule) ? "longPageEndWithRule" : "longPageEndWithoutRule"));
    appendRows(page.lines, 21, 24, values);
    applyPageReplacements(page.lines, style, true);
    page.tableWidth = tableWidth;
    page.ruleWidth = ruleWidth;
    return page;
}

HtmlPage insertionBlock(const QStringList &poemLines, const HtmlStyle &style)
{
    HtmlPage page;
    if (poemLines.isEmpty())
        return page;
    const QStringList lines = poemColumns(poemLines, style, page);
    const Values values{style, page.tableWidth, page.ruleWidth, {}, {}};
    page.lines = values.fill(pageData().fragments.value(QStringLiteral("insertBlockOpen")));
    appendColumns(page.lines, lines, style, Variant::Insertion);
    page.lines += values.fill(pageData().fragments.value(QStringLiteral("insertBlockClose")));
    applyPageReplacements(page.lines, style, false);
    return page;
}

std::optional<QStringList> insertIntoPage(const QStringList &pageLines, const QStringList &block,
                                          bool above)
{
    const QString marker = frag(above ? "updateMarker" : "insertMarker");
    for (qsizetype i = 0; i < pageLines.size(); ++i) {
        if (pageLines[i].compare(marker, Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype at = above ? i + 1 : i;
        QStringList out;
        out.reserve(pageLines.size() + block.size());
        out += pageLines.mid(0, at);
        out += block;
        out += pageLines.mid(at);
        return out;
    }
    return std::nullopt;
}

QString hardLineBreakText(const QStringList &displayedRows)
{
    QString out;
    for (const QString &row : displayedRows) {
        out += row;
        out += u'\n';
    }
    return out;
}

QByteArray pageFileBytes(const QStringList &lines, text::FileEncoding encoding)
{
    QString all;
    qsizetype size = 0;
    for (const QString &l : lines)
        size += l.size() + 2;
    all.reserve(size);
    for (const QString &l : lines) {
        all += l;
        all += u"\r\n";
    }
    if (encoding != text::FileEncoding::Cp932)
        return text::encodeText(all, encoding).bytes;
    text::Cp932Encoded encoded = text::encodeCp932(all);
    if (encoded.ok())
        return encoded.bytes;
    QString referenced;
    referenced.reserve(all.size() + 16 * encoded.unencodable.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        qsizetype len = 1;
        if (all[i].isHighSurrogate() && i + 1 < all.size() && all[i + 1].isLowSurrogate())
            len = 2;
        const QStringView ch = QStringView(all).mid(i, len);
        const char32_t cp =
            len == 2 ? QChar::surrogateToUcs4(all[i], all[i + 1]) : all[i].unicode();
        if (encoded.unencodable.contains(cp)) {
            const char32_t shown = QChar::isSurrogate(cp) ? 0xFFFD : cp;
            referenced += QStringLiteral("&#x") + QString::number(uint(shown), 16).toUpper() + u';';
        } else {
            referenced += ch;
        }
        i += len - 1;
    }
    return text::encodeCp932(referenced).bytes;
}

} // namespace html
