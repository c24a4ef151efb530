#include "tools/CommaText.h"

namespace tools {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

bool needsQuotes(const QString &cell)
{
    for (QChar c : cell)
        if (isBlank(c) || c == u'"' || c == u',')
            return true;
    return false;
}

} // namespace

QString commaText(const QStringList &cells)
{
    if (cells.size() == 1 && cells.front().isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i)
            out += u',';
        const QString &cell = cells[i];
        if (needsQuotes(cell)) {
            QString inner = cell;
            inner.replace(u'"', QStringLiteral("\"\""));
            out += u'"' + inner + u'"';
        } else {
            out += cell;
        }
    }
    return out;
}

QStringList parseCommaText(QStringView line)
{
    QStringList cells;
    qsizetype p = 0;
    const qsizetype n = line.size();
    auto skipBlanks = [&] {
        while (p < n && isBlank(line[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        QString cell;
        if (line[p] == u'"') {
            ++p;
            while (p < n) {
                if (line[p] == u'"') {
                    if (p + 1 < n && line[p + 1] == u'"') {
                        cell += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                cell += line[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < n && !isBlank(line[p]) && line[p] != u',')
                ++p;
            cell = line.mid(start, p - start).toString();
        }
        cells << cell;
        skipBlanks();
        if (p < n && line[p] == u',') {
            if (p + 1 == n)
                cells << QString();
            ++p;
            skipBlanks();
        }
    }
    return cells;
}

} // namespace tools
