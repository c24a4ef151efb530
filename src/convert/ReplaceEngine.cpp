#include "convert/ReplaceEngine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

namespace convert {

namespace {

quint64 splitMix(quint64 &state)
{
    quint64 z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Adds `replacement` for [position, position + length), merged into the previous edit when
// the two touch: converting a line of kana sends the pane one edit for the line.
void addEdit(TextEdits &edits, qsizetype position, qsizetype length, QStringView replacement)
{
    if (!edits.isEmpty()) {
        TextEdit &last = edits.last();
        if (last.position + last.length == position) {
            last.length += length;
            last.replacement.append(replacement);
            return;
        }
    }
    edits.append(TextEdit{position, length, replacement.toString()});
}

bool containsWhole(QStringView text, QStringView needle, Qt::CaseSensitivity cs)
{
    return indexOfWhole(text, needle, 0, cs) >= 0;
}

// Each occurrence in the text as it stands is replaced once, left to right.
template <typename Next>
RowOutcome replaceOnePass(QStringView text, QStringView search, Qt::CaseSensitivity cs, Next next)
{
    RowOutcome out;
    for (qsizetype p = indexOfWhole(text, search, 0, cs); p >= 0;
         p = indexOfWhole(text, search, p + search.size(), cs)) {
        addEdit(out.edits, p, search.size(), next());
        ++out.replacements;
    }
    return out;
}

// The bound of a row that restarts from the top: neither the text nor the number of
// replacements may pass (1 + ceil(r / m)) * n + 4096, where n is the length of the text at
// the start, m that of the search text and r that of the longest replacement. Replacing
// every occurrence present at the start once gives at most n * r / m characters in n / m
// replacements, and a chain that shrinks the text makes at most n replacements: both stay
// inside it, and the margin lets a short text finish a chain that grows and then ends
// ("ba" by "aaab" makes "bbbabbbaabb" some 1 400 characters long).
// A row whose replacements keep making new occurrences ("ab" by "bba" doubles the b's for
// every a in front of them; "ab" by "ba" moves each a past every b, a number of
// replacements that grows with the square of the length) reaches the bound after work
// proportional to the length of the text. The margin stays small because such results are
// long lines without a break opportunity, which the pane lays out in a time that grows
// with the square of their length (a million b's took minutes).
qsizetype restartLimit(qsizetype textSize, qsizetype searchSize, qsizetype longestReplacement)
{
    const qsizetype ratio = (longestReplacement + searchSize - 1) / searchSize;
    return (1 + ratio) * textSize + 4096;
}

// The classic scheme, replayed without rescanning. `kept` holds the text before the next
// unread character and never contains a whole occurrence, so an occurrence that ends at
// the character just read is the first in the whole text. After replacing it, the last
// search.size() - 1 kept characters and the replacement are read again, which is where the
// classic scheme's next occurrence may begin. Each kept character remembers where it stood
// in the original text, so that the edits come out as runs between untouched characters.
template <typename Next>
RowOutcome replaceRestarting(QStringView text, QStringView search, Qt::CaseSensitivity cs,
                             qsizetype longestReplacement, Next next)
{
    struct Unit
    {
        QChar c;
        qsizetype origin; // index in `text`, or -1 for inserted text
    };
    const qsizetype n = text.size();
    const qsizetype m = search.size();
    const qsizetype limit = restartLimit(n, m, longestReplacement);
    RowOutcome out;
    QString kept;
    std::vector<qsizetype> keptOrigin;
    std::vector<Unit> unread; // read from the back, before text[i]
    qsizetype i = 0;
    const auto peek = [&]() -> QChar {
        if (!unread.empty())
            return unread.back().c;
        return i < n ? text[i] : QChar();
    };
    for (;;) {
        Unit u;
        if (!unread.empty()) {
            u = unread.back();
            unread.pop_back();
        } else if (i < n) {
            u = Unit{text[i], i};
            ++i;
        } else {
            break;
        }
        kept.append(u.c);
        keptOrigin.push_back(u.origin);
        const qsizetype start = kept.size() - m;
        if (start < 0 || QStringView(kept).sliced(start).compare(search, cs) != 0)
            continue;
        if (!isCharBoundary(kept, start) ||
            (kept.back().isHighSurrogate() && peek().isLowSurrogate()))
            continue;
        const QString replacement = next();
        const qsizetype sizeNow = kept.size() + qsizetype(unread.size()) + (n - i);
        if (out.replacements == limit || sizeNow - m + replacement.size() > limit) {
            out.complete = false;
            break;
        }
        ++out.replacements;
        kept.truncate(start);
        keptOrigin.resize(std::size_t(start));
        for (qsizetype k = replacement.size() - 1; k >= 0; --k)
            unread.push_back(Unit{replacement[k], -1});
        const qsizetype back = std::min<qsizetype>(m - 1, kept.size());
        for (qsizetype k = 0; k < back; ++k) {
            unread.push_back(Unit{kept.back(), keptOrigin.back()});
            kept.chop(1);
            keptOrigin.pop_back();
        }
    }
    // The text now is kept + unread (back first) + text[i..]; turn it into edits of `text`.
    qsizetype previous = -1; // origin of the last untouched character
    QString inserted;
    const auto visit = [&](QChar c, qsizetype origin) {
        if (origin < 0) {
            inserted.append(c);
            return;
        }
        if (origin != previous + 1 || !inserted.isEmpty()) {
            out.edits.append(TextEdit{previous + 1, origin - previous - 1, inserted});
            inserted.clear();
        }
        previous = origin;
    };
    for (qsizetype k = 0; k < kept.size(); ++k)
        visit(kept[k], keptOrigin[std::size_t(k)]);
    for (auto it = unread.rbegin(); it != unread.rend(); ++it)
        visit(it->c, it->origin);
    if (i < n) {
        visit(text[i], i);
        previous = n - 1; // the rest is untouched
    }
    if (previous + 1 != n || !inserted.isEmpty())
        out.edits.append(TextEdit{previous + 1, n - previous - 1, inserted});
    return out;
}

// `anyContains`: some replacement the row can insert contains the search text, so the
// classic scheme would never end.
template <typename Next>
RowOutcome replaceRow(QStringView text, QStringView search, bool anyContains,
                      qsizetype longestReplacement, Qt::CaseSensitivity cs, Next next)
{
    if (search.isEmpty())
        return {};
    // A single character that is not half of a pair can only reappear inside a
    // replacement, so one pass is the classic result.
    const bool single = search.size() == 1 && !search[0].isSurrogate() &&
                        (cs == Qt::CaseSensitive || search[0].toLower() == search[0].toUpper());
    if (anyContains || single)
        return replaceOnePass(text, search, cs, next);
    return replaceRestarting(text, search, cs, longestReplacement, next);
}

quint64 clockSeed()
{
    // Rows run within one clock tick must not repeat each other's draws: the counter
    // separates them, the clock separates runs of the program.
    static std::atomic<quint64> calls{0};
    quint64 state = quint64(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    state ^= calls.fetch_add(1) * 0xD1B54A32D192ED03ULL;
    return splitMix(state);
}

} // namespace

bool isCharBoundary(QStringView text, qsizetype position)
{
    return position <= 0 || position >= text.size() ||
           !(text[position - 1].isHighSurrogate() && text[position].isLowSurrogate());
}

qsizetype indexOfWhole(QStringView text, QStringView needle, qsizetype from, Qt::CaseSensitivity cs)
{
    if (needle.isEmpty())
        return -1;
    for (qsizetype p = text.indexOf(needle, from, cs); p >= 0;
         p = text.indexOf(needle, p + 1, cs)) {
        if (isCharBoundary(text, p) && isCharBoundary(text, p + needle.size()))
            return p;
    }
    return -1;
}

quint64 RowRandom::next()
{
    return splitMix(m_state);
}

int RowRandom::below(int n)
{
    Q_ASSERT(n >= 1);
    // Rejecting the lowest (2^64 mod n) values leaves a whole number of full cycles.
    const quint64 range = quint64(n);
    const quint64 threshold = (0 - range) % range;
    for (;;) {
        const quint64 r = next();
        if (r >= threshold)
            return int(r % range);
    }
}

RowOutcome replaceAllEdits(QStringView text, QStringView search, QStringView replacement,
                           Qt::CaseSensitivity cs)
{
    return replaceRow(text, search, containsWhole(replacement, search, cs), replacement.size(), cs,
                      [&] { return replacement.toString(); });
}

bool ReplaceEngine::isManReplaceAll2Count(int n)
{
    return (n >= 11 && n <= 21) || n == 26 || n == 29 || n == 32 || n == 33 || n == 35;
}

void ReplaceEngine::setSeed(quint64 seed)
{
    m_seed = seed;
    m_rowCounter = 0;
}

quint64 ReplaceEngine::nextRowSeed()
{
    if (!m_seed)
        return clockSeed();
    quint64 state = *m_seed ^ (++m_rowCounter * 0xA0761D6478BD642FULL);
    return splitMix(state);
}

RowOutcome ReplaceEngine::DoReplaceAll2(TextTarget &target, const QString &search,
                                        const QString &replacement)
{
    if (search.isEmpty())
        return {};
    const QString text = target.text();
    RowOutcome out = replaceAllEdits(text, search, replacement);
    target.applyEdits(out.edits);
    return out;
}

RowOutcome ReplaceEngine::drawRow(TextTarget &target, const QString &search,
                                  const QStringList &slots, bool supported, quint64 seed)
{
    const int n = m_candidateCount;
    if (!supported || slots.size() < n || search.isEmpty())
        return {};
    const QStringList candidates = slots.mid(0, n);
    bool anyContains = false;
    qsizetype longest = 0;
    for (const QString &c : candidates) {
        anyContains = anyContains || containsWhole(c, search, Qt::CaseSensitive);
        longest = std::max(longest, c.size());
    }
    RowRandom random(seed);
    const QString text = target.text();
    RowOutcome out = replaceRow(text, search, anyContains, longest, Qt::CaseSensitive,
                                [&] { return candidates[random.below(n)]; });
    target.applyEdits(out.edits);
    return out;
}

RowOutcome ReplaceEngine::ManReplaceAll(TextTarget &target, const QString &search,
                                        const QStringList &slots)
{
    const quint64 seed = nextRowSeed(); // once per call, supported or not
    return drawRow(target, search, slots, isManReplaceAllCount(m_candidateCount), seed);
}

RowOutcome ReplaceEngine::ManReplaceAll2(TextTarget &target, const QString &search,
                                         const QStringList &slots)
{
    const quint64 seed = nextRowSeed();
    return drawRow(target, search, slots, isManReplaceAll2Count(m_candidateCount), seed);
}

TableOutcome ReplaceEngine::runTableRowByRow(TextTarget &target, const ReplaceTable &table)
{
    EditScope scope(target);
    TableOutcome total;
    for (const ReplaceRow &row : table) {
        RowOutcome r;
        if (!row.draw) {
            r = DoReplaceAll2(target, row.search, row.candidates.value(0));
        } else {
            setManCandidateCount(int(row.candidates.size()));
            r = row.candidates.size() <= 10 ? ManReplaceAll(target, row.search, row.candidates)
                                            : ManReplaceAll2(target, row.search, row.candidates);
        }
        total.complete = total.complete && r.complete;
    }
    return total;
}

// One pass for a table whose search texts are single characters (not surrogate halves),
// whose fixed replacements are single characters too, and whose drawn candidates hold no
// character a later row searches. Then every character of the text goes its own way
// through the rows: ゃ becomes や at a fixed row and is drawn at the row of や, and a
// character's draw comes from that row's generator in text order, exactly as the row
// would have drawn it.
bool ReplaceEngine::runCompiled(TextTarget &target, const ReplaceTable &table,
                                TableOutcome *outcome)
{
    const auto isPlainUnit = [](const QString &s) { return s.size() == 1 && !s[0].isSurrogate(); };
    std::vector<bool> searchedLater(0x10000, false);
    for (qsizetype r = table.size() - 1; r >= 0; --r) {
        const ReplaceRow &row = table[r];
        if (!isPlainUnit(row.search) || row.candidates.isEmpty())
            return false;
        if (!row.draw && !isPlainUnit(row.candidates[0]))
            return false;
        if (row.draw) {
            for (const QString &c : row.candidates)
                for (QChar ch : c)
                    if (searchedLater[ch.unicode()])
                        return false;
        }
        searchedLater[row.search[0].unicode()] = true;
    }

    // Seeds and counts in the order the rows would take them.
    struct Draw
    {
        const QStringList *candidates;
        RowRandom random;
        bool supported;
    };
    std::vector<Draw> draws;
    std::vector<int> drawOfRow(std::size_t(table.size()), -1);
    for (qsizetype r = 0; r < table.size(); ++r) {
        const ReplaceRow &row = table[r];
        if (!row.draw)
            continue;
        const int n = int(row.candidates.size());
        m_candidateCount = n;
        const bool supported = n <= 10 ? isManReplaceAllCount(n) : isManReplaceAll2Count(n);
        drawOfRow[std::size_t(r)] = int(draws.size());
        draws.push_back(Draw{&row.candidates, RowRandom(nextRowSeed()), supported});
    }

    // Where each character ends: a fixed character, or a draw (encoded as -2 - index).
    constexpr int kUnchanged = -1;
    std::vector<int> fate(0x10000, kUnchanged);
    for (const ReplaceRow &start : table) {
        const char16_t c = start.search[0].unicode();
        if (fate[c] != kUnchanged)
            continue;
        char16_t cur = c;
        int result = kUnchanged;
        for (qsizetype r = 0; r < table.size(); ++r) {
            const ReplaceRow &row = table[r];
            if (row.search[0].unicode() != cur)
                continue;
            if (!row.draw) {
                cur = row.candidates[0][0].unicode();
                continue;
            }
            const int d = drawOfRow[std::size_t(r)];
            if (draws[std::size_t(d)].supported) {
                result = -2 - d;
                break;
            }
        }
        if (result == kUnchanged && cur != c)
            result = cur;
        fate[c] = result;
    }

    const QString text = target.text();
    TextEdits edits;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        if (fate[text[i].unicode()] == kUnchanged) {
            ++i;
            continue;
        }
        // One edit per run of changed characters.
        qsizetype end = i;
        while (end < size && fate[text[end].unicode()] != kUnchanged)
            ++end;
        // Written in place: a character at a time through append() costs more than the
        // rest of the pass.
        QString replacement(end - i, Qt::Uninitialized);
        QChar *out = replacement.data();
        qsizetype written = 0;
        for (qsizetype k = i; k < end; ++k) {
            const int f = fate[text[k].unicode()];
            QChar single;
            QStringView piece(&single, 1);
            if (f >= 0) {
                single = QChar(char16_t(f));
            } else {
                Draw &d = draws[std::size_t(-2 - f)];
                piece = (*d.candidates)[d.random.below(int(d.candidates->size()))];
            }
            if (piece.size() == 1 && written < replacement.size()) {
                out[written++] = piece[0];
                continue;
            }
            replacement.resize(written);
            replacement.append(piece);
            written = replacement.size();
            replacement.resize(written + (end - k - 1));
            out = replacement.data();
        }
        replacement.resize(written);
        edits.append(TextEdit{i, end - i, std::move(replacement)});
        i = end;
    }
    target.applyEdits(edits);
    outcome->complete = true;
    return true;
}

TableOutcome ReplaceEngine::runTable(TextTarget &target, const ReplaceTable &table)
{
    EditScope scope(target);
    TableOutcome outcome;
    if (runCompiled(target, table, &outcome))
        return outcome;
    return runTableRowByRow(target, table);
}

} // namespace convert
