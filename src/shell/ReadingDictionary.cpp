#include "shell/ReadingDictionary.h"

#include "reading/KanaRules.h"
#include "reading/UserDictionary.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace shell {

TReadingDialog::TReadingDialog(const QString &path, std::function<void()> saved, QWidget *parent)
    : QDialog(parent), m_path(path), m_saved(std::move(saved)), m_word(new QLineEdit(this)),
      m_reading(new QLineEdit(this)), m_alternatives(new QComboBox(this)),
      m_list(new QListWidget(this)), m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("ReadingDialog"));
    setWindowTitle(QStringLiteral("読みを登録"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("語(&W):"), m_word);
    form->addRow(QStringLiteral("読み(&R):"), m_reading);
    m_reading->setToolTip(QStringLiteral("読み上げるとおりに、ひらがなかカタカナで"));
    form->addRow(QStringLiteral("ほかの読み(&O):"), m_alternatives);
    m_alternatives->setToolTip(QStringLiteral("選ぶと読みに入ります"));
    m_alternatives->setEnabled(false);
    connect(m_alternatives, &QComboBox::textActivated, this,
            [this](const QString &chosen) { m_reading->setText(chosen); });
    auto *add = new QPushButton(QStringLiteral("登録(&A)"), this);
    auto *remove = new QPushButton(QStringLiteral("削除(&D)"), this);
    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    add->setDefault(true);
    connect(add, &QPushButton::clicked, this, [this] { registerWord(); });
    connect(remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        const auto entries = m_words.entries();
        if (row >= 0 && row < entries.size()) {
            m_word->setText(entries[row].first);
            m_reading->setText(entries[row].second);
        }
    });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(new QLabel(QStringLiteral("登録した読み:"), this));
    column->addWidget(m_list, 1);
    m_status->setWordWrap(true);
    column->addWidget(m_status);
    column->addLayout(buttons);
    resize(380, 360);
    reload();
}

void TReadingDialog::propose(const QString &word, const QString &readingText,
                             const QStringList &alternatives)
{
    m_word->setText(word);
    m_reading->setText(readingText);
    m_alternatives->clear();
    m_alternatives->addItems(alternatives);
    m_alternatives->setEnabled(!alternatives.isEmpty());
    m_reading->setFocus();
    m_reading->selectAll();
}

QString TReadingDialog::statusText() const
{
    return m_status->text();
}

void TReadingDialog::reload()
{
    const reading::UserDictionary::Loaded loaded = reading::UserDictionary::load(m_path);
    m_words = loaded.words;
    m_list->clear();
    for (const auto &[surface, readingText] : m_words.entries())
        m_list->addItem(surface + QStringLiteral("　→　") + readingText);
    QStringList status{QDir::toNativeSeparators(m_path)};
    if (!loaded.error.isEmpty())
        status << loaded.error;
    status << loaded.problems.mid(0, 5);
    if (loaded.problems.size() > 5)
        status << QStringLiteral("ほか %1 行").arg(loaded.problems.size() - 5);
    m_status->setText(status.join(u'\n'));
}

bool TReadingDialog::saved(const QString &problem)
{
    if (!problem.isEmpty()) {
        m_status->setText(problem);
        return false;
    }
    if (m_saved)
        m_saved();
    return true;
}

bool TReadingDialog::registerWord()
{
    const QString word = m_word->text().trimmed();
    const QString readingText = m_reading->text().trimmed();
    bool kana = !readingText.isEmpty();
    for (QChar c : readingText)
        kana = kana && (reading::isKana(c.unicode()) || c == u'ー');
    if (word.isEmpty() || word.contains(u'\t') || !kana) {
        m_status->setText(QStringLiteral("語と、その読みをかなで入れてください。"));
        return false;
    }
    if (!saved(reading::UserDictionary::put(m_path, word, reading::toHiragana(readingText))))
        return false;
    reload();
    m_status->setText(
        QStringLiteral("「%1」を「%2」と読みます。").arg(word, reading::toHiragana(readingText)));
    return true;
}

bool TReadingDialog::removeSelected()
{
    const auto entries = m_words.entries();
    const int row = m_list->currentRow();
    if (row < 0 || row >= entries.size())
        return false;
    if (!saved(reading::UserDictionary::remove(m_path, entries[row].first)))
        return false;
    reload();
    return true;
}

} // namespace shell
