#include "tools/widgets/Unit2.h"

#include "tools/CountGrid.h"
#include "tools/StringColoring.h"
#include "tools/widgets/StrSortGrid.h"

#include "widgets/ShineButton.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tools {

namespace {

GridPrompts::FileRequest gridFileRequest(const QString &folder)
{
    return {QStringLiteral("Csv(*.csv)|*.csv|Text(*.txt)|*.txt"), QStringLiteral("Csv"), folder};
}

} // namespace

TForm2::TForm2(GridPrompts prompts, ColoringState &state, QWidget *parent)
    : QWidget(parent, Qt::Window), m_prompts(std::move(prompts)), m_state(state), m_model(5, 2),
      m_grid(new TStrSortGrid(this))
{
    Q_ASSERT(m_prompts.tell && m_prompts.confirm && m_prompts.openFileName &&
             m_prompts.saveFileName);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("count grid"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(520, 300);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *tools = new QWidget(this);
    auto *row = new QHBoxLayout(tools);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    struct ButtonRow
    {
        const char *name;
        QString caption;
        QString hint;
        void (TForm2::*handler)();
    };
    const ButtonRow rows[] = {
        {"ShineSpeedButton1", QStringLiteral("開(&O)"), QStringLiteral("開く"),
         &TForm2::ShineSpeedButton1Click},
        {"ShineSpeedButton2", QStringLiteral("保存(&S)"), QStringLiteral("保存"),
         &TForm2::ShineSpeedButton2Click},
        {"UndoButton", QStringLiteral("元(&Z)"), QStringLiteral("Undo"), &TForm2::UndoButtonClick},
        {"CutButton", QStringLiteral("切(&X)"), QStringLiteral("Cut"), &TForm2::CutButtonClick},
        {"CopyButton", QStringLiteral("写(&C)"), QStringLiteral("Copy"), &TForm2::CopyButtonClick},
        {"PasteButton", QStringLiteral("貼(&V)"), QStringLiteral("Paste"),
         &TForm2::PasteButtonClick},
    };
    for (const ButtonRow &r : rows) {
        auto *b = new widgets::ShineButton(r.caption, tools);
        b->setObjectName(QString::fromLatin1(r.name));
        b->setToolTip(r.hint);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(r.caption) + 12);
        // The editing buttons act on the cell editor, which must keep the focus.
        b->setFocusPolicy(Qt::NoFocus);
        const auto handler = r.handler;
        connect(b, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        row->addWidget(b);
        m_buttons << b;
    }
    row->addStretch(1);
    column->addWidget(tools);
    column->addWidget(m_grid, 1);

    m_grid->setObjectName(QStringLiteral("StrSortGrid1"));
    m_grid->setGridModel(&m_model);
    m_grid->setSortOps(TSortops::soBoth);
    resetCountGrid(m_model, m_state.rowCounter);
}

widgets::ShineButton *TForm2::button(const QString &name) const
{
    for (widgets::ShineButton *b : m_buttons)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

void TForm2::recordRun(const QString &colorString, const QString &countText,
                       const QString &elapsedText)
{
    const int gridRow =
        tools::recordRun(m_model, m_state.rowCounter, colorString, countText, elapsedText);
    m_grid->scrollTo(m_model.index(gridRow - 1, 0), QAbstractItemView::EnsureVisible);
}

bool TForm2::openFile(const QString &path)
{
    const GridFileResult r = loadCountGrid(path, m_model, m_state.rowCounter);
    if (!r.ok) {
        m_prompts.tell(this, GridPrompts::Level::Error, r.error);
        return false;
    }
    setWindowTitle(QFileInfo(path).absoluteFilePath());
    if (r.widerRows > 0)
        m_prompts.tell(this, GridPrompts::Level::Warning, widerRowsMessage(r));
    return true;
}

bool TForm2::saveFile(const QString &path)
{
    const GridFileResult r = saveCountGrid(path, m_model, m_state.rowCounter);
    if (!r.ok) {
        m_prompts.tell(this, GridPrompts::Level::Error, r.error);
        return false;
    }
    return true;
}

void TForm2::ShineSpeedButton1Click()
{
    const std::optional<QString> path = m_prompts.openFileName(this, gridFileRequest(m_folder));
    if (!path)
        return;
    m_folder = QFileInfo(*path).absolutePath();
    openFile(*path);
}

void TForm2::ShineSpeedButton2Click()
{
    const std::optional<QString> path = m_prompts.saveFileName(this, gridFileRequest(m_folder));
    if (!path)
        return;
    m_folder = QFileInfo(*path).absolutePath();
    saveFile(*path);
}

void TForm2::UndoButtonClick()
{
    if (QLineEdit *e = m_grid->cellEditor())
        e->undo();
}

void TForm2::CutButtonClick()
{
    if (QLineEdit *e = m_grid->cellEditor())
        e->cut();
}

void TForm2::CopyButtonClick()
{
    if (QLineEdit *e = m_grid->cellEditor())
        e->copy();
}

void TForm2::PasteButtonClick()
{
    if (QLineEdit *e = m_grid->cellEditor())
        e->paste();
}

void TForm2::closeEvent(QCloseEvent *e)
{
    if (m_prompts.confirm(this, QStringLiteral("確認"),
                          QStringLiteral("現在の内容を廃棄します。よろしいですか")))
        e->accept();
    else
        e->ignore();
}

} // namespace tools
