#pragma once
// The replace-all engine: every table-driven conversion is a fixed sequence of rows, each
// replacing every occurrence of a search text, by one fixed text (DoReplaceAll2) or by a
// candidate drawn at random for each occurrence (ManReplaceAll, ManReplaceAll2).
//
// Each row gives the result of the classic scheme "find the first occurrence from the top,
// replace it, start again from the top" without rescanning: one pass over the text per
// row, and a whole table in one pass when its rows are single characters that cannot feed
// one another in any other way than the chaining the table intends (ゃ→や, then や drawn).
//
// Matching is exact (case and width count) and only at character boundaries: never between
// the two halves of a surrogate pair. Text, search texts and replacements are QString;
// matching whole QString characters also means a match can never start inside a
// double-byte character of the code page 932 text the pane was read from.

#include "convert/TextTarget.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace convert {

// True unless `position` falls between a high and a low surrogate.
bool isCharBoundary(QStringView text, qsizetype position);

// The first occurrence of `needle` at or after `from` that starts and ends on character
// boundaries, or -1. An empty needle is never found.
qsizetype indexOfWhole(QStringView text, QStringView needle, qsizetype from = 0,
                       Qt::CaseSensitivity cs = Qt::CaseSensitive);

// A small, fast generator (SplitMix64) with an unbiased draw below n, so that a seed gives
// the same draws on every machine and library.
class RowRandom
{
public:
    explicit RowRandom(quint64 seed) : m_state(seed) {}
    quint64 next();
    // Uniform in 0 .. n-1, n >= 1.
    int below(int n);

private:
    quint64 m_state;
};

struct RowOutcome
{
    TextEdits edits;
    qsizetype replacements = 0;
    // False only when the row was stopped at its limit: a replacement that keeps making
    // new occurrences ("ab" by "bba" doubles the b's for every a in front of them) would
    // otherwise grow the text without bound, or run for a time that grows with the square
    // of its length ("ab" by "ba"). Neither the text nor the count of replacements may pass
    // (1 + ceil(r / m)) * n + 4096, with n the text's length at the start, m the search
    // text's and r the longest replacement's. The edits then hold the replacements made so
    // far, a state the classic scheme passes through.
    bool complete = true;
};

// The edits of one fixed row over `text`. When the replacement contains the search text
// the classic scheme never ends; then each occurrence present at the start is replaced once
// and the inserted text is not searched again. In every other case the result is the
// classic scheme's: replacing "ab" by "a" in "abbb" gives "a", since each replacement
// makes a new occurrence with the b that follows.
RowOutcome replaceAllEdits(QStringView text, QStringView search, QStringView replacement,
                           Qt::CaseSensitivity cs = Qt::CaseSensitive);

// One row of a table.
struct ReplaceRow
{
    QString search;
    // A fixed row has one candidate, its replacement. A drawing row draws each
    // occurrence's replacement uniformly from its candidates; a candidate listed twice is
    // drawn twice as often.
    QStringList candidates;
    bool draw = false;
};
using ReplaceTable = QList<ReplaceRow>;

struct TableOutcome
{
    bool complete = true; // false when a row stopped at its size limit (see RowOutcome)
};

class ReplaceEngine
{
public:
    // Draws are seeded from the high-resolution clock, afresh for every drawing row.
    ReplaceEngine() = default;

    // A fixed seed makes the draws reproducible: the k-th drawing row after setSeed() is
    // seeded from (seed, k), whatever the clock says. clearSeed() goes back to the clock.
    void setSeed(quint64 seed);
    void clearSeed() { m_seed.reset(); }

    // The number N of leading candidates the drawing rows use; the caller sets it before
    // each row. It starts at 0 (no row runs until it is set) and keeps its last value.
    int ManCandidateCount() const { return m_candidateCount; }
    void setManCandidateCount(int n) { m_candidateCount = n; }
    // The counts each routine supports; with any other count a row returns at once.
    static bool isManReplaceAllCount(int n) { return n >= 2 && n <= 10; }
    static bool isManReplaceAll2Count(int n);

    // An empty search text replaces nothing.
    RowOutcome DoReplaceAll2(TextTarget &target, const QString &search, const QString &replacement);
    // `slots` holds up to 10 (ManReplaceAll) or 35 (ManReplaceAll2) candidates, of which the
    // first ManCandidateCount() are drawn from; fewer slots than that skip the row.
    RowOutcome ManReplaceAll(TextTarget &target, const QString &search, const QStringList &slots);
    RowOutcome ManReplaceAll2(TextTarget &target, const QString &search, const QStringList &slots);

    // All rows of a table, in order: a drawing row sets ManCandidateCount() to its number of
    // candidates and goes through ManReplaceAll or ManReplaceAll2 by that number. Runs as
    // one pass and one batch of edits when that is provably the same as the rows one by
    // one (same text, and with a fixed seed the same draws); otherwise row by row.
    TableOutcome runTable(TextTarget &target, const ReplaceTable &table);
    // The rows one by one, always: the reference for runTable().
    TableOutcome runTableRowByRow(TextTarget &target, const ReplaceTable &table);

private:
    quint64 nextRowSeed();
    RowOutcome drawRow(TextTarget &target, const QString &search, const QStringList &slots,
                       bool supported, quint64 seed);
    bool runCompiled(TextTarget &target, const ReplaceTable &table, TableOutcome *outcome);

    std::optional<quint64> m_seed;
    quint64 m_rowCounter = 0;
    int m_candidateCount = 0;
};

} // namespace convert
