#include "shell/UiTables.h"

#include "shell/ShellResources.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace shell {

namespace {

template <typename Row, typename Make>
QList<Row> parseTable(const QString &tsv, int fields, QList<TableError> *errors, Make make)
{
    QList<Row> rows;
    const QStringList lines = tsv.split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) { // line 0 is the header
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() != fields) {
            if (errors)
                errors->append(
                    {int(i + 1),
                     QStringLiteral("expected %1 fields, found %2").arg(fields).arg(f.size())});
            continue;
        }
        rows.append(make(f));
    }
    return rows;
}

QString resourceText(const QString &path)
{
    ensureShellResources();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace

int BarRow::number(const QString &key, int fallback) const
{
    bool ok = false;
    const int v = extra.value(key).toInt(&ok);
    return ok ? v : fallback;
}

QList<MenuRow> parseMenuTable(const QString &tsv, QList<TableError> *errors)
{
    return parseTable<MenuRow>(tsv, 7, errors, [](const QStringList &f) {
        return MenuRow{f[0], f[1], f[2], f[3], f[4] == QStringLiteral("1"), f[5], f[6]};
    });
}

QList<BarRow> parseBarTable(const QString &tsv, QList<TableError> *errors)
{
    return parseTable<BarRow>(tsv, 7, errors, [](const QStringList &f) {
        BarRow row{f[0], f[1], f[2], f[3], f[4], f[5], {}};
        for (const QString &pair : f[6].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            if (eq < 0)
                row.extra.insert(pair.trimmed(), QString());
            else
                row.extra.insert(pair.left(eq).trimmed(), pair.mid(eq + 1).trimmed());
        }
        return row;
    });
}

QList<MenuRow> builtInMenus()
{
    return parseMenuTable(resourceText(QStringLiteral(":/shell/menus.tsv")));
}

QList<BarRow> builtInBars()
{
    QList<BarRow> bars = parseBarTable(resourceText(QStringLiteral(":/shell/bars.tsv")));
    hintsFromMenus(bars, builtInMenus());
    return bars;
}

QString plainCaption(const QString &caption)
{
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)|&(?=.)"));
    QString plain = caption;
    plain.remove(accessKey);
    if (plain.endsWith(QStringLiteral("...")))
        plain.chop(3);
    return plain.trimmed();
}

void hintsFromMenus(QList<BarRow> &bars, const QList<MenuRow> &menus)
{
    QHash<QString, QString> captionOf;
    for (const MenuRow &menu : menus) {
        if (menu.kind == QStringLiteral("item") && !menu.handler.isEmpty() &&
            !captionOf.contains(menu.handler))
            captionOf.insert(menu.handler, plainCaption(menu.caption));
    }
    for (BarRow &bar : bars) {
        if (bar.hint.isEmpty() && !bar.handler.isEmpty())
            bar.hint = captionOf.value(bar.handler);
    }
}

} // namespace shell
