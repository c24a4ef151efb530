#include "speech/HtsLabels.h"

#include "reading/KanaRules.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace speech::hts {

namespace {

// The kana the voices know, each with its consonant and vowel. Two-kana morae (キャ, ティ,
// ウォ) are made from these by syllable() below.
const QHash<QChar, Mora> &kanaTable()
{
    static const QHash<QChar, Mora> table = [] {
        QHash<QChar, Mora> t;
        const auto row = [&t](QStringView kana, const QString &consonant) {
            static const char *const vowels[] = {"a", "i", "u", "e", "o"};
            for (int i = 0; i < 5 && i < kana.size(); ++i) {
                if (kana[i] != u'・')
                    t.insert(kana[i], {consonant, QString::fromLatin1(vowels[i])});
            }
        };
        row(u"アイウエオ", QString());
        row(u"カキクケコ", QStringLiteral("k"));
        row(u"ガギグゲゴ", QStringLiteral("g"));
        row(u"サ・スセソ", QStringLiteral("s"));
        row(u"ザ・ズゼゾ", QStringLiteral("z"));
        row(u"タ・・テト", QStringLiteral("t"));
        row(u"ダ・ヅデド", QStringLiteral("d"));
        row(u"ナニヌネノ", QStringLiteral("n"));
        row(u"ハヒ・ヘホ", QStringLiteral("h"));
        row(u"バビブベボ", QStringLiteral("b"));
        row(u"パピプペポ", QStringLiteral("p"));
        row(u"マミムメモ", QStringLiteral("m"));
        row(u"ヤ・ユ・ヨ", QStringLiteral("y"));
        row(u"ラリルレロ", QStringLiteral("r"));
        row(u"ワヰ・ヱヲ", QStringLiteral("w"));
        t.insert(u'ヅ', {QStringLiteral("z"), QStringLiteral("u")});
        t.insert(u'ヰ', {QString(), QStringLiteral("i")});
        t.insert(u'ヱ', {QString(), QStringLiteral("e")});
        t.insert(u'ヲ', {QString(), QStringLiteral("o")});
        t.insert(u'シ', {QStringLiteral("sh"), QStringLiteral("i")});
        t.insert(u'ジ', {QStringLiteral("j"), QStringLiteral("i")});
        t.insert(u'ヂ', {QStringLiteral("j"), QStringLiteral("i")});
        t.insert(u'チ', {QStringLiteral("ch"), QStringLiteral("i")});
        t.insert(u'ツ', {QStringLiteral("ts"), QStringLiteral("u")});
        t.insert(u'フ', {QStringLiteral("f"), QStringLiteral("u")});
        t.insert(u'ヴ', {QStringLiteral("v"), QStringLiteral("u")});
        t.insert(u'ン', {QString(), QStringLiteral("N")});
        t.insert(u'ッ', {QString(), QStringLiteral("cl")});
        t.insert(u'ヵ', {QStringLiteral("k"), QStringLiteral("a")});
        t.insert(u'ヶ', {QStringLiteral("k"), QStringLiteral("e")});
        row(u"ァィゥェォ", QString());
        t.insert(u'ャ', {QStringLiteral("y"), QStringLiteral("a")});
        t.insert(u'ュ', {QStringLiteral("y"), QStringLiteral("u")});
        t.insert(u'ョ', {QStringLiteral("y"), QStringLiteral("o")});
        t.insert(u'ヮ', {QStringLiteral("w"), QStringLiteral("a")});
        return t;
    }();
    return table;
}

bool isSmallVowel(QChar c)
{
    return QStringView(u"ァィゥェォ").contains(c);
}

bool isSmallY(QChar c)
{
    return QStringView(u"ャュョ").contains(c);
}

// The consonant of a kana when a small ャ ュ ョ (or ェ after an i-kana) follows it: キャ ky,
// シャ sh, チャ ch, テュ ty, デュ dy.
QString palatal(QChar base, const Mora &m)
{
    if (m.consonant == u"sh" || m.consonant == u"j" || m.consonant == u"ch")
        return m.consonant;
    if (base == u'ヴ')
        return QStringLiteral("by");
    if (m.consonant == u"f")
        return QStringLiteral("hy");
    return m.consonant + u'y';
}

// The mora that `base` followed by the small kana `small` makes, when they make one.
std::optional<Mora> syllable(QChar base, QChar small)
{
    const QHash<QChar, Mora> &table = kanaTable();
    const auto b = table.constFind(base);
    const auto s = table.constFind(small);
    if (b == table.cend() || s == table.cend() || b->vowel == u"N" || b->vowel == u"cl")
        return std::nullopt;
    if (isSmallY(small)) {
        // キャ ギュ ニョ ... and テュ デュ; not ア + ャ.
        if (b->consonant.isEmpty() ||
            (b->vowel != u"i" && base != u'テ' && base != u'デ' && base != u'ヴ' && base != u'フ'))
            return std::nullopt;
        return Mora{palatal(base, *b), s->vowel};
    }
    if (small == u'ヮ') {
        if (base != u'ク' && base != u'グ')
            return std::nullopt;
        return Mora{b->consonant + u'w', QStringLiteral("a")};
    }
    if (!isSmallVowel(small))
        return std::nullopt;
    if (base == u'ウ')
        return small == u'ゥ' ? std::nullopt
                              : std::optional<Mora>(Mora{QStringLiteral("w"), s->vowel});
    if (base == u'イ')
        return small == u'ェ' ? std::optional<Mora>(Mora{QStringLiteral("y"), s->vowel})
                              : std::nullopt;
    if (b->consonant.isEmpty())
        return std::nullopt;
    // シェ ジェ チェ キェ: the i-kana's palatal consonant; ティ ディ トゥ ドゥ ファ ツァ ヴァ:
    // the kana's own.
    if (b->vowel == u"i" && small == u'ェ')
        return Mora{palatal(base, *b), s->vowel};
    return Mora{b->consonant, s->vowel};
}

} // namespace

namespace {

QList<Mora> parseMorae(QStringView written, QList<qsizetype> *ends)
{
    const QHash<QChar, Mora> &table = kanaTable();
    // Katakana, a character for a character: positions stay those of what was written.
    const QString pronunciation = reading::toKatakana(written);
    QList<Mora> out;
    const auto ended = [&](qsizetype at) {
        if (ends && ends->size() < out.size())
            ends->append(at);
        else if (ends && !ends->isEmpty())
            ends->last() = at;
    };
    for (qsizetype i = 0; i < pronunciation.size(); ++i) {
        const QChar c = pronunciation[i];
        if (c == u'ー') {
            // ー repeats the vowel before it; after ン or ッ there is none to repeat.
            if (!out.isEmpty() && out.last().vowel != u"N" && out.last().vowel != u"cl") {
                out.append({QString(), out.last().vowel.toLower()});
                ended(i + 1);
            }
            continue;
        }
        if (c == u'’' || c == u'\'') {
            if (!out.isEmpty() && out.last().vowel.size() == 1) {
                out.last().vowel = out.last().vowel.toUpper();
                ended(i + 1);
            }
            continue;
        }
        if (i + 1 < pronunciation.size()) {
            if (const std::optional<Mora> two = syllable(c, pronunciation[i + 1])) {
                out.append(*two);
                ended(i + 2);
                ++i;
                continue;
            }
        }
        if (const auto it = table.constFind(c); it != table.cend()) {
            out.append(*it);
            ended(i + 1);
        }
    }
    return out;
}

} // namespace

QList<Mora> morae(QStringView pronunciation)
{
    return parseMorae(pronunciation, nullptr);
}

QList<qsizetype> moraEnds(QStringView pronunciation)
{
    QList<qsizetype> ends;
    parseMorae(pronunciation, &ends);
    return ends;
}

namespace {

constexpr int MaxS = 19;
constexpr int MaxM = 49;
constexpr int MaxL = 99;
constexpr int MaxLL = 199;

int limit(int value, int low, int high)
{
    return std::clamp(value, low, high);
}

// The utterance laid out flat: every phoneme, mora, word, phrase and breath group in order,
// each knowing the one above it.
struct Layout
{
    struct Phoneme
    {
        QString name;
        int mora = -1; // -1 for the pause between breath groups
    };
    struct MoraAt
    {
        int word = 0;
    };
    struct Word
    {
        const LabelWord *word = nullptr;
        int phrase = 0;
    };
    struct Phrase
    {
        const AccentPhrase *phrase = nullptr;
        int breath = 0;
        int firstMora = 0;
        int morae = 0;
        // The mora where the pitch falls, counted in the phrase; its morae when it does not.
        int accent() const
        {
            return phrase->accent <= 0 || phrase->accent > morae ? morae : phrase->accent;
        }
    };
    struct Breath
    {
        int firstPhrase = 0;
        int phrases = 0;
        int firstMora = 0;
        int morae = 0;
    };
    std::vector<Phoneme> phonemes;
    std::vector<MoraAt> morae;
    std::vector<Word> words;
    std::vector<Phrase> phrases;
    std::vector<Breath> breaths;

    explicit Layout(const QList<BreathGroup> &utterance)
    {
        for (const BreathGroup &group : utterance) {
            Breath breath{int(phrases.size()), 0, int(morae.size()), 0};
            for (const AccentPhrase &phrase : group) {
                Phrase p{&phrase, int(breaths.size()), int(morae.size()), 0};
                for (const LabelWord &word : phrase.words) {
                    const QList<Mora> said = hts::morae(word.pronunciation);
                    if (said.isEmpty())
                        continue;
                    if (p.morae == 0 && breath.phrases == 0 && !breaths.empty())
                        phonemes.push_back({QStringLiteral("pau"), -1});
                    for (const Mora &m : said) {
                        if (!m.consonant.isEmpty())
                            phonemes.push_back({m.consonant, int(morae.size())});
                        phonemes.push_back({m.vowel, int(morae.size())});
                        morae.push_back({int(words.size())});
                    }
                    words.push_back({&word, int(phrases.size())});
                    p.morae += int(said.size());
                }
                if (p.morae == 0)
                    continue;
                breath.morae += p.morae;
                ++breath.phrases;
                phrases.push_back(p);
            }
            if (breath.phrases > 0)
                breaths.push_back(breath);
        }
    }

    const Phrase &phraseOfMora(int mora) const { return phrases[size_t(wordOfMora(mora).phrase)]; }
    const Word &wordOfMora(int mora) const { return words[size_t(morae[size_t(mora)].word)]; }
};

QString wordField(const Layout::Word *w, const char *a, const char *b)
{
    if (!w)
        return QStringLiteral("xx%1xx%2xx").arg(QLatin1String(a), QLatin1String(b));
    return w->word->partOfSpeech + QLatin1String(a) + w->word->conjugation + QLatin1String(b) +
           w->word->form;
}

QString question(const Layout::Phrase &p)
{
    return p.phrase->question ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QList<std::pair<qsizetype, qsizetype>> labelSpans(const QList<BreathGroup> &utterance)
{
    const Layout u(utterance);
    QList<std::pair<qsizetype, qsizetype>> spans;
    if (u.morae.empty())
        return spans;
    spans.append({-1, -1});
    for (const Layout::Phoneme &p : u.phonemes) {
        const LabelWord *w = p.mora < 0 ? nullptr : u.wordOfMora(p.mora).word;
        spans.append(w ? std::pair{w->begin, w->end} : std::pair<qsizetype, qsizetype>{-1, -1});
    }
    spans.append({-1, -1});
    return spans;
}

QStringList fullContextLabels(const QList<BreathGroup> &utterance)
{
    const Layout u(utterance);
    if (u.morae.empty())
        return {};
    const int phonemeCount = int(u.phonemes.size());
    const int totalMorae = int(u.morae.size());
    const int totalPhrases = int(u.phrases.size());
    const int totalBreaths = int(u.breaths.size());

    // The phoneme names with silence at both ends and nothing beyond.
    QStringList names{QStringLiteral("xx"), QStringLiteral("xx"), QStringLiteral("sil")};
    for (const Layout::Phoneme &p : u.phonemes)
        names << p.name;
    names << QStringLiteral("sil") << QStringLiteral("xx") << QStringLiteral("xx");

    QStringList labels;
    for (int i = 0; i < phonemeCount + 2; ++i) {
        const bool first = i == 0;
        const bool last = i == phonemeCount + 1;
        const Layout::Phoneme *ph = first || last ? nullptr : &u.phonemes[size_t(i - 1)];
        const bool pause = ph && ph->mora < 0;
        // The mora this phoneme belongs to; for silence and pauses, the one before and the
        // one after stand in for the neighbours.
        const int mora = ph && !pause ? ph->mora : -1;
        int moraBefore = -1;
        int moraAfter = -1;
        if (pause) {
            moraBefore = u.phonemes[size_t(i - 2)].mora;
            moraAfter = u.phonemes[size_t(i)].mora;
        } else if (first) {
            moraAfter = 0;
        } else if (last) {
            moraBefore = totalMorae - 1;
        }

        QString label = QStringLiteral("%1^%2-%3+%4=%5")
                            .arg(names[i], names[i + 1], names[i + 2], names[i + 3], names[i + 4]);

        // A: the mora in its accent phrase, from the accent and from both ends.
        if (mora < 0) {
            label += QLatin1String("/A:xx+xx+xx");
        } else {
            const Layout::Phrase &p = u.phraseOfMora(mora);
            const int at = mora - p.firstMora + 1;
            label += QStringLiteral("/A:%1+%2+%3")
                         .arg(limit(at - p.accent(), -MaxM, MaxM))
                         .arg(limit(at, 1, MaxM))
                         .arg(limit(p.morae - at + 1, 1, MaxM));
        }

        // B, C, D: the words before, of and after the phoneme.
        const Layout::Word *cur = mora >= 0 ? &u.wordOfMora(mora) : nullptr;
        const int curWord = mora >= 0 ? u.morae[size_t(mora)].word : -1;
        const Layout::Word *before = cur ? (curWord > 0 ? &u.words[size_t(curWord - 1)] : nullptr)
                                         : (moraBefore >= 0 ? &u.wordOfMora(moraBefore) : nullptr);
        const Layout::Word *after =
            cur ? (curWord + 1 < int(u.words.size()) ? &u.words[size_t(curWord + 1)] : nullptr)
                : (moraAfter >= 0 ? &u.wordOfMora(moraAfter) : nullptr);
        label += QLatin1String("/B:") + wordField(before, "-", "_");
        label += QLatin1String("/C:") + wordField(cur, "_", "+");
        label += QLatin1String("/D:") + wordField(after, "+", "_");

        // E, F, G: the accent phrases before, of and after it. The flag after E and G says
        // whether that phrase runs on into this one without a pause.
        const int curPhrase = cur ? cur->phrase : -1;
        const int phraseBefore = cur ? curPhrase - 1 : before ? before->phrase : -1;
        const int phraseAfter = cur     ? (curPhrase + 1 < totalPhrases ? curPhrase + 1 : -1)
                                : after ? after->phrase
                                        : -1;
        if (phraseBefore < 0) {
            label += QLatin1String("/E:xx_xx!xx_xx-xx");
        } else {
            const Layout::Phrase &p = u.phrases[size_t(phraseBefore)];
            label += QStringLiteral("/E:%1_%2!%3_xx")
                         .arg(limit(p.morae, 1, MaxM))
                         .arg(limit(p.accent(), 1, MaxM))
                         .arg(question(p));
            label += cur ? QStringLiteral("-%1").arg(
                               p.breath == u.phrases[size_t(curPhrase)].breath ? 1 : 0)
                         : QStringLiteral("-xx");
        }
        if (!cur) {
            label += QLatin1String("/F:xx_xx#xx_xx@xx_xx|xx_xx");
        } else {
            const Layout::Phrase &p = u.phrases[size_t(curPhrase)];
            const Layout::Breath &b = u.breaths[size_t(p.breath)];
            const int inBreath = curPhrase - b.firstPhrase + 1;
            const int moraInBreath = p.firstMora - b.firstMora + 1;
            label += QStringLiteral("/F:%1_%2#%3_xx@%4_%5|%6_%7")
                         .arg(limit(p.morae, 1, MaxM))
                         .arg(limit(p.accent(), 1, MaxM))
                         .arg(question(p))
                         .arg(limit(inBreath, 1, MaxM))
                         .arg(limit(b.phrases - inBreath + 1, 1, MaxM))
                         .arg(limit(moraInBreath, 1, MaxL))
                         .arg(limit(b.morae - moraInBreath + 1, 1, MaxL));
        }
        if (phraseAfter < 0) {
            label += QLatin1String("/G:xx_xx%xx_xx_xx");
        } else {
            const Layout::Phrase &p = u.phrases[size_t(phraseAfter)];
            label += QStringLiteral("/G:%1_%2%%3_xx")
                         .arg(limit(p.morae, 1, MaxM))
                         .arg(limit(p.accent(), 1, MaxM))
                         .arg(question(p));
            label += cur ? QStringLiteral("_%1").arg(
                               p.breath == u.phrases[size_t(curPhrase)].breath ? 1 : 0)
                         : QStringLiteral("_xx");
        }

        // H, I, J: the breath groups before, of and after it; K: the whole utterance.
        const int curBreath = cur ? u.phrases[size_t(curPhrase)].breath : -1;
        const int breathBefore = cur                 ? curBreath - 1
                                 : phraseBefore >= 0 ? u.phrases[size_t(phraseBefore)].breath
                                                     : -1;
        const int breathAfter = cur ? (curBreath + 1 < totalBreaths ? curBreath + 1 : -1)
                                : phraseAfter >= 0 ? u.phrases[size_t(phraseAfter)].breath
                                                   : -1;
        const auto breathSize = [&](int b) {
            const Layout::Breath &g = u.breaths[size_t(b)];
            return QStringLiteral("%1_%2")
                .arg(limit(g.phrases, 1, MaxM))
                .arg(limit(g.morae, 1, MaxL));
        };
        label += QLatin1String("/H:") +
                 (breathBefore < 0 ? QStringLiteral("xx_xx") : breathSize(breathBefore));
        if (!cur) {
            label += QLatin1String("/I:xx-xx@xx+xx&xx-xx|xx+xx");
        } else {
            const Layout::Breath &b = u.breaths[size_t(curBreath)];
            label += QStringLiteral("/I:%1-%2@%3+%4&%5-%6|%7+%8")
                         .arg(limit(b.phrases, 1, MaxM))
                         .arg(limit(b.morae, 1, MaxL))
                         .arg(limit(curBreath + 1, 1, MaxS))
                         .arg(limit(totalBreaths - curBreath, 1, MaxS))
                         .arg(limit(b.firstPhrase + 1, 1, MaxM))
                         .arg(limit(totalPhrases - b.firstPhrase, 1, MaxM))
                         .arg(limit(b.firstMora + 1, 1, MaxLL))
                         .arg(limit(totalMorae - b.firstMora, 1, MaxLL));
        }
        label += QLatin1String("/J:") +
                 (breathAfter < 0 ? QStringLiteral("xx_xx") : breathSize(breathAfter));
        label += QStringLiteral("/K:%1+%2-%3")
                     .arg(limit(totalBreaths, 1, MaxS))
                     .arg(limit(totalPhrases, 1, MaxM))
                     .arg(limit(totalMorae, 1, MaxLL));
        labels << label;
    }
    return labels;
}

} // namespace speech::hts
