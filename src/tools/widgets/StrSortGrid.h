#pragma once
// TStrSortGrid: a string grid that sorts its data rows when a heading cell is pressed and
// marks the sorted column's heading with an arrow. The cells live in a
// tools::StringGridModel: grid row 0 is the horizontal header (fixed, stays in view when
// scrolling), column 0 the fixed row-number column.

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

namespace tools {

class StringGridModel;

enum class TSortops { soBoth, soUponly, soDownOnly, soNon };

class TStrSortGrid;

// The heading row: draws the sorted column's heading in the fixed colour with its arrow.
class SortHeader final : public QHeaderView
{
    Q_OBJECT
public:
    explicit SortHeader(TStrSortGrid *grid);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    TStrSortGrid *m_grid;
};

// Paints the fixed column in the fixed colour and remembers the editor of the cell being
// edited, which the window's editing buttons act on.
class GridCellDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QLineEdit *editor() const { return m_editor; }

private:
    mutable QPointer<QLineEdit> m_editor;
};

class TStrSortGrid final : public QTableView
{
    Q_OBJECT
public:
    explicit TStrSortGrid(QWidget *parent = nullptr);

    void setGridModel(StringGridModel *model);
    StringGridModel *gridModel() const { return m_model; }

    TSortops SortOps() const { return m_sortOps; }
    void setSortOps(TSortops ops) { m_sortOps = ops; }
    // Gap in pixels between a heading's text and its sort arrow.
    int Spacing() const { return m_spacing; }
    void setSpacing(int pixels);

    // A press on the heading cell of a column, as a mouse press on the heading row does:
    // that column becomes the sorted one and the data rows are sorted by it. The first
    // press on a fresh grid with soBoth sorts descending, the next ascending.
    void headingPressed(int column);

    bool sortMade() const { return m_sorted; }
    int sortedColumn() const { return m_sortColumn; }
    bool ascending() const { return m_ascending; }
    QString sortedHeading() const { return m_sortHeading; }

    // The editor of the cell being edited, or null.
    QLineEdit *cellEditor() const;
    QColor fixedColor() const;

private:
    void rowSectionMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex);

    StringGridModel *m_model = nullptr;
    SortHeader *m_header;
    GridCellDelegate *m_delegate;
    TSortops m_sortOps = TSortops::soBoth;
    int m_spacing = 10;
    int m_sortColumn = 0;
    bool m_sorted = false;
    bool m_ascending = true;
    QString m_sortHeading;
    bool m_undoingMove = false;
};

} // namespace tools
