#include "tools/CommaText.h"

namespace tools {

namespace {

bool isBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20 && !isBreak(c);
}

bool needsQuotes(const QString &cell)
{
    if (cell.isEmpty())
        return false;
    if (isBlank(cell.front()) || isBlank(cell.back()))
        return true;
    for (QChar c : cell)
        if (c == u'"' || c == u',' || isBreak(c))
            return true;
    return false;
}

class RecordReader
{
public:
    explicit RecordReader(QStringView text) : m_text(text)
    {
        // Whether a quoted cell closes depends on the quotes after it: inside it they pair
        // up, run by run, and the first run of odd length ends it. So the cell opened by the
        // last odd run of the text (when that run is its own opening quote) never closes.
        for (qsizetype p = 0; p < m_text.size();) {
            const qsizetype end = runEnd(p);
            if (end > p && (end - p) % 2 == 1)
                m_lastOddRun = p;
            p = end > p ? end : p + 1;
        }
    }

    bool atEnd() const { return m_p >= m_text.size(); }

    QStringList record()
    {
        QStringList cells;
        if (!isBreak(m_text[m_p])) {
            cells << cell();
            while (!atEnd() && m_text[m_p] == u',') {
                ++m_p;
                cells << cell();
            }
        }
        // At a line break or the end.
        if (!atEnd()) {
            const bool crLf =
                m_text[m_p] == u'\r' && m_p + 1 < m_text.size() && m_text[m_p + 1] == u'\n';
            m_p += crLf ? 2 : 1;
        }
        return cells;
    }

private:
    // The end of the run of quotes at p (p itself when there is no quote there).
    qsizetype runEnd(qsizetype p) const
    {
        while (p < m_text.size() && m_text[p] == u'"')
            ++p;
        return p;
    }

    // Reads one cell and stops at the comma, line break or end after it.
    QString cell()
    {
        const qsizetype n = m_text.size();
        while (m_p < n && isBlank(m_text[m_p]))
            ++m_p;
        if (m_p < n && m_text[m_p] == u'"') {
            const qsizetype open = m_p;
            const bool closes = (runEnd(open) - open) % 2 == 0 || m_lastOddRun > open;
            return closes ? quotedCell() : unclosedCell(open);
        }
        return restOfCell();
    }

    // The text up to the next comma or line break, without the blanks at its end.
    QString restOfCell()
    {
        const qsizetype n = m_text.size();
        const qsizetype start = m_p;
        while (m_p < n && m_text[m_p] != u',' && !isBreak(m_text[m_p]))
            ++m_p;
        qsizetype end = m_p;
        while (end > start && isBlank(m_text[end - 1]))
            --end;
        return m_text.sliced(start, end - start).toString();
    }

    QString quotedCell()
    {
        QString cell;
        const qsizetype n = m_text.size();
        ++m_p;
        for (;;) {
            // The reader's first pass made sure a lone quote comes before the end.
            const qsizetype quote = m_text.indexOf(u'"', m_p);
            cell.append(m_text.sliced(m_p, quote - m_p));
            m_p = quote + 1;
            if (m_p < n && m_text[m_p] == u'"') {
                cell.append(u'"');
                ++m_p;
                continue;
            }
            break;
        }
        cell.append(restOfCell());
        return cell;
    }

    // A quote that no later quote closes: reading it to the end of the file would swallow
    // every line after it, so it runs to the end of its line, as earlier versions read it.
    // Its quotes come in pairs, each one quote of the cell.
    QString unclosedCell(qsizetype open)
    {
        const qsizetype start = open + 1;
        m_p = start;
        while (m_p < m_text.size() && !isBreak(m_text[m_p]))
            ++m_p;
        QString cell = m_text.sliced(start, m_p - start).toString();
        cell.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        return cell;
    }

    QStringView m_text;
    qsizetype m_p = 0;
    qsizetype m_lastOddRun = -1;
};

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

QList<QStringList> parseCommaRecords(QStringView text)
{
    QList<QStringList> records;
    RecordReader reader(text);
    while (!reader.atEnd())
        records << reader.record();
    return records;
}

QStringList parseCommaText(QStringView record)
{
    RecordReader reader(record);
    return reader.atEnd() ? QStringList() : reader.record();
}

} // namespace tools
