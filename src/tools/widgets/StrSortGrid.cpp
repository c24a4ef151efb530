#include "tools/widgets/StrSortGrid.h"

#include "tools/StringGridModel.h"

#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

static void initToolsWidgetsQrc()
{
    Q_INIT_RESOURCE(toolswidgets);
}

namespace tools {

namespace {

const QPixmap &arrow(bool up)
{
    static const bool registered = (initToolsWidgetsQrc(), true);
    (void)registered;
    static const QPixmap upImage(QStringLiteral(":/toolswidgets/BBUP.xpm"));
    static const QPixmap downImage(QStringLiteral(":/toolswidgets/BBDOWN.xpm"));
    return up ? upImage : downImage;
}

} // namespace

SortHeader::SortHeader(TStrSortGrid *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
{
    setSectionsClickable(true);
    setHighlightSections(false);
}

void SortHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // The base class leaves the painter clipped to nothing; keep its state around it.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (!m_grid->sortMade() || logicalIndex != m_grid->sortedColumn() ||
        m_grid->sortedHeading().isEmpty())
        return;
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect.adjusted(1, 1, -1, -1), m_grid->fixedColor());
    painter->setPen(palette().color(QPalette::ButtonText));
    const QFontMetrics fm(font());
    const QString heading = m_grid->sortedHeading();
    painter->drawText(rect.left() + 1, rect.top() + 2 + fm.ascent(), heading);
    const QPixmap &image = arrow(m_grid->ascending());
    const int x = rect.left() + 1 + fm.horizontalAdvance(heading) + m_grid->Spacing() + 1;
    painter->drawPixmap(x, rect.top() + (rect.height() - image.height()) / 2, image);
    painter->restore();
}

QWidget *GridCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *w = QStyledItemDelegate::createEditor(parent, option, index);
    m_editor = qobject_cast<QLineEdit *>(w);
    return w;
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    if (index.column() == 0)
        painter->fillRect(option.rect, option.palette.color(QPalette::Button));
    QStyledItemDelegate::paint(painter, option, index);
}

TStrSortGrid::TStrSortGrid(QWidget *parent)
    : QTableView(parent), m_header(new SortHeader(this)), m_delegate(new GridCellDelegate(this))
{
    setHorizontalHeader(m_header);
    setItemDelegate(m_delegate);
    m_header->setDefaultSectionSize(95);
    m_header->setMinimumSectionSize(8);
    m_header->setFixedHeight(21);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setDefaultSectionSize(21);
    verticalHeader()->setMinimumSectionSize(6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The narrow row handles at the left drag a row to another place.
    verticalHeader()->setSectionsMovable(true);
    verticalHeader()->setFixedWidth(10);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    connect(m_header, &QHeaderView::sectionPressed, this,
            [this](int column) { headingPressed(column); });
    connect(verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int logical, int from, int to) { rowSectionMoved(logical, from, to); });
}

void TStrSortGrid::setGridModel(StringGridModel *model)
{
    m_model = model;
    setModel(model);
}

void TStrSortGrid::setSpacing(int pixels)
{
    m_spacing = pixels;
    m_header->viewport()->update();
}

void TStrSortGrid::headingPressed(int column)
{
    if (m_sortOps == TSortops::soNon || !m_model)
        return;
    m_sortColumn = column;
    m_sortHeading = m_model->cell(0, column);
    switch (m_sortOps) {
    case TSortops::soUponly:
        m_ascending = true;
        break;
    case TSortops::soDownOnly:
        m_ascending = false;
        break;
    default:
        m_ascending = !m_ascending;
        break;
    }
    m_sorted = true;
    m_model->sortRows(column, !m_ascending);
    m_header->viewport()->update();
}

QLineEdit *TStrSortGrid::cellEditor() const
{
    QLineEdit *e = m_delegate->editor();
    return e && state() == QAbstractItemView::EditingState ? e : nullptr;
}

QColor TStrSortGrid::fixedColor() const
{
    return palette().color(QPalette::Button);
}

void TStrSortGrid::rowSectionMoved(int, int oldVisualIndex, int newVisualIndex)
{
    if (m_undoingMove || !m_model)
        return;
    // The header only reorders what it shows; the rows themselves move in the model, and
    // the header goes back to showing them in order, so row k is always grid row k + 1.
    m_undoingMove = true;
    verticalHeader()->moveSection(newVisualIndex, oldVisualIndex);
    m_undoingMove = false;
    m_model->moveGridRow(oldVisualIndex + 1, newVisualIndex + 1);
}

} // namespace tools
