// The count grid's file reader on a file of any bytes.
//
// Loading never fails on a readable file and makes one row per record (one at least) with
// the row counter on the last, and columns enough for the widest record; the grid saved and
// loaded again is the same grid, whichever encoding the save chose.

#include "FuzzSupport.h"

#include "tools/CountGrid.h"
#include "tools/StringGridModel.h"

using fuzz::require;

namespace {

bool sameRows(const tools::StringGridModel &a, const tools::StringGridModel &b)
{
    if (a.rowCountTotal() != b.rowCountTotal() || a.columns() != b.columns())
        return false;
    for (int r = 0; r < a.rowCountTotal(); ++r) {
        if (a.row(r) != b.row(r))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = fuzz::scratchPath("grid.csv");
    static const QString savedPath = fuzz::scratchPath("saved.csv");
    fuzz::putFile(path, data, size);

    tools::StringGridModel grid;
    int rowCounter = -1;
    const tools::GridFileResult loaded = tools::loadCountGrid(path, grid, rowCounter);
    require(loaded.ok, "a readable file loads");
    const QList<QStringList> records =
        tools::gridFileRecords(QByteArrayView(data, qsizetype(size)));
    require(grid.rowCountTotal() == std::max<qsizetype>(1, records.size()),
            "one grid row per record");
    require(rowCounter == grid.rowCountTotal() - 1, "the row counter is on the last row");
    for (int r = 0; r < records.size(); ++r) {
        require(records[r].size() <= grid.columns(), "no cell is dropped");
        require(grid.row(r).mid(0, records[r].size()) == records[r], "cells load as read");
    }
    require(tools::gridRecordsToSave(grid, rowCounter).size() == grid.rowCountTotal(),
            "every loaded row is saved");

    const tools::GridFileResult saved = tools::saveCountGrid(savedPath, grid, rowCounter);
    require(saved.ok, "the grid saves");
    tools::StringGridModel again;
    int againCounter = -1;
    require(tools::loadCountGrid(savedPath, again, againCounter).ok, "the saved file loads");
    require(againCounter == rowCounter, "the saved file has as many rows");
    require(sameRows(grid, again), "a saved grid loads as the same grid");
    return 0;
}
