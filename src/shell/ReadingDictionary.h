#pragma once
// "読みを登録": the poet's own readings, a word and its reading a line, kept in
// readings.tsv in the user's config folder. The speakers read a word listed here as it is
// written here, before any dictionary of the program. A registration changes only the lines
// of its word; the rest of the file stays as the poet wrote it.

#include "reading/Lexicon.h"

#include <QDialog>

#include <functional>

class QComboBox;
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

    // Prefills the word and its reading (the selection and what the engine reads now), and
    // offers the other readings it may have (of a word the engine is not sure of).
    void propose(const QString &word, const QString &reading, const QStringList &alternatives = {});

    QLineEdit *wordEdit() const { return m_word; }
    QLineEdit *readingEdit() const { return m_reading; }
    QComboBox *alternatives() const { return m_alternatives; }
    QListWidget *list() const { return m_list; }
    QString statusText() const;
    // 登録 and 削除, as their buttons do; false when nothing was written (and why is shown).
    bool registerWord();
    bool removeSelected();

private:
    void reload();
    // After a change to the file: true when it was written (`problem` empty), else shows why.
    bool saved(const QString &problem);

    QString m_path;
    std::function<void()> m_saved;
    reading::Lexicon m_words;
    QLineEdit *m_word;
    QLineEdit *m_reading;
    QComboBox *m_alternatives;
    QListWidget *m_list;
    QLabel *m_status;
};

} // namespace shell
