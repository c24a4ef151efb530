#pragma once
// Word -> reading pairs: the classical lexicon compiled into the program and the poet's own
// dictionary (readings.tsv), both looked up longest match first.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace reading {

class Lexicon
{
public:
    // Lines "surface<TAB>reading[<TAB>...]"; lines starting with # and lines without a
    // reading are skipped. Readings are kept in hiragana.
    void addTsv(QStringView tsv);
    void add(const QString &surface, const QString &reading);
    void remove(const QString &surface) { m_entries.remove(surface); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // Every entry, sorted by surface; and the same as the file holds it.
    QList<std::pair<QString, QString>> entries() const;
    QString toTsv() const;
    qsizetype size() const { return m_entries.size(); }

    struct Match
    {
        qsizetype length = 0; // 0: nothing matched
        QString reading;
    };
    // The longest entry that starts at `position`.
    Match longestAt(QStringView text, qsizetype position) const;

    // The lexicons compiled in: classical and haiku vocabulary (kigo among it), poetic
    // place names with poets' names and titles, and one reading for each kanji, for a kanji
    // nothing else reads.
    static const Lexicon &classical();
    static const Lexicon &names();
    static const Lexicon &kanji();

private:
    QHash<QString, QString> m_entries;
    qsizetype m_longest = 0;
};

} // namespace reading
