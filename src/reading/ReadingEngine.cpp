#include "reading/ReadingEngine.h"

#include "reading/Counters.h"
#include "reading/KanaRules.h"
#include "reading/KanjiDictionary.h"
#include "reading/Lattice.h"
#include "reading/MecabReader.h"
#include "reading/NodeCosts.h"
#include "reading/Rewriters.h"
#include "reading/Spellings.h"
#include "reading/UserDictionary.h"
#include "reading/WholeWords.h"
#include "text/Ruby.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <set>

namespace reading {

namespace {

// The kana a voice is given: ー as its vowel, ぢ づ as they sound, を as お.
QString spokenKana(const QString &kana)
{
    const QString lengthened = longVowelsAsKana(toHiragana(kana));
    QString s;
    for (QChar c : lengthened) {
        // Only kana with a sound of its own reach a voice: a repetition mark with nothing to
        // repeat, a small ヶ or a bracket that slipped through is left out, never spelled.
        if (c == u'ぢ')
            s += u'じ';
        else if (c == u'づ')
            s += u'ず';
        else if (c == u'を')
            s += u'お';
        else if (c >= u'ぁ' && c <= u'ゔ')
            s += c;
    }
    return s;
}

// The kanji MeCab is given: a variant the dictionaries do not hold as the one they do
// (山﨑 as 山崎, 髙 as 高), where it takes as many UTF-16 units.
QString withCommonKanji(QStringView text)
{
    QString out = text.toString();
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isSurrogate() || !isKanji(out[i].unicode()))
            continue;
        const char32_t common = kanji.common(out[i].unicode());
        if (common != out[i].unicode() && common < 0x10000)
            out[i] = QChar(char16_t(common));
    }
    return out;
}

bool isPunctuationFeature(const MecabReader::Features &f)
{
    return f.partOfSpeech == QStringLiteral("記号");
}

} // namespace

ReadingEngine::ReadingEngine(const QString &dictionary)
    : m_mecab(std::make_unique<MecabReader>(dictionary == QLatin1String("naist-jdic")
                                                ? MecabReader::Dictionary::NaistJdic
                                                : MecabReader::Dictionary::Ipadic))
{
    // The kanji dictionary is read now, not in the middle of the first line read aloud.
    KanjiDictionary::instance();
    // A common noun's classes, for the candidates that MeCab's words do not span.
    for (const MecabReader::Node &n : m_mecab->lattice(u"山")) {
        const MecabReader::Features &f = m_mecab->features(n.feature);
        if (n.begin == 0 && n.end == 1 && !n.unknown && f.partOfSpeech == u"名詞" &&
            f.detail == u"一般") {
            m_nounLeft = n.left;
            m_nounRight = n.right;
            m_nounCost = n.cost;
            break;
        }
    }
}

ReadingEngine::~ReadingEngine() = default;

const MecabReader &ReadingEngine::formsDictionary() const
{
    if (m_mecab->dictionaryName() == u"naist-jdic")
        return *m_mecab;
    std::call_once(m_formsOnce, [this] {
        m_forms = std::make_unique<MecabReader>(MecabReader::Dictionary::NaistJdic);
    });
    return *m_forms;
}

QString ReadingEngine::dictionaryName() const
{
    return m_mecab->dictionaryName();
}

QString ReadingEngine::userDictionaryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/kotonami/readings.tsv");
}

QStringList ReadingEngine::loadUserDictionary()
{
    UserDictionary::Loaded loaded = UserDictionary::load(userDictionaryPath());
    m_user = loaded.words;
    QStringList problems = loaded.problems;
    if (!loaded.error.isEmpty())
        problems.prepend(loaded.error);
    return problems;
}

QList<Word> ReadingEngine::words(QStringView line) const
{
    return readLine(line, kindOfLine(line));
}

namespace {

// Kanji with katakana for their okurigana and particles and no hiragana, as old prose and
// verse write (雨ニモマケズ), as the same text in hiragana, which the dictionaries read.
QString katakanaAsHiragana(QString text)
{
    // (A ツ after a numeral is the counter つ of old prints: 一ツ ひとつ.)
    for (qsizetype k = 1; k < text.size(); ++k) {
        if (text[k] == u'ツ' && isNumeral(text[k - 1]) &&
            (k + 1 == text.size() || !isKatakana(text[k + 1].unicode())))
            text[k] = u'つ';
    }
    bool okurigana = false;
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (isHiragana(text[k].unicode()))
            return text;
        okurigana = okurigana || (k > 0 && isKanji(text[k - 1].unicode()) &&
                                  isKatakana(text[k].unicode()) && text[k] != u'ー');
    }
    return okurigana ? toHiragana(text) : text;
}

// Runs longer than this are read in pieces, so that the lattice stays small; a piece ends
// where kana meets kanji, a likely boundary between words, when there is one near.
constexpr qsizetype PieceLength = 200;
constexpr qsizetype PieceSlack = 60;

qsizetype pieceEnd(QStringView run, qsizetype start)
{
    const qsizetype end = std::min(run.size(), start + PieceLength);
    if (end == run.size())
        return end;
    for (qsizetype k = end; k > end - PieceSlack; --k) {
        if (isHiragana(run[k - 1].unicode()) && !isHiragana(run[k].unicode()) &&
            !run[k].isLowSurrogate())
            return k;
    }
    return run[end].isLowSurrogate() ? end - 1 : end;
}

// A dictionary word's kana as it is said where it is spelled in historical kana: the
// pronunciation where the reading has a は-row kana or ヰ ヱ ヲ said otherwise (考へる
// カンガヘル is said カンガエル); everything else as the reading spells it (トウキョウ, not
// the pronunciation's トーキョー; いう, not ユウ).
QString saidAsSpelled(const MecabReader::Features &f)
{
    const QString &spelled = f.reading;
    const QString &said = f.pronunciation;
    if (said.size() != spelled.size() || said == spelled)
        return spelled;
    QString out = spelled;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (said[i] != u'ー' && QStringView(u"ハヒフヘホヰヱヲ").contains(spelled[i]))
            out[i] = said[i];
        // (And an a-row kana before ウ said as an o: やう ヨウ, かう コウ.)
        if (i + 1 < out.size() && spelled[i + 1] == u'ウ' && said[i + 1] == u'ー' &&
            said[i] != spelled[i] &&
            QStringView(u"アカサタナマヤラワガザダバパ").contains(spelled[i]))
            out[i] = said[i];
    }
    return out;
}

// What the lexicons' words are worth against MeCab's over the same span: the poet's words
// always win; the classical lexicon and the names win where MeCab has nothing much better.
constexpr int UserBonus = 1000000;
constexpr int LexiconBonus = 6000;
constexpr int LexiconBonusPerCharacter = 1500;
constexpr int CharacterCost = 30000;
// A kanji MeCab does not know, with its okurigana in historical kana: cheaper than alone.
constexpr int OkuriganaBonus = 3000;
// A particle, an auxiliary or a dependent word: said with the word before it, and no ku
// starts with it.
bool attachesToPrevious(const MecabReader::Features &f)
{
    return f.partOfSpeech == u"助詞" || f.partOfSpeech == u"助動詞" || f.detail == u"非自立" ||
           f.detail == u"接尾";
}

// The analyses a poem's meter chooses among: how many, how much dearer than the best at
// most, and how many steps the search may take.
constexpr int MeterPaths = 16;
constexpr long long MeterMargin = 4000;
// How much dearer at most an analysis may be that fits the meter with fewer sounds.
constexpr long long ShorterMargin = 1500;
constexpr int MeterWork = 8000;
// A reading is in doubt where another analysis costs at most this much more and reads
// otherwise; runs longer than DoubtLength are not searched for one.
constexpr long long DoubtMargin = 500;
constexpr int DoubtWork = 2000;
constexpr qsizetype DoubtLength = 60;

} // namespace

void ReadingEngine::readRun(QStringView run, const QList<qsizetype> &origin, LineKind kind,
                            QList<Word> &out) const
{
    for (qsizetype start = 0; start < run.size();) {
        const qsizetype end = pieceEnd(run, start);
        const QStringView text = run.sliced(start, end - start);
        const qsizetype n = text.size();
        const QString mecabText = katakanaAsHiragana(withCommonKanji(text));

        Lattice lattice(
            n, [this](quint16 right, quint16 left) { return m_mecab->connection(right, left); });
        std::vector<bool> reached(size_t(n) + 1, false);
        // The line as today's spelling may write it, and the kana some of them leave out
        // (珍らしい's ら): MeCab's words that start there as written are unlikely.
        const QList<Modernised> variants =
            todaysSpellings(mecabText, {kind.poetic, kind.historical, kind.recited});
        QSet<qsizetype> leftOut;
        for (const Modernised &variant : variants) {
            for (qsizetype k = 1; k < variant.origin.size(); ++k) {
                for (qsizetype p = variant.origin[k - 1] + 1; p < variant.origin[k]; ++p)
                    leftOut.insert(p);
            }
        }
        auto addNodes = [&](const QList<MecabReader::Node> &nodes, qsizetype shift,
                            bool onlyAtStart) {
            const NodeCosts costs(*m_mecab, text, mecabText, kind.poetic, kind.recited, leftOut,
                                  nodes, shift);
            for (const MecabReader::Node &node : nodes) {
                if (onlyAtStart && node.begin != 0)
                    continue;
                Candidate c;
                c.begin = node.begin + shift;
                c.end = node.end + shift;
                c.left = node.left;
                c.right = node.right;
                c.cost = node.cost;
                c.source = node.unknown ? Source::Unknown : Source::Dictionary;
                c.feature = node.feature;
                c.cost += costs.extra(node);
                if (lattice.add(c) >= 0)
                    reached[size_t(c.begin)] = true;
                // (In place of each node of the Chinese sound, not of a counter's word.)
                if (const QString kun = costs.kunAlone(node.begin);
                    !kun.isEmpty() && node.end - node.begin == 1 && !node.unknown &&
                    KanjiDictionary::instance()
                        .readings(mecabText[c.begin].unicode())
                        .on.contains(toHiragana(m_mecab->features(node.feature).reading))) {
                    c.cost -= OnAloneCost;
                    c.kana = kun;
                    lattice.add(c);
                }
                // In a waka parted into its ku, a native noun of one kanji may be another native
                // word the kanji writes alone, for the meter to choose: 魂 たま (たましい).
                if (bool on = true;
                    kind.recited && !kind.ku.isEmpty() && costs.aloneNoun(node, &on) && !on) {
                    const QString said = toHiragana(m_mecab->features(node.feature).reading);
                    for (const QString &k :
                         KanjiDictionary::instance().readings(mecabText[c.begin].unicode()).kun) {
                        if (k == said || k.contains(u'.') || k.contains(u'-'))
                            continue;
                        Candidate other = c;
                        other.cost += OnAloneCost;
                        other.kana = k;
                        lattice.add(other);
                    }
                }
                // In verse, a kanji MeCab does not know with the okurigana of its verb
                // after it, a は-row kana: that kana is the vowel it spells (顫ひ ふるい); so
                // too a kanji it knows only as a noun, before ひ, ふ or へ (数ふれば かぞうれば).
                const qsizetype h = c.end;
                if (kind.poetic && node.end - node.begin == 1 && h < n &&
                    QStringView(node.unknown ? u"はひふへほ" : u"ひふへ").contains(text[h]) &&
                    (node.unknown || m_mecab->features(node.feature).partOfSpeech == u"名詞")) {
                    const QString stem =
                        KanjiDictionary::instance().stemBefore(text[c.begin].unicode(), text[h]);
                    if (!stem.isEmpty()) {
                        c.end = h + 1;
                        c.kana =
                            stem +
                            QStringView(u"わいうえお")[QStringView(u"はひふへほ").indexOf(text[h])];
                        c.cost -= OkuriganaBonus;
                        // (A verb's form, no longer the noun MeCab knew.)
                        if (!node.unknown)
                            c.feature = nullptr;
                        lattice.add(c);
                    }
                }
            }
        };
        const QList<MecabReader::Node> asWrittenNodes = m_mecab->lattice(mecabText);
        addNodes(asWrittenNodes, 0, false);
        // Where MeCab (or naist-jdic) knows a word in kana of three or more starting with a
        // は-row kana as written (われひとり, いしのほとけ), that kana is no vowel standing alone.
        QSet<qsizetype> kanaWordStarts;
        auto wordsInKana = [&](const MecabReader &dictionary,
                               const QList<MecabReader::Node> &nodes) {
            for (const MecabReader::Node &node : nodes) {
                const QStringView word =
                    QStringView(mecabText).sliced(node.begin, node.end - node.begin);
                if (!node.unknown && word.size() >= 3 &&
                    QStringView(u"はひふへほ").contains(word[0]) &&
                    std::all_of(word.begin(), word.end(),
                                [](QChar k) { return isHiragana(k.unicode()); }) &&
                    dictionary.features(node.feature).partOfSpeech != u"助詞")
                    kanaWordStarts.insert(node.begin);
            }
        };
        if (!variants.isEmpty()) {
            wordsInKana(*m_mecab, asWrittenNodes);
            if (m_mecab->dictionaryName() != u"naist-jdic")
                wordsInKana(formsDictionary(), formsDictionary().lattice(mecabText));
        }

        QSet<QString> seen{mecabText};
        // MeCab's words over the line as today's spelling has it; with those that read as
        // written where only a variant reaches them (落て 落ちて's て).
        const std::vector<bool> mecabStarts = reached;
        std::set<std::tuple<qsizetype, qsizetype, const char *>> asWritten;
        for (const Modernised &variant : variants) {
            if (seen.contains(variant.text))
                continue;
            seen.insert(variant.text);
            const qsizetype vn = variant.text.size();
            // A boundary of the variant's text that is one in the text as written too.
            auto mapped = [&](qsizetype p) -> qsizetype {
                if (p == 0 || p == vn)
                    return p == 0 ? 0 : n;
                return variant.origin[p - 1] != variant.origin[p] ? variant.origin[p] : -1;
            };
            for (const MecabReader::Node &node : m_mecab->lattice(variant.text)) {
                const qsizetype b = mapped(node.begin), e = mapped(node.end);
                if (node.unknown || b < 0 || e <= b ||
                    (QStringView(variant.text).sliced(node.begin, node.end - node.begin) ==
                         text.sliced(b, e - b) &&
                     (mecabStarts[size_t(b)] || !asWritten.insert({b, e, node.feature}).second)))
                    continue;
                // Historical kana is never read so at a word's start: after a particle
                // (ぞふく stays ぞ吹く), a kanji (袖ふれし) or where the run starts. (A vowel
                // alone is the end of a word MeCab split: かりほの かりおの; not after the
                // particles that end a phrase, 息もふかげに, nor after a kanji that is no
                // verb's or adjective's, 袖ひちて.)
                if (variant.text[node.begin] != text[b] &&
                    QStringView(u"はひふへほ").contains(text[b]) &&
                    (node.end - node.begin > 1 || kanaWordStarts.contains(b) ||
                     (b > 0 && QStringView(u"もをぞ").contains(text[b - 1])) ||
                     (b > 1 && text[b - 1] == u'に' && isHiragana(text[b - 2].unicode())) ||
                     (b > 0 && isKanji(text[b - 1].unicode()) &&
                      !KanjiDictionary::instance().hasOkurigana(text[b - 1].unicode()))))
                    continue;
                // The ん said for a written む is the auxiliary's, never a pronoun's: 終てなむ
                // 国 is no なん国 (何国).
                bool muAsNoun = false;
                for (qsizetype p = node.begin; p < node.end && !muAsNoun; ++p)
                    muAsNoun = variant.text[p] == u'ん' && text[variant.origin[p]] == u'む' &&
                               m_mecab->features(node.feature).detail == u"代名詞";
                if (muAsNoun)
                    continue;
                Candidate c;
                c.begin = b;
                c.end = e;
                c.left = node.left;
                c.right = node.right;
                c.cost = node.cost;
                c.source = Source::Modern;
                c.feature = node.feature;
                lattice.add(c);
            }
        }

        // The lexicons, each word costed as MeCab's cheapest way over the same span.
        auto isMecab = [](const Candidate &c) {
            return c.source == Source::Dictionary || c.source == Source::Unknown ||
                   c.source == Source::Modern;
        };
        QList<qsizetype> ends;
        auto addWord = [&](qsizetype b, qsizetype e, const QString &kana, Source source,
                           int bonus) {
            const Lattice::Way way = lattice.cheapestWithin(b, e, isMecab);
            Candidate c;
            c.begin = b;
            c.end = e;
            c.left = way.found ? way.left : m_nounLeft;
            c.right = way.found ? way.right : m_nounRight;
            // Where MeCab knows no word over the span and its word for the reading is one
            // before a noun, that word's classes: 此 この is no noun (此道 このみち).
            if (!lattice
                     .cheapestWithin(b, e,
                                     [](const Candidate &k) {
                                         return k.source == Source::Dictionary ||
                                                k.source == Source::Modern;
                                     })
                     .found) {
                int least = std::numeric_limits<int>::max();
                for (const MecabReader::Node &node : m_mecab->lattice(kana)) {
                    if (node.begin == 0 && node.end == kana.size() && !node.unknown &&
                        node.cost < least &&
                        m_mecab->features(node.feature).partOfSpeech == u"連体詞") {
                        least = node.cost;
                        c.left = node.left;
                        c.right = node.right;
                    }
                }
            }
            const long long cost = (way.found ? way.cost : m_nounCost) - bonus;
            c.cost = int(std::clamp<long long>(cost, -2 * UserBonus, 2 * UserBonus));
            c.source = source;
            c.kana = kana;
            lattice.add(c);
            ends.append(e);
        };
        for (qsizetype p = 0; p < n; ++p) {
            const bool insideKanji = p > 0 && isKanji(text[p - 1].unicode()) &&
                                     (isKanji(text[p].unicode()) || text[p].isSurrogate());
            const bool insideKana =
                p > 0 && isKana(text[p - 1].unicode()) && isKana(text[p].unicode());
            for (const Lexicon::Match &m : m_user.matchesAt(text, p))
                addWord(p, p + m.length, m.reading, Source::User, UserBonus);
            auto fromLexicon = [&](const Lexicon &lexicon, Source source) {
                for (const Lexicon::Match &m : lexicon.matchesAt(text, p)) {
                    // A word written with kanji does not start inside a run of kanji, one
                    // starting with kana not inside a run of kana; one in kana only is a
                    // word of the old language, for lines in historical kana.
                    // (A long one that ends where the kana do may start inside them:
                    // とほりたりたまきはる我が.)
                    // (A verb of one kanji with two kana or more of okurigana may start at a
                    // run's last kanji.)
                    const bool kanjiWord = containsKanji(text.sliced(p, m.length));
                    const bool endsKana =
                        p + m.length == n || !isKana(text[p + m.length].unicode());
                    const bool verbEndingRun =
                        m.length >= 3 && !containsKanji(text.sliced(p + 1, m.length - 1));
                    // (Nor a noun of two kanji or more after a verb's kanji alone whose
                    // okurigana old prints leave out: 日の入枯野 かれの.)
                    const bool afterVerb =
                        kind.poetic && p >= 1 && m.length >= 2 && isKanji(text[p + 1].unicode()) &&
                        (p < 2 || !isKanji(text[p - 2].unicode())) &&
                        KanjiDictionary::instance().hasOkurigana(text[p - 1].unicode()) &&
                        !KanjiDictionary::instance().firstKunIsWord(text[p - 1].unicode());
                    if ((kanjiWord && ((insideKanji && !verbEndingRun && !afterVerb) ||
                                       (!isKanji(text[p].unicode()) && insideKana))) ||
                        (!kanjiWord &&
                         (!kind.historical || (insideKana && (m.length < 4 || !endsKana)))))
                        continue;
                    // A name of one kanji (母 of 道綱母, 院) is the poets' and poems' own: in
                    // prose お母さん stays MeCab's word.
                    // (Nor as the start of a common noun of MeCab's: 恋人 こいびと.)
                    // (Old prose's 此 and 其 are words wherever MeCab knows none there.)
                    const bool mecabBlind = std::none_of(
                        lattice.startingAt(p).cbegin(), lattice.startingAt(p).cend(),
                        [&](int i) { return lattice.at(i).source == Source::Dictionary; });
                    if (m.length == 1 && !(&lexicon == &Lexicon::oldProse() && mecabBlind) &&
                        (!kind.poetic ||
                         std::any_of(lattice.startingAt(p).cbegin(), lattice.startingAt(p).cend(),
                                     [&](int i) {
                                         const Candidate &k = lattice.at(i);
                                         if (k.source != Source::Dictionary || k.end <= p + 1)
                                             return false;
                                         const MecabReader::Features f =
                                             m_mecab->features(k.feature);
                                         return f.partOfSpeech == u"名詞" && f.detail == u"一般" &&
                                                !f.reading.isEmpty();
                                     })))
                        continue;
                    // A verb in its end form is never followed by て or た: 待つて is 待って.
                    const qsizetype e = p + m.length;
                    if (e < n && QStringView(u"うくぐすつぬぶむる").contains(text[e - 1]) &&
                        QStringView(u"てでただ").contains(text[e]))
                        continue;
                    addWord(p, p + m.length, m.reading, source,
                            LexiconBonus + LexiconBonusPerCharacter * int(m.length));
                }
            };
            fromLexicon(Lexicon::names(), Source::Names);
            fromLexicon(Lexicon::oldProse(), Source::Lexicon);
            if (kind.poetic)
                fromLexicon(Lexicon::classical(), Source::Lexicon);
        }
        // Words naist-jdic holds whole where the IPA dictionary splits them or has none.
        if (m_mecab->dictionaryName() != u"naist-jdic") {
            for (const WholeWord &w :
                 wholeWords(mecabText, lattice, formsDictionary(), kind.poetic))
                addWord(w.begin, w.end, w.kana, Source::Lexicon, LexiconBonus);
        }
        if (kind.poetic || kind.historical) {
            for (const WholeWord &w : classicalAdjectives(mecabText))
                addWord(w.begin, w.end, w.kana, Source::Lexicon, LexiconBonus);
            for (const WholeWord &w : oneSoundStems(mecabText, *m_mecab))
                addWord(w.begin, w.end, w.kana, Source::Lexicon, LexiconBonus / 2);
        }
        // MeCab's words where a lexicon's word ends and MeCab's own words did not reach.
        for (qsizetype k = 0; k < ends.size(); ++k) {
            const qsizetype q = ends[k];
            if (q >= n || reached[size_t(q)])
                continue;
            reached[size_t(q)] = true;
            const QString rest = mecabText.mid(q, 48);
            const QList<MecabReader::Node> nodes = m_mecab->lattice(rest);
            for (const MecabReader::Node &node : nodes) {
                if (node.begin == 0 && node.end < rest.size() && !reached[size_t(q + node.end)])
                    ends.append(q + node.end);
            }
            addNodes(nodes, q, true);
        }
        // Any character on its own, dearly: no position is ever out of reach.
        for (qsizetype p = 0; p < n;) {
            int units = 1;
            codePointAt(text, p, &units);
            Candidate c;
            c.begin = p;
            c.end = p + units;
            c.left = m_nounLeft;
            c.right = m_nounRight;
            c.cost = CharacterCost;
            c.source = Source::Character;
            lattice.add(c);
            p += units;
        }

        const VoicedForm voiced = [this](QStringView surface, QStringView kana) {
            const MecabReader &forms = formsDictionary();
            for (const MecabReader::Node &node : forms.lattice(surface)) {
                if (node.begin == 0 && node.end == surface.size() && !node.unknown &&
                    forms.features(node.feature).reading == kana)
                    return true;
            }
            return false;
        };
        Modernised historicalSaid;
        // In today's prose, naist-jdic's reading of a word it parts as the IPA dictionary does.
        const auto proseReadings =
            !kind.prose || kind.poetic || kind.historical ||
                    m_mecab->dictionaryName() == u"naist-jdic"
                ? QHash<std::pair<qsizetype, qsizetype>, MecabReader::Features>()
                : secondReadings(mecabText, formsDictionary());
        // (The rival analysis that tells a doubtful reading is MeCab's alone.)
        auto tokensOf = [&](const QList<int> &path, bool second = true) {
            QList<Token> tokens;
            for (int index : path) {
                const Candidate &c = lattice.at(index);
                Token t;
                t.begin = c.begin;
                t.end = c.end;
                t.source = c.source;
                t.features = m_mecab->features(c.feature);
                const QStringView surface = text.sliced(c.begin, c.end - c.begin);
                if (!c.kana.isEmpty()) {
                    t.kana = c.kana;
                    // (A kanji MeCab does not know, read with its okurigana by KANJIDIC.)
                    t.doubtful = c.source == Source::Unknown;
                } else if ((c.source == Source::Dictionary || c.source == Source::Modern) &&
                           !t.features.reading.isEmpty()) {
                    const auto found = second && c.source == Source::Dictionary
                                           ? proseReadings.constFind({c.begin, c.end})
                                           : proseReadings.cend();
                    t.kana = toHiragana(
                        saidAsSpelled(found != proseReadings.cend() ? *found : t.features));
                    // (Not where naist-jdic reads a word starting with the kana: 少しはなれた.)
                    if (t.features.partOfSpeech == u"助詞" &&
                        (surface == u"は" || surface == u"へ")) {
                        const bool wordStartsHere =
                            second && std::any_of(proseReadings.keyBegin(), proseReadings.keyEnd(),
                                                  [&](const auto &span) {
                                                      return span.first == c.begin &&
                                                             span.second > c.end;
                                                  });
                        t.kana = wordStartsHere     ? surface.toString()
                                 : surface == u"は" ? QStringLiteral("わ")
                                                    : QStringLiteral("え");
                    }
                    // (No particle は follows another: はは is a word MeCab does not know,
                    // 母, ははそは.)
                    if (t.kana == u"わ" && surface == u"は" && !tokens.isEmpty() &&
                        tokens.back().end == c.begin && tokens.back().kana == u"わ" &&
                        text[tokens.back().begin] == u'は' &&
                        tokens.back().features.partOfSpeech == u"助詞") {
                        t.kana = QStringLiteral("は");
                        tokens.back().kana = QStringLiteral("は");
                    }
                    // (Nor the particle を: をば is written so; 鐘をはなるゝ is 離るる.)
                    if (t.kana == u"わ" && surface == u"は" && !tokens.isEmpty() &&
                        tokens.back().end == c.begin && text[tokens.back().begin] == u'を' &&
                        tokens.back().end - tokens.back().begin == 1)
                        t.kana = QStringLiteral("は");
                } else if (containsKanji(surface)) {
                    t.kana = KanjiDictionary::instance().read(surface, &t.alternatives,
                                                              c.end < n ? text[c.end] : QChar());
                    t.doubtful = true;
                } else if (isPunctuationFeature(t.features) && c.source != Source::Unknown) {
                    t.silent = true;
                } else if ((kind.historical || kind.poetic) && c.source == Source::Unknown) {
                    // Kana MeCab knows no word in, in verse or old spelling, said as today's
                    // spelling has it (とぶらはむ とぶらわん).
                    if (historicalSaid.text.isEmpty())
                        historicalSaid = modernFromHistorical(mecabText, true, kind.recited);
                    for (qsizetype k = 0; k < historicalSaid.text.size(); ++k) {
                        if (historicalSaid.origin[k] >= c.begin && historicalSaid.origin[k] < c.end)
                            t.kana += historicalSaid.text[k];
                    }
                } else {
                    t.kana = toHiragana(surface);
                }
                tokens.append(t);
            }
            rewrite(text, {kind.poetic, kind.historical, kind.recited}, tokens, voiced);
            return tokens;
        };
        QList<Token> tokens = tokensOf(lattice.best());
        // In a poem, the meter is evidence: of the analyses nearly as cheap as the best, the
        // first whose sounds fill its ku (5 or 7) or a whole haiku written in one run; for a
        // tanka in one run (whose five ku say more of where its words fall than a haiku's
        // three), the one whose words group nearest to its ku. The best stays when none does
        // better (字余り, 字足らず).
        const int target = kind.targetFor(origin[start], origin[end]);
        auto miss = [target](const QList<Token> &path) {
            QList<MeteredWord> words;
            int count = 0;
            for (const Token &t : path) {
                const int morae = t.silent ? 0 : moraCount(t.kana);
                count += morae;
                words.append({morae, !attachesToPrevious(t.features), false});
            }
            // (A ku one sound long with a word starting in a vowel inside it is the 字余り
            // verse allows: いえにあれば.)
            if (target > 0 && count == target + 1 &&
                std::any_of(path.cbegin() + 1, path.cend(), [](const Token &t) {
                    return !t.silent && !t.kana.isEmpty() &&
                           QStringView(u"あいうえお").contains(t.kana.front());
                }))
                return 0;
            if (target > 0)
                return count == target ? 0 : 1;
            // (A run of sounds well short of a tanka's is a haiku gone long, which no grouping
            // fits: 凡そ天下に去来程の小さき墓に参りけり.)
            if (count > 24)
                return count >= 28 ? meterMiss(words) : 1;
            return count == 17 ? 0 : 1;
        };
        // The analyses nearly as cheap as the best that read the run otherwise: the meter's
        // choices, and where the reading is in doubt.
        auto readingOf = [&](int index) {
            const Candidate &c = lattice.at(index);
            return c.kana.isEmpty() ? m_mecab->features(c.feature).reading : c.kana;
        };
        auto sounds = [](const QList<Token> &path) {
            int count = 0;
            for (const Token &t : path)
                count += t.silent ? 0 : moraCount(t.kana);
            return count;
        };
        qsizetype chosen = 0;
        QList<Lattice::Path> paths;
        if (int least = target != 0 && n <= 40 ? miss(tokens) : 0; least > 0) {
            paths = lattice.nBest(MeterPaths, MeterMargin, MeterWork, readingOf);
            // (A poem with sounds to spare, 字余り, is common; an analysis that says fewer
            // must be nearly as likely as the best: 上野を うえのを, not a name's わの.)
            const int bestSounds = sounds(tokens);
            for (qsizetype k = 1; k < paths.size() && least > 0; ++k) {
                QList<Token> other = tokensOf(paths[k].candidates);
                if (sounds(other) < bestSounds && target < 0 && bestSounds < 25 &&
                    paths[k].cost - paths[0].cost > ShorterMargin)
                    continue;
                if (const int m = miss(other); m < least) {
                    tokens = std::move(other);
                    chosen = k;
                    least = m;
                }
            }
        } else if (n <= DoubtLength && containsKanji(text)) {
            paths = lattice.nBest(2, DoubtMargin, DoubtWork, readingOf);
        }
        const qsizetype rival = chosen == 0 ? 1 : 0;
        if (rival < paths.size() && std::abs(paths[rival].cost - paths[chosen].cost) <= DoubtMargin)
            markDisagreements(text, tokensOf(paths[rival].candidates, false), tokens);

        for (const Token &t : tokens) {
            if (t.silent || t.kana.isEmpty())
                continue;
            Word w;
            w.surface = text.sliced(t.begin, t.end - t.begin).toString();
            w.kana = t.kana;
            w.begin = origin[start + t.begin];
            w.end = origin[start + t.end];
            w.doubtful = t.doubtful;
            w.alternatives = t.alternatives;
            w.alternatives.removeAll(w.kana);
            w.joinsPrevious = attachesToPrevious(t.features) && !out.isEmpty() &&
                              out.back().kind == Word::Kind::Japanese;
            out.append(w);
        }
        start = end;
    }
}

QString ReadingEngine::perLine(QStringView text,
                               const std::function<QString(const QList<Word> &)> &lineText) const
{
    QString out;
    const QList<QStringView> lines = text.split(u'\n');
    for (qsizetype li = 0; li < lines.size(); ++li) {
        if (li > 0)
            out += u'\n';
        out += lineText(words(lines[li]));
    }
    return out;
}

QString ReadingEngine::kana(QStringView text) const
{
    return perLine(text, [](const QList<Word> &words) {
        QString line;
        for (const Word &w : words) {
            if (w.kind == Word::Kind::Pause) {
                if (!line.isEmpty() && !line.endsWith(QLatin1String(", ")))
                    line += QStringLiteral(", ");
                continue;
            }
            if (!line.isEmpty() && !line.endsWith(u' ') && !w.joinsPrevious)
                line += u' ';
            line += w.kind == Word::Kind::Latin ? w.kana : spokenKana(w.kana);
        }
        if (line.endsWith(QLatin1String(", ")))
            line.chop(2);
        return line;
    });
}

QString ReadingEngine::romaji(QStringView text) const
{
    return hepburn(kana(text));
}

} // namespace reading
