#include "tools/StringGridModel.h"

#include "tools/CommaText.h"

#include "text/Cp932Codec.h"

#include <algorithm>
#include <numeric>

namespace tools {

QByteArray gridSortKey(const QString &cell)
{
    QByteArray key = text::encodeCp932(cell).bytes;
    for (char &b : key) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x61 && u <= 0x7A)
            b = static_cast<char>(u - 0x20);
    }
    return key;
}

StringGridModel::StringGridModel(int columns, int gridRows, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::max(1, columns))
{
    for (int i = 0; i < std::max(1, gridRows); ++i)
        m_rows.append(QStringList(m_columns, QString()));
}

void StringGridModel::setRowCountTotal(int gridRows)
{
    gridRows = std::max(1, gridRows);
    const int now = rowCountTotal();
    if (gridRows > now) {
        beginInsertRows({}, now - 1, gridRows - 2);
        while (m_rows.size() < gridRows)
            m_rows.append(QStringList(m_columns, QString()));
        endInsertRows();
    } else if (gridRows < now) {
        beginRemoveRows({}, gridRows - 1, now - 2);
        m_rows.resize(gridRows);
        endRemoveRows();
    }
}

void StringGridModel::setColumnCount(int columns)
{
    columns = std::max(1, columns);
    if (columns > m_columns) {
        beginInsertColumns({}, m_columns, columns - 1);
        for (QStringList &r : m_rows)
            r.resize(columns);
        m_columns = columns;
        endInsertColumns();
    } else if (columns < m_columns) {
        beginRemoveColumns({}, columns, m_columns - 1);
        for (QStringList &r : m_rows)
            r.resize(columns);
        m_columns = columns;
        endRemoveColumns();
    }
}

QString StringGridModel::cell(int gridRow, int column) const
{
    if (gridRow < 0 || gridRow >= rowCountTotal() || column < 0 || column >= m_columns)
        return {};
    return m_rows[gridRow][column];
}

void StringGridModel::setCell(int gridRow, int column, const QString &text)
{
    if (gridRow < 0 || gridRow >= rowCountTotal() || column < 0 || column >= m_columns)
        return;
    m_rows[gridRow][column] = text;
    if (gridRow == 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
    else
        Q_EMIT dataChanged(index(gridRow - 1, column), index(gridRow - 1, column));
}

QStringList StringGridModel::row(int gridRow) const
{
    if (gridRow < 0 || gridRow >= rowCountTotal())
        return {};
    return m_rows[gridRow];
}

void StringGridModel::setRow(int gridRow, const QStringList &cells)
{
    if (gridRow < 0 || gridRow >= rowCountTotal())
        return;
    QStringList r = cells.mid(0, m_columns);
    while (r.size() < m_columns)
        r.append(QString());
    m_rows[gridRow] = r;
    if (gridRow == 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
    else
        Q_EMIT dataChanged(index(gridRow - 1, 0), index(gridRow - 1, m_columns - 1));
}

void StringGridModel::setRowCommaText(int gridRow, QStringView text)
{
    setRow(gridRow, parseCommaText(text));
}

QString StringGridModel::rowCommaText(int gridRow) const
{
    return commaText(row(gridRow));
}

void StringGridModel::sortRows(int column, bool descending)
{
    if (column < 0 || column >= m_columns || rowCountTotal() < 3)
        return;
    Q_EMIT layoutAboutToBeChanged();
    QList<QByteArray> keys;
    keys.reserve(rowCountTotal() - 1);
    for (int r = 1; r < rowCountTotal(); ++r)
        keys.append(gridSortKey(m_rows[r][column]));
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    // QByteArray compares as unsigned bytes, which is the code page's byte order.
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[a] < keys[b]; });
    if (descending)
        std::reverse(order.begin(), order.end());
    QList<QStringList> sorted{m_rows.front()};
    for (int i : order)
        sorted.append(m_rows[i + 1]);
    m_rows = sorted;
    Q_EMIT layoutChanged();
}

void StringGridModel::moveGridRow(int from, int to)
{
    if (from < 1 || to < 1 || from >= rowCountTotal() || to >= rowCountTotal() || from == to)
        return;
    Q_EMIT layoutAboutToBeChanged();
    m_rows.move(from, to);
    Q_EMIT layoutChanged();
}

int StringGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rowCountTotal() - 1;
}

int StringGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant StringGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cell(index.row() + 1, index.column());
}

bool StringGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() == 0)
        return false;
    setCell(index.row() + 1, index.column(), value.toString());
    return true;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return cell(0, section);
    return QString();
}

} // namespace tools
