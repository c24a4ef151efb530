#include "tools/CountGrid.h"

#include "tools/Counts.h"

#include "text/FileEncoding.h"
#include "text/TextMetrics.h"

#include <QFile>
#include <QSaveFile>

namespace tools {

void resetCountGrid(StringGridModel &grid, int &rowCounter)
{
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

QStringList gridFileLines(QByteArrayView bytes)
{
    const QString all = gridFileText(bytes);
    if (all.isEmpty())
        return {};
    QStringList lines = text::splitLines(all);
    if (all.endsWith(u'\n') || all.endsWith(u'\r'))
        lines.removeLast();
    return lines;
}

QStringList gridLinesToSave(const StringGridModel &grid, int rowCounter)
{
    QStringList lines;
    const int last = std::min(rowCounter, grid.rowCountTotal() - 1);
    for (int r = 0; r <= last; ++r)
        lines << grid.rowCommaText(r);
    return lines;
}

GridFileResult loadCountGrid(const QString &path, StringGridModel &grid, int &rowCounter)
{
    GridFileResult result;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        result.ok = false;
        result.error = f.errorString();
        return result;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        result.ok = false;
        result.error = f.errorString();
        return result;
    }
    const QStringList lines = gridFileLines(bytes);
    grid.setRowCountTotal(int(std::max<qsizetype>(1, lines.size())));
    if (lines.isEmpty())
        grid.setRow(0, {});
    for (int i = 0; i < lines.size(); ++i)
        grid.setRowCommaText(i, lines[i]);
    rowCounter = int(std::max<qsizetype>(0, lines.size() - 1));
    return result;
}

GridFileResult saveCountGrid(const QString &path, const StringGridModel &grid, int rowCounter)
{
    GridFileResult result;
    QString body;
    for (const QString &line : gridLinesToSave(grid, rowCounter))
        body += line + QStringLiteral("\r\n");
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
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(encoded.bytes) != encoded.bytes.size() ||
        !f.commit()) {
        result.ok = false;
        result.error = f.errorString();
    }
    return result;
}

} // namespace tools
