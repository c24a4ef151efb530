#pragma once
// The count grid's rows and files: recording a colouring run, and reading and writing the
// comma-separated file (one line per grid row from the heading to the row counter, CR LF).
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

// The fresh grid of "起": the heading row and one empty data row; the row counter is 0.
void resetCountGrid(StringGridModel &grid, int &rowCounter);

// "書記" with the grid open: the next row counter, the grid grown to hold it, and that row's
// cells set from runRow(). Returns the new row's grid row.
int recordRun(StringGridModel &grid, int &rowCounter, const QString &colorString,
              const QString &countText, const QString &elapsedText);

// The lines of a file: code page 932 (or UTF-8, when the bytes are valid UTF-8 with
// multi-byte characters); breaks are CR LF, LF or CR, and a final break ends the last line
// rather than starting an empty one. "a\r\nb\r\n" is {"a", "b"}; "" is {}.
QStringList gridFileLines(QByteArrayView bytes);

// Rows 0 to rowCounter of the grid; rows below the counter (added by hand) are left out.
QStringList gridLinesToSave(const StringGridModel &grid, int rowCounter);

struct GridFileResult
{
    bool ok = true;
    QString error; // the system's message when the file could not be read or written
    // Set when the rows hold characters code page 932 cannot hold: the file is then written
    // as UTF-8 with a byte-order mark (which reading recognises) rather than losing them.
    // Rows whose code page 932 bytes would load as other text (bytes that also read as
    // UTF-8) are written so too, with nothing listed here.
    QList<char32_t> unencodable;
};

// Each line of the file becomes one grid row, split as comma text; the grid ends with as
// many rows as the file has lines (one, the heading, at least) and the row counter is the
// last row read. Unreadable file: the grid and the counter are left as they were.
GridFileResult loadCountGrid(const QString &path, StringGridModel &grid, int &rowCounter);
GridFileResult saveCountGrid(const QString &path, const StringGridModel &grid, int rowCounter);

} // namespace tools
