#include "html/PageData.h"

#include <QFile>

#include <optional>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initHtmlQrc()
{
    Q_INIT_RESOURCE(html);
}

namespace html {

namespace {

// Rows of a data file split at tabs, comment lines (starting with '#') and empty lines left
// out. Trailing blanks are kept: they belong to the padding lines.
QList<QStringList> readTable(const QString &name)
{
    QFile file(QStringLiteral(":/html/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("html: compiled-in data file %s is missing", qPrintable(name));
    const QString all = QString::fromUtf8(file.readAll());
    QList<QStringList> rows;
    for (const QString &line : all.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        rows.append(line.split(u'\t'));
    }
    return rows;
}

PageData load()
{
    static const bool registered = (initHtmlQrc(), true);
    (void)registered;
    PageData d;
    for (const QStringList &r : readTable(QStringLiteral("page.tsv")))
        d.rows.append({r.value(0).toInt(), r.value(1), r.value(2)});
    for (const QStringList &r : readTable(QStringLiteral("fragments.tsv")))
        d.fragments[r.value(0)].append(r.value(1));
    for (const QStringList &r : readTable(QStringLiteral("symbols.tsv")))
        d.symbols.append({r.value(0), r.value(1), r.value(2)});
    for (const QStringList &r : readTable(QStringLiteral("colornames.tsv")))
        d.colorNames.insert(r.value(0), r.value(1));
    return d;
}

} // namespace

const PageData &pageData()
{
    static const PageData data = load();
    return data;
}

QString fillIn(const QString &line, const std::function<std::optional<QString>(QStringView)> &value)
{
    QString out;
    out.reserve(line.size() + 32);
    qsizetype pos = 0;
    while (pos < line.size()) {
        const qsizetype open = line.indexOf(u'«', pos);
        const qsizetype close = open < 0 ? -1 : line.indexOf(u'»', open + 1);
        if (close < 0) {
            out += QStringView(line).mid(pos);
            break;
        }
        out += QStringView(line).mid(pos, open - pos);
        const QStringView name = QStringView(line).mid(open + 1, close - open - 1);
        if (std::optional<QString> v = value(name))
            out += *v;
        else if (const auto it = pageData().fragments.constFind(name.toString());
                 it != pageData().fragments.cend() && !it->isEmpty())
            out += it->first();
        else
            out += QStringView(line).mid(open, close + 1 - open);
        pos = close + 1;
    }
    return out;
}

} // namespace html
