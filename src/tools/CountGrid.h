#pragma once
// The count grid's rows and files: recording a colouring run, and reading and writing the
// comma-separated file (one record per grid row from the heading to the row counter, each
// ended by CR LF; a cell holding a line break is quoted, so a record may span lines).
//
// The row counter is the grid row of the last data row; it belongs to the main window and
// outlives the grid window, so these functions take it by reference.

#include "tools/StringGridModel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace tools {

// The columns of the count grid: the row number, the string, the count, the time and a
// remark, as its heading row names them.
int countGridColumns();

// The fresh grid of "起": its five columns, the heading row and one empty data row; the row
// counter is 0.
void resetCountGrid(StringGridModel &grid, int &rowCounter);

// "書記" with the grid open: the next row counter, the grid grown to hold it, and that row's
// cells set from runRow(). Returns the new row's grid row.
int recordRun(StringGridModel &grid, int &rowCounter, const QString &colorString,
              const QString &countText, const QString &elapsedText);

// The records of a file, read as comma text (CommaText.h): code page 932 (or UTF-8, when
// the bytes are valid UTF-8 with multi-byte characters). "a\r\nb\r\n" is {{"a"}, {"b"}};
// "" is {}.
QList<QStringList> gridFileRecords(QByteArrayView bytes);

// The comma text of rows 0 to rowCounter of the grid, one entry a record; rows below the
// counter (added by hand) are left out.
QStringList gridRecordsToSave(const StringGridModel &grid, int rowCounter);

struct GridFileResult
{
    bool ok = true;
    QString error; // the system's message when the file could not be read or written
    // Set when the rows hold characters code page 932 cannot hold: the file is then written
    // as UTF-8 with a byte-order mark (which reading recognises) rather than losing them.
    // Rows whose code page 932 bytes would load as other text (bytes that also read as
    // UTF-8) are written so too, with nothing listed here.
    QList<char32_t> unencodable;
    // Loading: the records with more cells than the grid's five columns. The grid then
    // grows to `columns`, enough for the widest, so that every cell shows and the next save
    // writes it back; the window warns with widerRowsMessage().
    int widerRows = 0;
    int columns = 0;
};

// Each record of the file becomes one grid row; the grid ends with as many rows as the file
// has records (one, the heading, at least) and the row counter is the last row read. The
// grid has five columns, or as many as the widest record. Unreadable file: the grid and the
// counter are left as they were.
GridFileResult loadCountGrid(const QString &path, StringGridModel &grid, int &rowCounter);
GridFileResult saveCountGrid(const QString &path, const StringGridModel &grid, int rowCounter);

// "セルが5つより多い行が2行ありました。表を7列に広げて読み込みました。"
QString widerRowsMessage(const GridFileResult &loaded);

} // namespace tools
