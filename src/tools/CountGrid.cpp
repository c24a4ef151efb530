#include "tools/CountGrid.h"

#include "tools/CommaText.h"
#include "tools/Counts.h"

#include "text/FileEncoding.h"
#include "text/SafeFile.h"

#include <QFile>

namespace tools {

int countGridColumns()
{
    return int(countGridHeading().size());
}

void resetCountGrid(StringGridModel &grid, int &rowCounter)
{
    grid.setColumnCount(countGridColumns());
    grid.setRowCountTotal(2);
    grid.setRow(0, countGridHeading());
    grid.setRow(1, {});
    rowCounter = 0;
}

int recordRun(StringGridModel &grid, int &rowCounter, const QString &colorString,
              const QString &countText, const QString &elapsedText)
{
    ++rowCounter;
    grid.setRowCountTotal(rowCounter + 1);
    // The cells are set one by one, not parsed from a comma text: a string such as "秋 風"
    // would otherwise split into two cells and push the count and the time one cell on.
    grid.setRow(rowCounter, runRow(rowCounter, colorString, countText, elapsedText));
    return rowCounter;
}

namespace {

QString gridFileText(QByteArrayView bytes)
{
    return text::decodeText(bytes, text::detectEncoding(bytes));
}

} // namespace

QList<QStringList> gridFileRecords(QByteArrayView bytes)
{
    return parseCommaRecords(gridFileText(bytes));
}

QStringList gridRecordsToSave(const StringGridModel &grid, int rowCounter)
{
    QStringList records;
    const int last = std::min(rowCounter, grid.rowCountTotal() - 1);
    for (int r = 0; r <= last; ++r)
        records << grid.rowCommaText(r);
    return records;
}

GridFileResult loadCountGrid(const QString &path, StringGridModel &grid, int &rowCounter)
{
    GridFileResult result;
    text::FileError problem;
    const std::optional<QByteArray> read = text::readFileBytes(path, &problem);
    if (!read) {
        result.ok = false;
        result.error = problem.message;
        return result;
    }
    const QByteArray &bytes = *read;
    const QList<QStringList> records = gridFileRecords(bytes);
    const int standard = countGridColumns();
    qsizetype widest = standard;
    for (const QStringList &cells : records) {
        if (cells.size() > standard)
            ++result.widerRows;
        widest = std::max(widest, cells.size());
    }
    result.columns = int(widest);
    grid.setColumnCount(result.columns);
    grid.setRowCountTotal(int(std::max<qsizetype>(1, records.size())));
    if (records.isEmpty())
        grid.setRow(0, {});
    for (int i = 0; i < records.size(); ++i)
        grid.setRow(i, records[i]);
    rowCounter = int(std::max<qsizetype>(0, records.size() - 1));
    return result;
}

GridFileResult saveCountGrid(const QString &path, const StringGridModel &grid, int rowCounter)
{
    GridFileResult result;
    QString body;
    for (const QString &record : gridRecordsToSave(grid, rowCounter))
        body += record + QStringLiteral("\r\n");
    text::EncodedText encoded = text::encodeText(body, text::FileEncoding::Cp932);
    if (!encoded.ok()) {
        result.unencodable = encoded.unencodable;
        encoded = text::encodeText(body, text::FileEncoding::Utf8Bom);
    } else if (gridFileText(encoded.bytes) != body) {
        // Code page 932 bytes can happen to be valid UTF-8 ("ﾃｩ" is C3 A9, "é" in UTF-8), and
        // a raw byte kept from a file can pair with the character now after it: such a file
        // would load as other text, so it is written in the encoding that cannot be misread.
        encoded = text::encodeText(body, text::FileEncoding::Utf8Bom);
    }
    if (!encoded.ok()) {
        // Only a lone surrogate (read from a UTF-16 file) defeats UTF-8; UTF-16 holds it.
        encoded = text::encodeText(body, text::FileEncoding::Utf16Le);
    }
    text::FileError problem;
    if (!text::writeFileSafely(path, encoded.bytes, &problem)) {
        result.ok = false;
        result.error = problem.message;
    }
    return result;
}

QString widerRowsMessage(const GridFileResult &loaded)
{
    return QStringLiteral("セルが%1つより多い行が%2行ありました。表を%3列に広げて読み込みました。")
        .arg(countGridColumns())
        .arg(loaded.widerRows)
        .arg(loaded.columns);
}

} // namespace tools
