#pragma once
// "読みを登録": the poet's own readings, a word and its reading a line, kept in
// readings.tsv in the user's config folder. The speakers read a word listed here as it is
// written here, before any dictionary of the program.

#include "reading/Lexicon.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QListWidget;
class QLabel;

namespace shell {

class TReadingDialog final : public QDialog
{
    Q_OBJECT
public:
    // `saved` runs after each change reached the file, so that the speakers read anew.
    TReadingDialog(const QString &path, std::function<void()> saved, QWidget *parent = nullptr);

    // Prefills the word and its reading (the selection and what the engine reads now).
    void propose(const QString &word, const QString &reading);

    QLineEdit *wordEdit() const { return m_word; }
    QLineEdit *readingEdit() const { return m_reading; }
    QListWidget *list() const { return m_list; }
    QString statusText() const;
    // 登録 and 削除, as their buttons do; false when nothing was written (and why is shown).
    bool registerWord();
    bool removeSelected();

private:
    void reload();
    bool save();

    QString m_path;
    std::function<void()> m_saved;
    reading::Lexicon m_words;
    QLineEdit *m_word;
    QLineEdit *m_reading;
    QListWidget *m_list;
    QLabel *m_status;
};

} // namespace shell
