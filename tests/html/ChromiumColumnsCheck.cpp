// A generated page opened in headless Chromium: the poem must stand in columns from right to
// left, its first line rightmost. Two looks at the same page:
//   1. the page as saved, --dump-dom: the table cells in document order (column 1, the
//      leftmost, first) hold the poem's lines last-first;
//   2. a copy with a small script that writes each cell's rendered left edge into the DOM:
//      the first line's cell lies furthest right and every later line further left.
//   3. a page with ruby, measured the same way: a ruby longer than its base, at a column's
//      head and within a line, stands wholly within its column, beside its base.
// The page refers to images in "kigou/" beside it; none exist here, and nothing below looks
// at them. A screenshot of the page is written to the folder given as the first argument.
//
// Exit status: 0 passed, 1 failed, 77 Chromium not installed (CTest counts that as failed
// too, with the message saying why).

#include "HeadlessChromium.h"
#include "html/PageGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

#include <cstdio>

namespace {

QTextStream &out()
{
    return testsupport::checkOut();
}

bool fail(const QString &why)
{
    return testsupport::checkFails(why);
}

using testsupport::runChromium;

QString cellText(const QString &cellHtml)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString t = cellHtml;
    t.remove(tag);
    return t.trimmed();
}

// The page with a script before its end that leaves what it measures in the body's
// attribute `attribute`, saved as `name` and opened in Chromium: that attribute's value.
std::optional<QString> measure(const QString &chromium, QTemporaryDir &dir, QStringList page,
                               const QString &name, const QString &script, const QString &attribute)
{
    page.insert(page.indexOf(QStringLiteral("</BODY>")), script);
    const QString path = dir.filePath(name);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            fail(QStringLiteral("cannot write ") + path);
            return std::nullopt;
        }
        f.write(html::pageFileBytes(page, text::FileEncoding::Cp932));
    }
    const std::optional<QByteArray> dom = runChromium(
        chromium, path, {"--window-size=900,700", "--dump-dom"}, dir.filePath("profiles"));
    if (!dom)
        return std::nullopt;
    const QRegularExpression value(attribute + QStringLiteral("=\"([^\"]*)\""));
    const auto m = value.match(QString::fromUtf8(*dom));
    if (!m.hasMatch()) {
        fail(QStringLiteral("the measuring script left no ") + attribute);
        return std::nullopt;
    }
    return m.captured(1);
}

// Each <rt>'s extent along its column beside its cell's, from a page with ruby: the ruby
// must lie within the cell (not cut at the column's head or foot) and overlap its base.
bool checkRuby(const QString &chromium, const QString &artifacts, QTemporaryDir &dir)
{
    const QStringList poem{QStringLiteral("｜空《そらのうえのたかいところ》は青い"),
                           QStringLiteral("春の｜海《うみのおもてのひかり》ひねもす"),
                           QStringLiteral("白妙《しろたへ》の衣")};
    html::HtmlStyle style;
    style.title = QStringLiteral("ruby");
    style.ruby = true;
    const QStringList page = html::verticalPage(poem, style).lines;
    const std::optional<QString> measured = measure(
        chromium, dir, page, QStringLiteral("ruby.htm"),
        QStringLiteral("<script>var r=[];document.querySelectorAll('rt').forEach(function(t){"
                       "var c=t.closest('td').getBoundingClientRect(),a=t.getBoundingClientRect(),"
                       "b=t.parentNode.getBoundingClientRect();"
                       "r.push([c.top,c.bottom,a.top,a.bottom,b.top,b.bottom].map(Math.round)"
                       ".join(','));});document.body.setAttribute('data-ruby',r.join('|'));"
                       "</script>"),
        QStringLiteral("data-ruby"));
    if (!measured)
        return false;
    out() << "ruby (cell top,bottom; rt top,bottom; ruby top,bottom): " << *measured << Qt::endl;
    const QStringList rubies = measured->split(u'|');
    if (rubies.size() != poem.size())
        return fail(
            QStringLiteral("%1 ruby on the page, not %2").arg(rubies.size()).arg(poem.size()));
    for (const QString &r : rubies) {
        const QStringList v = r.split(u',');
        const int cellTop = v[0].toInt(), cellBottom = v[1].toInt();
        const int top = v[2].toInt(), bottom = v[3].toInt();
        if (top < cellTop - 1 || bottom > cellBottom + 1)
            return fail(QStringLiteral("a ruby runs out of its column: ") + r);
        if (bottom <= v[4].toInt() || top >= v[5].toInt())
            return fail(QStringLiteral("a ruby stands apart from its base: ") + r);
    }
    const QString shot = QDir(artifacts).filePath(QStringLiteral("html_ruby.png"));
    QFile::remove(shot);
    if (!runChromium(chromium, dir.filePath(QStringLiteral("ruby.htm")),
                     {"--screenshot=" + shot, "--window-size=900,700"}, dir.filePath("profiles")))
        return false;
    out() << "screenshot: " << shot << Qt::endl;
    return true;
}

bool check(const QString &chromium, const QString &artifacts)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return fail(QStringLiteral("no temporary folder"));
    const QStringList poem{QStringLiteral("朝の窓辺に"), QStringLiteral("白き鳥来て"),
                           QStringLiteral("ひと声鳴けり、"), QStringLiteral("遠き海へと。")};
    html::HtmlStyle style;
    style.heading = QStringLiteral("作品");
    style.title = QStringLiteral("columns");
    style.boxes[html::Symbols] = true;
    style.boxes[html::BlankAsText] = false;
    const QStringList page = html::verticalPage(poem, style).lines;
    const QString pagePath = dir.filePath(QStringLiteral("page.htm"));
    {
        QFile f(pagePath);
        if (!f.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write ") + pagePath);
        f.write(html::pageFileBytes(page, text::FileEncoding::Cp932));
    }

    // 1. Document order of the cells.
    const std::optional<QByteArray> dom =
        runChromium(chromium, pagePath, {"--dump-dom"}, dir.filePath("profiles"));
    if (!dom)
        return false;
    const QString domText = QString::fromUtf8(*dom);
    static const QRegularExpression cell(QStringLiteral("<td>(.*?)</td>"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
    QStringList cells;
    for (auto it = cell.globalMatch(domText); it.hasNext();)
        cells.append(cellText(it.next().captured(1)));
    // Four lines make an even count: no padding column. Images have no text.
    const QStringList expected{QStringLiteral("遠き海へと"), QStringLiteral("ひと声鳴けり"),
                               QStringLiteral("白き鳥来て"), QStringLiteral("朝の窓辺に")};
    out() << "cells in document order: " << cells.join(QStringLiteral(" | ")) << Qt::endl;
    if (cells != expected)
        return fail(QStringLiteral("document order of the columns is not the poem's lines "
                                   "last-first (is the page read as Shift_JIS?)"));
    if (!domText.contains(QStringLiteral("作品")))
        return fail(QStringLiteral("heading missing from the rendered page"));

    // 2. Rendered positions, from a copy with a measuring script.
    const std::optional<QString> columns = measure(
        chromium, dir, page, QStringLiteral("measured.htm"),
        QStringLiteral(
            "<script>var r=[];document.querySelectorAll('td').forEach(function(t){"
            "var "
            "b=t.getBoundingClientRect();r.push(Math.round(b.left)+':'+t.textContent.trim());});"
            "document.body.setAttribute('data-columns',r.join('|'));</script>"),
        QStringLiteral("data-columns"));
    if (!columns)
        return false;
    out() << "rendered left edges: " << *columns << Qt::endl;
    QList<int> lefts;
    QStringList texts;
    for (const QString &c : columns->split(u'|')) {
        lefts.append(c.section(u':', 0, 0).toInt());
        texts.append(c.section(u':', 1));
    }
    if (texts != expected)
        return fail(QStringLiteral("measured cells differ from the poem"));
    for (qsizetype i = 1; i < lefts.size(); ++i) {
        if (lefts[i] <= lefts[i - 1])
            return fail(QStringLiteral("column of line %1 is not right of line %2")
                            .arg(poem.size() - i)
                            .arg(poem.size() - i + 1));
    }

    // A picture for people to look at.
    QDir().mkpath(artifacts);
    const QString shot = QDir(artifacts).filePath(QStringLiteral("html_columns.png"));
    QFile::remove(shot);
    if (!runChromium(chromium, pagePath, {"--screenshot=" + shot, "--window-size=900,700"},
                     dir.filePath("profiles")))
        return false;
    if (!QFile::exists(shot))
        return fail(QStringLiteral("no screenshot written"));
    out() << "screenshot: " << shot << Qt::endl;
    return checkRuby(chromium, artifacts, dir);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString artifacts =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath() + "/e2e-artifacts";
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        out() << "FAIL: chromium not found (Debian package chromium)" << Qt::endl;
        return 77;
    }
    if (!check(chromium, artifacts))
        return 1;
    out() << "PASS" << Qt::endl;
    return 0;
}
