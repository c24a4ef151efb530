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
    void remove(const QString &surface);
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
    // Every entry that starts there, longest first. Only the lengths that entries starting
    // with the same two characters have are tried, so a long entry costs nothing where it
    // cannot start.
    QList<Match> matchesAt(QStringView text, qsizetype position) const;

    // The lexicons compiled in: classical and haiku vocabulary (kigo among it), poetic
    // place names with poets' names and titles.
    static const Lexicon &classical();
    static const Lexicon &names();
    // Words of older prose in the kanji its books give them (其処 そこ, 矢張り やはり), for
    // every line.
    static const Lexicon &oldProse();
    // The reading as spelled in historical kana, for a word of those lexicons: the lexicons
    // read the historical spellings of their words (しろたへ, けふ, あふぎ) as today's, so today's
    // reading of a word they hold leads back to its spelling. `surface` must be such a word
    // with that reading; empty when none is known or more than one spelling leads there.
    static QString historicalSpelling(const QString &surface, const QString &reading);
    // The entry's reading, or empty.
    QString readingOf(const QString &surface) const { return m_entries.value(surface); }

private:
    static quint32 startKey(QChar first, QChar second)
    {
        return first.unicode() << 16 | second.unicode();
    }

    QHash<QString, QString> m_entries;
    // For the first two characters of the entries (the first and 0 for those of one), the
    // lengths of those entries, longest first.
    QHash<quint32, QList<qsizetype>> m_lengths;
};

} // namespace reading
