#pragma once
// The candidates for every span of a line and the best path through them, as a morphological
// analyser finds it: each candidate costs its own cost plus the cost of following the one
// before it (a function of their context classes, the dictionary's connection matrix). The
// sources add candidates (MeCab's words, the poet's dictionary, the classical lexicon, a
// candidate for any character); the cheapest path from the line's start to its end is
// its reading; the next cheapest paths with other readings are its alternatives.

#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace reading {

enum class Source : quint8 {
    Dictionary, // MeCab's dictionary
    Unknown,    // a word MeCab made up, without a reading
    Modern,     // MeCab's dictionary, on the line's historical kana brought to today's spelling
    User,       // the poet's dictionary
    Lexicon,    // the classical lexicon compiled in
    Names,      // poetic place names and poets' names
    Character,  // a character with no better candidate: keeps every position reachable
};

struct Candidate
{
    qsizetype begin = 0;
    qsizetype end = 0;
    quint16 left = 0;  // context class on the left
    quint16 right = 0; // on the right
    int cost = 0;
    Source source = Source::Dictionary;
    // MeCab's features of a dictionary word (nullptr for the others).
    const char *feature = nullptr;
    // The reading in hiragana; for MeCab's words filled in only for the words a path takes.
    QString kana;
};

class Lattice
{
public:
    using Connection = std::function<int(quint16 right, quint16 left)>;
    Lattice(qsizetype length, Connection connection);

    qsizetype length() const { return m_length; }
    int add(Candidate c);
    Candidate &at(int i) { return m_candidates[i]; }
    const Candidate &at(int i) const { return m_candidates[i]; }
    int size() const { return int(m_candidates.size()); }
    // Candidates that start (end) at a position.
    const QList<int> &startingAt(qsizetype position) const { return m_byBegin[position]; }
    const QList<int> &endingAt(qsizetype position) const { return m_byEnd[position]; }

    // The cheapest path from the start to the end, as candidate indexes; empty when the
    // candidates leave a gap.
    QList<int> best() const;
    // The cheapest way through [begin, end) over the candidates `use` accepts, starting and
    // ending there: its cost without the connections at its ends, and the context classes
    // it shows outside. found is false when no such way exists.
    struct Way
    {
        bool found = false;
        long long cost = 0;
        quint16 left = 0;
        quint16 right = 0;
    };
    Way cheapestWithin(qsizetype begin, qsizetype end,
                       const std::function<bool(const Candidate &)> &use) const;

    // Up to `count` paths in order of cost whose readings differ (as `readingOf` gives a
    // candidate's reading), each no more than `margin` above the best; the first is the
    // best path. The search stops after `work` steps, so a line with many equal readings
    // costs no more than that.
    struct Path
    {
        QList<int> candidates;
        long long cost = 0;
    };
    QList<Path> nBest(int count, long long margin, int work,
                      const std::function<QString(int)> &readingOf) const;

private:
    // The cheapest cost from the start up to and including each candidate.
    std::vector<long long> forward() const;

    qsizetype m_length;
    Connection m_connection;
    std::vector<Candidate> m_candidates;
    std::vector<QList<int>> m_byBegin;
    std::vector<QList<int>> m_byEnd;
};

} // namespace reading
