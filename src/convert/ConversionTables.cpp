#include "convert/ConversionTables.h"

#include <QFile>
#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initConvertQrc()
{
    Q_INIT_RESOURCE(convert);
}

namespace convert {

namespace {

ReplaceTable loadTable(const char *name)
{
    static const bool registered = (initConvertQrc(), true);
    (void)registered;
    QFile file(QStringLiteral(":/convert/%1").arg(QLatin1String(name)));
    // The tables are part of the program: one that cannot be read is a broken build.
    if (!file.open(QIODevice::ReadOnly))
        qFatal("conversion table %s is missing", name);
    int badLine = 0;
    auto table = parseReplaceTable(QString::fromUtf8(file.readAll()), &badLine);
    if (!table)
        qFatal("conversion table %s: line %d does not fit", name, badLine);
    return *table;
}

} // namespace

std::optional<ReplaceTable> parseReplaceTable(QStringView data, int *badLine)
{
    ReplaceTable table;
    int lineNo = 0;
    for (QStringView line : data.split(u'\n')) {
        ++lineNo;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        bool isNumber = false;
        const int n = fields[0].toInt(&isNumber);
        ReplaceRow row;
        if (fields.size() == 2) {
            row.search = fields[0].toString();
            row.candidates = {fields[1].toString()};
        } else if (fields.size() == 3 && fields[0] == u"=") {
            row.search = fields[1].toString();
            row.candidates = {fields[2].toString()};
        } else if (isNumber && n >= 1 && fields.size() == n + 2) {
            row.draw = true;
            row.search = fields[1].toString();
            for (qsizetype k = 2; k < fields.size(); ++k)
                row.candidates.append(fields[k].toString());
        } else {
            if (badLine)
                *badLine = lineNo;
            return std::nullopt;
        }
        bool empty = row.search.isEmpty();
        for (const QString &c : row.candidates)
            empty = empty || c.isEmpty();
        if (empty) {
            if (badLine)
                *badLine = lineNo;
            return std::nullopt;
        }
        table.append(row);
    }
    return table;
}

const ReplaceTable &manyoganaTable()
{
    static const ReplaceTable table = loadTable("manyogana.tsv");
    return table;
}

const ReplaceTable &katakanaToHiraganaTable()
{
    static const ReplaceTable table = loadTable("kata2hira.tsv");
    return table;
}

const ReplaceTable &katakanaToKanjiTable()
{
    static const ReplaceTable table = loadTable("kata2kanji.tsv");
    return table;
}

const ReplaceTable &hiraganaToKatakanaTable()
{
    static const ReplaceTable table = loadTable("hira2kata.tsv");
    return table;
}

} // namespace convert
