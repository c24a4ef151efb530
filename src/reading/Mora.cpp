#include "reading/Mora.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <vector>

namespace reading {

namespace {

bool joinsKanaBefore(QChar c)
{
    return QStringView(u"ゃゅょぁぃぅぇぉゎャュョァィゥェォヮ").contains(c);
}

bool countsOne(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'ぁ' && u <= u'ゖ') || (u >= u'ァ' && u <= u'ヺ') || u == u'ー' ||
           (u >= 0x31F0 && u <= 0x31FF); // small katakana of Ainu (ㇰ …) stand alone
}

// Costs of a grouping: each sound a ku misses its target by, and each ku starting with a
// word that joins the one before it.
constexpr int kPerMora = 2;
constexpr int kOddStart = 3;

constexpr std::array<int, 3> kHaiku{5, 7, 5};
constexpr std::array<int, 5> kTanka{5, 7, 5, 7, 7};

// The grouping of the words into targets.size() ku with the least distance from the
// targets; every blank is a boundary and each ku holds a sound. Empty when none exists.
struct Grouping
{
    QList<int> ku;
    int cost = INT_MAX;
};

template <size_t N>
Grouping group(const QList<MeteredWord> &words, const std::array<int, N> &targets)
{
    const qsizetype n = words.size();
    // best[k][i]: least cost of words [0, i) as k ku ending at a boundary before word i.
    std::vector<std::array<int, N + 1>> best(n + 1);
    std::vector<std::array<qsizetype, N + 1>> from(n + 1);
    for (auto &b : best)
        b.fill(INT_MAX);
    std::vector<int> sum(n + 1, 0);
    for (qsizetype i = 0; i < n; ++i)
        sum[i + 1] = sum[i] + words[i].morae;
    // A ku starting with a particle or an auxiliary is possible (the reading may have joined
    // a word wrongly) but costs more than a sound too many.
    auto boundaryCost = [&](qsizetype i) {
        return i == 0 || i == n || words[i].blankBefore || words[i].mayStartKu ? 0 : kOddStart;
    };
    best[0][0] = 0;
    for (size_t k = 1; k <= N; ++k) {
        for (qsizetype i = 1; i <= n; ++i) {
            for (qsizetype j = i - 1; j >= 0; --j) {
                if (best[j][k - 1] != INT_MAX) {
                    const int morae = sum[i] - sum[j];
                    if (morae > 0 && (i == n || words[i].morae > 0)) {
                        const int cost = best[j][k - 1] +
                                         kPerMora * std::abs(morae - targets[k - 1]) +
                                         boundaryCost(i);
                        if (cost < best[i][k]) {
                            best[i][k] = cost;
                            from[i][k] = j;
                        }
                    }
                }
                if (j > 0 && words[j].blankBefore)
                    break; // a ku never spans a blank
            }
        }
    }
    Grouping g;
    if (best[n][N] == INT_MAX)
        return g;
    g.cost = best[n][N];
    qsizetype i = n;
    for (size_t k = N; k > 0; --k) {
        const qsizetype j = from[i][k];
        g.ku.prepend(sum[i] - sum[j]);
        i = j;
    }
    return g;
}

} // namespace

int moraCount(QStringView kana)
{
    int n = 0;
    for (qsizetype i = 0; i < kana.size(); ++i) {
        const QChar c = kana[i];
        if (joinsKanaBefore(c) && i > 0 && countsOne(kana[i - 1]))
            continue;
        if (countsOne(c))
            ++n;
    }
    return n;
}

int LineMeter::total() const
{
    int t = 0;
    for (int k : ku)
        t += k;
    return t;
}

int LineMeter::deviation(qsizetype k) const
{
    if (k >= target.size() || k >= ku.size())
        return 0;
    return ku[k] > target[k] ? 1 : ku[k] < target[k] ? -1 : 0;
}

QString LineMeter::kuText() const
{
    if (total() == 0)
        return {};
    QStringList parts;
    for (int k : ku)
        parts << QString::number(k);
    return parts.join(u'・');
}

LineMeter meterOf(const QList<MeteredWord> &words)
{
    // The ku as the blanks part them.
    LineMeter byBlanks;
    for (const MeteredWord &w : words) {
        if (byBlanks.ku.isEmpty() || (w.blankBefore && byBlanks.ku.back() > 0))
            byBlanks.ku.append(0);
        byBlanks.ku.back() += w.morae;
    }
    if (!byBlanks.ku.isEmpty() && byBlanks.ku.back() == 0 && byBlanks.ku.size() > 1)
        byBlanks.ku.removeLast();
    if (byBlanks.ku.isEmpty())
        byBlanks.ku.append(0);
    if (byBlanks.ku.size() == 3 || byBlanks.ku.size() == 5) {
        for (int i = 0; i < byBlanks.ku.size(); ++i)
            byBlanks.target.append(byBlanks.ku.size() == 3 ? kHaiku[i] : kTanka[i]);
        return byBlanks;
    }
    const Grouping haiku = group(words, kHaiku);
    const Grouping tanka = group(words, kTanka);
    const Grouping &nearer = tanka.cost < haiku.cost ? tanka : haiku;
    constexpr int kMostAmiss = 3 * kPerMora;
    if (nearer.cost > kMostAmiss)
        return byBlanks;
    LineMeter m;
    m.ku = nearer.ku;
    for (int i = 0; i < m.ku.size(); ++i)
        m.target.append(m.ku.size() == 3 ? kHaiku[i] : kTanka[i]);
    return m;
}

} // namespace reading
