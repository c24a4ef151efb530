#include "shell/ReadingDictionary.h"

#include "reading/KanaRules.h"
#include "text/SafeFile.h"

#include <QBoxLayout>
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
      m_reading(new QLineEdit(this)), m_list(new QListWidget(this)), m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("ReadingDialog"));
    setWindowTitle(QStringLiteral("読みを登録"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("語(&W):"), m_word);
    form->addRow(QStringLiteral("読み(&R):"), m_reading);
    m_reading->setToolTip(QStringLiteral("読み上げるとおりに、ひらがなかカタカナで"));
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

void TReadingDialog::propose(const QString &word, const QString &readingText)
{
    m_word->setText(word);
    m_reading->setText(readingText);
    m_reading->setFocus();
    m_reading->selectAll();
}

QString TReadingDialog::statusText() const
{
    return m_status->text();
}

void TReadingDialog::reload()
{
    m_words = reading::Lexicon();
    text::FileError problem;
    if (const auto bytes = text::readFileBytes(m_path, &problem))
        m_words.addTsv(QString::fromUtf8(*bytes));
    m_list->clear();
    for (const auto &[surface, readingText] : m_words.entries())
        m_list->addItem(surface + QStringLiteral("　→　") + readingText);
    m_status->setText(QDir::toNativeSeparators(m_path));
}

bool TReadingDialog::save()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    text::FileError problem;
    if (!text::writeFileSafely(m_path, m_words.toTsv().toUtf8(), &problem)) {
        m_status->setText(QStringLiteral("%1 に保存できません。%2")
                              .arg(QDir::toNativeSeparators(m_path), problem.message));
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
    m_words.add(word, readingText);
    if (!save())
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
    m_words.remove(entries[row].first);
    if (!save())
        return false;
    reload();
    return true;
}

} // namespace shell
