#pragma once
// The cells of a string grid such as the count grid: grid row 0 is the fixed heading row
// (shown as the view's horizontal header), grid rows 1 to rowCountTotal() - 1 are the data
// rows (model rows 0 ...), and column 0 is the fixed row-number column, not editable.
// QtCore only: the widget TStrSortGrid is a view over it.

#include <QAbstractTableModel>
#include <QByteArray>
#include <QList>
#include <QStringList>

namespace tools {

// The sort key of a cell: its code page 932 bytes with every byte 61-7A made upper case,
// also where it is the second byte of a double-byte character. So "abc" and "ABC" tie, and
// ａ (82 81) sorts as itself while ア (83 41) and ヂ (83 61) tie.
QByteArray gridSortKey(const QString &cell);

class StringGridModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit StringGridModel(int columns = 5, int gridRows = 2, QObject *parent = nullptr);

    // Grid rows, the heading row included; never less than 1.
    int rowCountTotal() const { return int(m_rows.size()); }
    void setRowCountTotal(int gridRows);
    int columns() const { return m_columns; }
    // Cells of new columns start empty; cells of columns taken away are gone.
    void setColumnCount(int columns);

    QString cell(int gridRow, int column) const;
    void setCell(int gridRow, int column, const QString &text);
    QStringList row(int gridRow) const;
    // Cells beyond the column count are dropped (a caller that must keep them grows the
    // columns first), missing ones become empty.
    void setRow(int gridRow, const QStringList &cells);
    // The cells of the first record of a comma text (CommaText.h).
    void setRowCommaText(int gridRow, QStringView text);
    QString rowCommaText(int gridRow) const;

    // Sorts the data rows by the sort key of one column, whole rows moving together:
    // ascending, or its exact reverse when descending. Equal keys keep no particular order.
    void sortRows(int column, bool descending);
    // Moves a data row from one grid row to another (both at least 1).
    void moveGridRow(int from, int to);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int m_columns;
    QList<QStringList> m_rows;
};

} // namespace tools
