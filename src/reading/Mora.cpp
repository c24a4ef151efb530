#include "reading/Mora.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numeric>
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
// word that joins the one before it. A line further than kMostAmiss from every form is no
// poem, which costs kNoForm; kImpossible is a form its words cannot be grouped into.
constexpr int kPerMora = 2;
constexpr int kOddStart = 3;
constexpr int kMostAmiss = 3 * kPerMora;
constexpr int kNoForm = kMostAmiss + 1;
constexpr int kImpossible = 1 << 20;

const QList<int> kHaiku{5, 7, 5};
const QList<int> kTanka{5, 7, 5, 7, 7};
const QList<int> kSedoka{5, 7, 7, 5, 7, 7};

int sum(const QList<int> &values)
{
    return std::accumulate(values.begin(), values.end(), 0);
}

// The ku of words: their sounds, the word each starts with, the sounds each should have
// (none where the words are no poem), and how far they are from that.
struct Fit
{
    QList<int> ku;
    QList<qsizetype> starts;
    QList<int> target;
    int cost = kImpossible;
    int total() const { return sum(ku); }
};

// The ku as the blanks part them; a blank with no sound before it parts nothing.
Fit byBlanks(const QList<MeteredWord> &words)
{
    Fit f;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (f.ku.isEmpty() || (words[i].blankBefore && f.ku.back() > 0)) {
            f.ku.append(0);
            f.starts.append(i);
        }
        f.ku.back() += words[i].morae;
    }
    if (f.ku.size() > 1 && f.ku.back() == 0) {
        f.ku.removeLast();
        f.starts.removeLast();
    }
    if (f.ku.isEmpty()) {
        f.ku.append(0);
        f.starts.append(0);
    }
    f.cost = 0;
    return f;
}

// The ku as parted, measured against targets of as many ku.
Fit against(Fit f, const QList<int> &targets)
{
    f.target = targets;
    f.cost = 0;
    for (qsizetype k = 0; k < targets.size(); ++k)
        f.cost += kPerMora * std::abs(f.ku[k] - targets[k]);
    return f;
}

// The grouping of the words into targets.size() ku with the least distance from the
// targets; every blank is a boundary and each ku holds a sound. Impossible when none exists.
Fit group(const QList<MeteredWord> &words, const QList<int> &targets)
{
    const qsizetype n = words.size();
    const qsizetype kuCount = targets.size();
    // best[i][k]: least cost of words [0, i) as k ku ending at a boundary before word i.
    std::vector<std::vector<int>> best(n + 1, std::vector<int>(kuCount + 1, INT_MAX));
    std::vector<std::vector<qsizetype>> from(n + 1, std::vector<qsizetype>(kuCount + 1, 0));
    std::vector<int> sums(n + 1, 0);
    for (qsizetype i = 0; i < n; ++i)
        sums[i + 1] = sums[i] + words[i].morae;
    // A ku starting with a particle or an auxiliary is possible (the reading may have joined
    // a word wrongly) but costs more than a sound too many.
    auto boundaryCost = [&](qsizetype i) {
        return i == 0 || i == n || words[i].blankBefore || words[i].mayStartKu ? 0 : kOddStart;
    };
    best[0][0] = 0;
    for (qsizetype k = 1; k <= kuCount; ++k) {
        for (qsizetype i = 1; i <= n; ++i) {
            for (qsizetype j = i - 1; j >= 0; --j) {
                if (best[j][k - 1] != INT_MAX) {
                    const int morae = sums[i] - sums[j];
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
    Fit f;
    if (best[n][kuCount] == INT_MAX)
        return f;
    f.cost = best[n][kuCount];
    f.target = targets;
    for (qsizetype i = n, k = kuCount; k > 0; --k) {
        const qsizetype j = from[i][k];
        f.ku.prepend(sums[i] - sums[j]);
        f.starts.prepend(j);
        i = j;
    }
    return f;
}

// The words measured against one form: as the blanks part them where they part as many ku,
// or fewer ku-long parts (the upper ku of a tanka alone: the ku it lacks are missed, not
// marked), else grouped nearest to it.
Fit fitForm(const QList<MeteredWord> &words, const QList<int> &targets)
{
    const Fit parted = byBlanks(words);
    if (parted.ku.size() == targets.size())
        return against(parted, targets);
    const bool kuLong =
        std::all_of(parted.ku.begin(), parted.ku.end(), [](int k) { return k <= 9; });
    if (parted.ku.size() > 1 && parted.ku.size() < targets.size() && kuLong) {
        Fit upper = against(parted, targets.first(parted.ku.size()));
        for (qsizetype k = parted.ku.size(); k < targets.size(); ++k)
            upper.cost += kPerMora * targets[k];
        return upper;
    }
    Fit grouped = group(words, targets);
    if (grouped.cost == kImpossible) {
        Fit none = parted;
        none.cost = kImpossible;
        return none;
    }
    return grouped;
}

// The words measured against the form they come nearest to.
Fit fitAuto(const QList<MeteredWord> &words, bool poetic)
{
    const Fit parted = byBlanks(words);
    for (const QList<int> *form : {&kHaiku, &kTanka, &kSedoka}) {
        if (parted.ku.size() == form->size())
            return against(parted, *form);
    }
    const Fit haiku = group(words, kHaiku);
    const Fit tanka = group(words, kTanka);
    const Fit &nearer = tanka.cost < haiku.cost ? tanka : haiku;
    const bool near =
        nearer.cost <= kMostAmiss || (poetic && nearer.cost != kImpossible &&
                                      std::abs(parted.total() - sum(nearer.target)) <= 3);
    if (near)
        return nearer;
    Fit none = parted;
    none.cost = kNoForm;
    return none;
}

Fit fit(const QList<MeteredWord> &words, PoemForm form, bool poetic)
{
    // Far more sounds than any poem of the forms, even with every ku too long: counted by
    // its blanks, without the search for ku, whose work grows faster than the line.
    constexpr int kLongestPoem = 64;
    Fit parted = byBlanks(words);
    if (parted.total() > kLongestPoem) {
        parted.cost = form == PoemForm::Auto ? kNoForm : form == PoemForm::Free ? 0 : kImpossible;
        return parted;
    }
    switch (form) {
    case PoemForm::Haiku:
        return fitForm(words, kHaiku);
    case PoemForm::Tanka:
        return fitForm(words, kTanka);
    case PoemForm::Sedoka:
        return fitForm(words, kSedoka);
    case PoemForm::Free:
        return byBlanks(words);
    case PoemForm::Auto:
        break;
    }
    return fitAuto(words, poetic);
}

LineMeter meterOfFit(const Fit &f)
{
    LineMeter m;
    m.ku = f.ku;
    m.target = f.target;
    return m;
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

int latinSyllables(QStringView word)
{
    const auto isVowel = [](QChar c) { return QStringView(u"aeiouyAEIOUY").contains(c); };
    const bool capitals = word.size() <= 4 && std::all_of(word.begin(), word.end(), [](QChar c) {
                              return c.isUpper() || !c.isLetter();
                          });
    // y is a vowel where it ends a word of no other (my, sky); xyz is spelled.
    const bool vowels =
        std::any_of(word.begin(), word.end(),
                    [](QChar c) { return QStringView(u"aeiouAEIOU").contains(c); }) ||
        (!word.isEmpty() && word.back().toLower() == u'y');
    if (capitals || !vowels) {
        // Each letter by its name: one syllable, but W (double-u) three.
        int n = 0;
        for (QChar c : word)
            n += !c.isLetter() ? 0 : c.toLower() == u'w' ? 3 : 1;
        return std::max(n, 1);
    }
    int n = 0;
    bool inVowel = false;
    for (QChar c : word) {
        const bool vowel = isVowel(c);
        if (vowel && !inVowel)
            ++n;
        inVowel = vowel;
    }
    const qsizetype len = word.size();
    const auto at = [&](qsizetype fromEnd) { return word[len - fromEnd].toLower(); };
    const bool finalE = len >= 3 && at(1) == u'e' && !isVowel(word[len - 2]);
    const bool finalLe = finalE && at(2) == u'l' && !isVowel(word[len - 3]);
    if (finalE && !finalLe && n > 1)
        --n;
    return std::max(n, 1);
}

int LineMeter::total() const
{
    return sum(ku);
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

LineMeter meterOf(const QList<MeteredWord> &words, bool poetic)
{
    return meterOfFit(fit(words, PoemForm::Auto, poetic));
}

int meterMiss(const QList<MeteredWord> &words)
{
    return std::min(group(words, kHaiku).cost, group(words, kTanka).cost);
}

StanzaMeter meterOfStanza(const QList<QList<MeteredWord>> &lines, PoemForm form,
                          const QList<bool> &poetic)
{
    const auto poeticAt = [&](qsizetype i) { return i < poetic.size() && poetic[i]; };
    StanzaMeter s;
    QList<Fit> alone;
    int aloneCost = 0;
    bool silentLine = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        alone.append(fit(lines[i], form, poeticAt(i)));
        aloneCost = std::min(kImpossible, aloneCost + alone.back().cost);
        silentLine = silentLine || alone.back().total() == 0;
    }
    // The stanza as one poem: its lines' words in a row, each line break a blank.
    constexpr qsizetype kMostLines = 6;
    if (lines.size() > 1 && lines.size() <= kMostLines && !silentLine) {
        QList<MeteredWord> words;
        QList<qsizetype> lineStarts;
        bool anyPoetic = false;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            lineStarts.append(words.size());
            for (qsizetype w = 0; w < lines[i].size(); ++w) {
                words.append(lines[i][w]);
                if (w == 0)
                    words.back().blankBefore = true;
            }
            anyPoetic = anyPoetic || poeticAt(i);
        }
        lineStarts.append(words.size());
        const Fit whole = fit(words, form, anyPoetic);
        const bool onePoem =
            form == PoemForm::Free || (!whole.target.isEmpty() && whole.cost < aloneCost);
        if (onePoem) {
            s.poems.append(meterOfFit(whole));
            for (qsizetype i = 0; i < lines.size(); ++i) {
                LineMeter m;
                for (qsizetype k = 0; k < whole.ku.size(); ++k) {
                    if (whole.starts[k] >= lineStarts[i] && whole.starts[k] < lineStarts[i + 1]) {
                        m.ku.append(whole.ku[k]);
                        if (!whole.target.isEmpty())
                            m.target.append(whole.target[k]);
                    }
                }
                s.lines.append(m);
                s.poemOfLine.append(0);
            }
            return s;
        }
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        s.lines.append(meterOfFit(alone[i]));
        s.poems.append(s.lines.back());
        s.poemOfLine.append(i);
    }
    return s;
}

QList<std::pair<qsizetype, qsizetype>> blankParts(QStringView line, qsizetype from, qsizetype to)
{
    QList<std::pair<qsizetype, qsizetype>> parts;
    const auto isBlank = [&](qsizetype k) {
        return line[k] == u' ' || line[k] == u'\u3000' || line[k] == u'\t';
    };
    for (qsizetype i = from; i < to;) {
        while (i < to && isBlank(i))
            ++i;
        const qsizetype start = i;
        while (i < to && !isBlank(i))
            ++i;
        if (i > start)
            parts.append({start, i});
    }
    return parts;
}

std::pair<qsizetype, qsizetype> poemSpan(QStringView line)
{
    const QList<std::pair<qsizetype, qsizetype>> parts = blankParts(line, 0, line.size());
    const auto isNumber = [&](std::pair<qsizetype, qsizetype> part) {
        for (qsizetype k = part.first; k < part.second; ++k) {
            const char16_t u = line[k].unicode();
            if (!((u >= u'0' && u <= u'9') || (u >= u'０' && u <= u'９')))
                return false;
        }
        return true;
    };
    if (parts.size() < 2 || !isNumber(parts[0]))
        return {0, line.size()};
    // After the number: the poem in one run or in three, five or six ku, and perhaps a name.
    const qsizetype rest = parts.size() - 1;
    const bool named = rest == 2 || rest == 4 || rest == 6 || rest == 7;
    return {parts[1].first, parts[named ? rest - 1 : rest].second};
}

} // namespace reading
