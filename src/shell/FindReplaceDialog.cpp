#include "shell/FindReplaceDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace shell {

FindReplaceDialog::FindReplaceDialog(Kind kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    const bool replacing = kind == Kind::Replace;
    setWindowTitle(replacing ? QStringLiteral("置換") : QStringLiteral("検索"));
    setModal(false);

    m_find = new QLineEdit(this);
    auto *fields = new QFormLayout;
    auto *findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
    findLabel->setBuddy(m_find);
    fields->addRow(findLabel, m_find);
    if (replacing) {
        m_replace = new QLineEdit(this);
        auto *replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"), this);
        replaceLabel->setBuddy(m_replace);
        fields->addRow(replaceLabel, m_replace);
    }

    m_matchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
    m_matchCase->setChecked(true);
    m_direction = new QGroupBox(QStringLiteral("方向"), this);
    m_up = new QRadioButton(QStringLiteral("上へ(&U)"), m_direction);
    m_down = new QRadioButton(QStringLiteral("下へ(&D)"), m_direction);
    m_down->setChecked(true);
    auto *directionLayout = new QHBoxLayout(m_direction);
    directionLayout->addWidget(m_up);
    directionLayout->addWidget(m_down);
    auto *options = new QHBoxLayout;
    options->addWidget(m_matchCase);
    options->addStretch();
    options->addWidget(m_direction);

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();

    m_findNext = new QPushButton(QStringLiteral("次を検索(&F)"), this);
    m_findNext->setDefault(true);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    if (replacing) {
        m_replaceOne = new QPushButton(QStringLiteral("置換(&R)"), this);
        m_replaceAll = new QPushButton(QStringLiteral("すべて置換(&A)"), this);
        buttons->addWidget(m_replaceOne);
        buttons->addWidget(m_replaceAll);
        // A replace dialog searches the whole text; it has no direction to choose.
        m_direction->hide();
    }
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    buttons->addWidget(m_cancel);
    buttons->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_findNext, &QPushButton::clicked, this, &FindReplaceDialog::findNextRequested);
    if (replacing) {
        connect(m_replaceOne, &QPushButton::clicked, this, &FindReplaceDialog::replaceRequested);
        connect(m_replaceAll, &QPushButton::clicked, this, &FindReplaceDialog::replaceAllRequested);
    }
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, &FindReplaceDialog::cancelled);
}

QString FindReplaceDialog::findText() const
{
    return m_find->text();
}

void FindReplaceDialog::setFindText(const QString &text)
{
    m_find->setText(text);
}

QString FindReplaceDialog::replaceText() const
{
    return m_replace ? m_replace->text() : QString();
}

void FindReplaceDialog::setReplaceText(const QString &text)
{
    if (m_replace)
        m_replace->setText(text);
}

bool FindReplaceDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

void FindReplaceDialog::setMatchCase(bool on)
{
    m_matchCase->setChecked(on);
}

bool FindReplaceDialog::searchDown() const
{
    return m_down->isChecked();
}

void FindReplaceDialog::setSearchDown(bool down)
{
    (down ? m_down : m_up)->setChecked(true);
}

void FindReplaceDialog::setMatchCaseVisible(bool visible)
{
    m_matchCase->setVisible(visible);
}

void FindReplaceDialog::setDirectionVisible(bool visible)
{
    m_direction->setVisible(visible);
}

void FindReplaceDialog::setDirectionEnabled(bool enabled)
{
    m_direction->setEnabled(enabled);
}

void FindReplaceDialog::showModeless()
{
    show();
    raise();
    activateWindow();
    m_find->setFocus();
    m_find->selectAll();
}

} // namespace shell
