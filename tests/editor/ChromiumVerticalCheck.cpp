// The vertical view's columns beside Chromium's `writing-mode: vertical-rl`: the same lines,
// font, size and column height in both, and for every character its column (counted within
// its line) and its top within the column, which must agree within 1 px. The lines hold
// what vertical typesetting finds hard: breaks before 、。 and closing brackets, small kana,
// ー and ～, sideways Latin words and digits, a kanji with a variation selector, a kana with
// a combining sound mark, curly quotes between Japanese characters and beside Latin ones.
//
// Exit status: 0 passed, 1 failed, 77 Chromium or the font missing.

#include "HeadlessChromium.h"
#include "editor/VerticalLayout.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>

namespace {

using testsupport::checkFails;
using testsupport::checkOut;

constexpr int Size = 20;
constexpr int ColumnHeight = 300;

// The lines set in each font: Japanese in a Japanese font, and Latin alone in a Latin font
// with kerning pairs, ligatures (a caret inside one stands where Chromium puts it) and
// combining marks, whose words Chromium shapes as runs.
struct Sample
{
    QString family;
    QStringList lines;
};

// Full-width punctuation that meets, in a font with half-width forms for vertical text:
// pairs and runs of brackets and marks, an ideographic space before a bracket, a bracket that
// starts a column after the one that ends the column before, and marks that fit a column only once
// closed up.
QStringList closingUp()
{
    return {QStringLiteral("彼は「いいえ。」と言った。『はい』、「そう」（注）【例】・中黒"),
            QStringLiteral("　「はい」と、彼は言った。「いいえ」・「ちがう」。"),
            QStringLiteral("彼の、（括弧）：コロン；セミ〈山〉《川》〔注〕〘甲〙！？"),
            QStringLiteral("一二三四五六七八九十一二三四」「五六七」"),
            QStringLiteral("あいうえおかきくけこさしす。」」あいう"),
            QStringLiteral("「『終わり。』」と、（「括弧」）【〈二重〉】")};
}

const QList<Sample> &samples()
{
    static const QList<Sample> s{
        {QStringLiteral("IPAMincho"),
         {QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山"),
          QStringLiteral("「ちょっと待って」と言ふ、その声は遠くの空へ消えてゆきました。"),
          QStringLiteral("ラーメン～とコーヒー、それから（少しだけ）お茶を。"),
          QStringLiteral("Kotonami 2026 版で書く短歌と俳句の縦書き"),
          QStringLiteral("葛󠄀城の山にか゚がやく月を見てゐたり"),
          QStringLiteral("彼は“はい”と言ひ、‘いいえ’と書いた。"),
          QStringLiteral("一二三四五六七八九十一二三四“五六”"),
          QStringLiteral("一二三四五六七八九十一二“三”四五六"),
          QStringLiteral("一二三四五六七八九十一二三四“Ab”"),
          QStringLiteral("一二三四五六七八九十一二三“Ab”五六"),
          QStringLiteral("一二三四五六七八九十一二三四‘五’六"),
          QStringLiteral("一二三四五六七八九十一二三‘四’ok")}},
        {QStringLiteral("Noto Serif CJK JP"), closingUp()},
        {QStringLiteral("Noto Sans CJK JP"), closingUp()},
        {QStringLiteral("DejaVu Serif"),
         {QStringLiteral("AVAWAY To Wa"), QStringLiteral("Typography of Yokohama: WAVE, AVOW."),
          QStringLiteral("The office's fluffy finches q\u0301 nai\u0308ve")}},
    };
    return s;
}

// Chromium's characters: line, index in the line, the left and top of its box.
struct Box
{
    int line;
    int index;
    double left;
    double top;
};

std::optional<QList<Box>> chromiumBoxes(const QString &chromium, const QTemporaryDir &dir,
                                        const Sample &sample)
{
    QString body;
    for (const QString &l : sample.lines)
        body += QStringLiteral("<p>") + l.toHtmlEscaped() + QStringLiteral("</p>");
    const QString page =
        QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
            "body{margin:0} #t{writing-mode:vertical-rl;font-family:'%1';font-size:%2px;"
            "height:%3px;line-break:strict;position:absolute;right:0;top:0}"
            "p{margin:0}</style></head><body><div id=\"t\">%4</div><script>"
            "var out=[];var t=document.getElementById('t').getBoundingClientRect();"
            "document.querySelectorAll('p').forEach(function(p,n){var s=p.firstChild;"
            "var u=s.data;for(var i=0;i<u.length;){var c=u.codePointAt(i);var k=c>0xffff?2:1;"
            "while(i+k<u.length&&/[\\u0300-\\u036f\\u3099\\u309a\\ufe00-\\ufe0f]|\\udb40/.test("
            "u[i+k])){k+=u[i+k]==='\\udb40'?2:1;}"
            "var r=document.createRange();r.setStart(s,i);r.setEnd(s,i+k);"
            "var b=r.getClientRects()[0];out.push([n,i,(b.left-t.left).toFixed(2),"
            "(b.top-t.top).toFixed(2)].join(','));i+=k;}});"
            "document.body.setAttribute('data-boxes',out.join(';'));</script></body></html>")
            .arg(sample.family)
            .arg(Size)
            .arg(ColumnHeight)
            .arg(body);
    const QString path = dir.filePath(sample.family + QStringLiteral(".html"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return std::nullopt;
    f.write(page.toUtf8());
    f.close();
    const auto dom =
        testsupport::runChromium(chromium, path, {"--window-size=1000,600", "--dump-dom"},
                                 dir.filePath(QStringLiteral("profiles")));
    if (!dom)
        return std::nullopt;
    static const QRegularExpression attr(QStringLiteral("data-boxes=\"([^\"]*)\""));
    const auto m = attr.match(QString::fromUtf8(*dom));
    if (!m.hasMatch()) {
        checkFails(QStringLiteral("the measuring script left no result"));
        return std::nullopt;
    }
    QList<Box> boxes;
    for (const QString &b : m.captured(1).split(u';')) {
        const QStringList v = b.split(u',');
        boxes.append({v[0].toInt(), v[1].toInt(), v[2].toDouble(), v[3].toDouble()});
    }
    return boxes;
}

bool check(const QString &chromium, const Sample &sample)
{
    QTemporaryDir dir;
    const auto boxes = chromiumBoxes(chromium, dir, sample);
    if (!boxes)
        return false;

    QTextDocument document;
    document.setPlainText(sample.lines.join(u'\n'));
    editor::VerticalLayout layout(&document);
    QFont font(sample.family);
    font.setPixelSize(Size);
    layout.setFont(font);
    layout.setColumnHeight(ColumnHeight);
    layout.setWordWrap(true);

    // Chromium's columns within a line, right to left, are its distinct left edges.
    QList<QList<double>> lefts(sample.lines.size());
    for (const Box &b : *boxes) {
        QList<double> &l = lefts[b.line];
        if (std::none_of(l.begin(), l.end(), [&](double x) { return std::abs(x - b.left) < 2; }))
            l.append(b.left);
    }
    for (QList<double> &l : lefts)
        std::sort(l.begin(), l.end(), std::greater<>());

    int failures = 0;
    double worst = 0;
    for (const Box &b : *boxes) {
        const QTextBlock block = document.findBlockByNumber(b.line);
        const int position = block.position() + b.index;
        const int firstColumn = layout.columnOfPosition(block.position());
        const int ours = layout.columnOfPosition(position) - firstColumn;
        const auto &l = lefts[b.line];
        const int theirs = int(
            std::find_if(l.begin(), l.end(), [&](double x) { return std::abs(x - b.left) < 2; }) -
            l.begin());
        const double y = layout.yOfPosition(position);
        const double off = std::abs(y - b.top);
        worst = std::max(worst, off);
        if (ours != theirs || off > 1.0) {
            ++failures;
            checkOut() << "line " << b.line + 1 << " character " << b.index << " ("
                       << block.text().mid(b.index, 1) << "): column " << ours << ", top " << y
                       << " here; column " << theirs << ", top " << b.top << " in Chromium"
                       << Qt::endl;
        }
    }
    checkOut() << sample.family << ": " << boxes->size()
               << " characters compared, largest difference along the column " << worst << " px"
               << Qt::endl;
    return failures == 0 ||
           checkFails(QStringLiteral("%1 characters set apart from Chromium").arg(failures));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        checkOut() << "FAIL: chromium not found (Debian package chromium)" << Qt::endl;
        return 77;
    }
    bool passed = true;
    for (const Sample &sample : samples()) {
        if (!QFontDatabase::families().contains(sample.family)) {
            checkOut() << "FAIL: " << sample.family << " not installed" << Qt::endl;
            return 77;
        }
        passed = check(chromium, sample) && passed;
    }
    if (!passed)
        return 1;
    checkOut() << "PASS" << Qt::endl;
    return 0;
}
