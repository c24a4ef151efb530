#include "speech/SpokenJapanese.h"

#include "reading/KanaRules.h"
#include "reading/ReadingEngine.h"

namespace speech {

using reading::MecabReader;
using reading::Word;

SpokenJapanese::SpokenJapanese(const reading::ReadingEngine &engine)
    : m_engine(engine), m_naist(MecabReader::Dictionary::NaistJdic)
{
    m_accents = m_naist.dictionaryName() == u"naist-jdic";
}

bool SpokenJapanese::soundsAlike(QStringView a, QStringView b)
{
    // Each mora as a vowel-less consonant and vowel, a vowel that only lengthens the one
    // before it (ー, おう, えい, ああ) as "long".
    const auto sounds = [](QStringView s) {
        QStringList out;
        QString vowelBefore;
        for (const hts::Mora &m : hts::morae(s)) {
            const QString vowel = m.vowel.toLower();
            const bool lengthens =
                m.consonant.isEmpty() && !vowelBefore.isEmpty() &&
                (vowel == vowelBefore || (vowelBefore == u"o" && vowel == u"u") ||
                 (vowelBefore == u"e" && vowel == u"i"));
            out << (lengthens ? QStringLiteral("long") : m.consonant + u'.' + vowel);
            vowelBefore = vowel;
        }
        return out;
    };
    return sounds(a) == sounds(b);
}

namespace {

// Latin letters said by their names, as a Japanese reader spells "CD" or "NHK".
QString spelled(QStringView latin)
{
    static const char16_t *const names[26] = {
        u"エー",   u"ビー",       u"シー",     u"ディー", u"イー",   u"エフ",   u"ジー",
        u"エイチ", u"アイ",       u"ジェー",   u"ケー",   u"エル",   u"エム",   u"エヌ",
        u"オー",   u"ピー",       u"キュー",   u"アール", u"エス",   u"ティー", u"ユー",
        u"ブイ",   u"ダブリュー", u"エックス", u"ワイ",   u"ゼット",
    };
    QString out;
    for (QChar c : latin) {
        const char16_t u = c.toUpper().unicode();
        if (u >= u'A' && u <= u'Z')
            out += QStringView(names[u - u'A']);
    }
    return out;
}

// A word of the reading engine's that naist-jdic knows nothing of: said as its kana, a
// noun without an accent of its own.
// Kana as said: おう and えい inside a word are long vowels (ようか ヨーカ, せんせい センセー);
// a final う stays, as verbs end in it (思う).
QString asSaid(const QString &kana)
{
    QString said = reading::toKatakana(kana);
    const QList<qsizetype> ends = hts::moraEnds(said);
    const QList<hts::Mora> ms = hts::morae(said);
    for (qsizetype i = ms.size() - 1; i >= 1; --i) {
        const QString before = ms[i - 1].vowel.toLower();
        const bool last = i == ms.size() - 1;
        const qsizetype at = ends[i] - 1;
        if (ms[i].consonant.isEmpty() && at >= 0 && at < said.size() &&
            ((before == u"o" && ms[i].vowel == u"u" && !last) ||
             (before == u"e" && ms[i].vowel == u"i")) &&
            (said[at] == u'ウ' || said[at] == u'イ'))
            said[at] = u'ー';
    }
    return said;
}

ProsodyWord plainWord(const QString &kana)
{
    ProsodyWord w;
    w.pronunciation = asSaid(kana);
    w.features.partOfSpeech = QStringLiteral("名詞");
    w.features.detail = QStringLiteral("一般");
    w.features.accent = 0;
    return w;
}

ProsodyWord fromToken(const MecabReader::Token &t)
{
    ProsodyWord w;
    w.pronunciation =
        t.features.pronunciation.isEmpty() ? t.features.reading : t.features.pronunciation;
    w.features = t.features;
    return w;
}

// Whether `said` is the parts' sounds changed as numbers and counters change them where
// they meet (イチ ホン -> イッポン, サン ホン -> サンボン): as many morae in each part, each
// part's first vowel kept. 二日 ふつか is not (ニ ニチ).
bool soundChanged(const QList<ProsodyWord> &parts, const QString &said)
{
    const QList<hts::Mora> whole = hts::morae(said);
    qsizetype at = 0;
    for (const ProsodyWord &p : parts) {
        const QList<hts::Mora> own = hts::morae(p.pronunciation);
        if (own.isEmpty() || at + own.size() > whole.size() ||
            own.first().vowel.toLower() != whole[at].vowel.toLower())
            return false;
        at += own.size();
    }
    return parts.size() > 1 && at == whole.size();
}

// Words naist-jdic divides as the engine does but says otherwise (一本 イチ ホン, said いっぽん):
// when the morae come out as many, each part gets its share (いっ ぽん) and keeps its
// features, so that a counter moves the accent as counters do; else the whole is one word
// with its first part's features.
QList<ProsodyWord> saidOtherwise(QList<ProsodyWord> parts, const QString &said)
{
    const QList<qsizetype> ends = hts::moraEnds(said);
    qsizetype total = 0;
    for (const ProsodyWord &p : parts)
        total += hts::morae(p.pronunciation).size();
    if (soundChanged(parts, said) && total == ends.size()) {
        qsizetype mora = 0;
        qsizetype from = 0;
        for (ProsodyWord &p : parts) {
            mora += hts::morae(p.pronunciation).size();
            const qsizetype to = mora > 0 ? ends[mora - 1] : 0;
            p.pronunciation = said.mid(from, to - from);
            from = to;
        }
        return parts;
    }
    // The parts say nothing of the whole's accent (二日 is not ニ + ニチ): said flat.
    ProsodyWord one = parts.first();
    one.pronunciation = said;
    one.features.accent = 0;
    return {one};
}

// The auxiliary う of will lengthens the vowel before it: しよう is said しよお, 行こう いこお.
void lengthenVolitional(QList<ProsodyWord> &words)
{
    for (qsizetype i = 1; i < words.size(); ++i) {
        ProsodyWord &w = words[i];
        const QList<hts::Mora> before = hts::morae(words[i - 1].pronunciation);
        if (w.features.partOfSpeech == u"助動詞" && w.pronunciation == u"ウ" && !before.isEmpty() &&
            before.last().vowel.toLower() == u"o")
            w.pronunciation = QStringLiteral("オ");
    }
}

QString pronunciationOf(const QList<ProsodyWord> &words)
{
    QString out;
    for (const ProsodyWord &w : words)
        out += w.pronunciation;
    return out;
}

} // namespace

QList<ProsodyWord> SpokenJapanese::byKana(const QString &kana) const
{
    QList<ProsodyWord> out;
    if (!m_accents)
        return out;
    // Only a word found whole counts: kana cut into pieces (みっか -> ミッ カ) or read as an
    // interjection or a mark (いっ) is not that word.
    // One kana says too little to find its word by (き: 木, 気, 来).
    const QList<MecabReader::Token> tokens = m_naist.analyse(reading::toHiragana(kana));
    if (tokens.size() != 1 || hts::morae(kana).size() < 2)
        return out;
    const MecabReader::Token &t = tokens.first();
    if (t.unknown || t.features.partOfSpeech == u"感動詞" || t.features.partOfSpeech == u"記号" ||
        t.features.partOfSpeech == u"フィラー")
        return out;
    out.append(fromToken(t));
    return out;
}

// The words of a run between pauses as the engine reads them, read again by naist-jdic
// together, so that each word is analysed in its context (開店 する: the verb する).
QList<ProsodyWord> SpokenJapanese::wordsOf(const QList<Word> &group) const
{
    QString surface;
    QList<qsizetype> starts;
    for (const Word &w : group) {
        starts.append(surface.size());
        surface += w.surface;
    }
    const QList<MecabReader::Token> tokens =
        m_accents ? m_naist.analyse(surface) : QList<MecabReader::Token>();
    QList<ProsodyWord> out;
    for (qsizetype i = 0; i < group.size(); ++i) {
        const Word &w = group[i];
        if (w.kind == Word::Kind::Latin) {
            const QString letters = spelled(w.kana);
            if (!letters.isEmpty()) {
                out.append(plainWord(letters));
                out.last().begin = w.begin;
                out.last().end = w.end;
            }
            continue;
        }
        const qsizetype from = starts[i];
        const qsizetype to = from + w.surface.size();
        QList<ProsodyWord> mine;
        qsizetype covered = from;
        for (const MecabReader::Token &t : tokens) {
            if (t.begin >= from && t.end <= to && t.begin == covered) {
                mine.append(fromToken(t));
                covered = t.end;
            }
        }
        const bool tiled = covered == to && !mine.isEmpty();
        if (!tiled || w.fromRuby || !soundsAlike(pronunciationOf(mine), w.kana)) {
            // Read otherwise: ruby (春日《かすが》) and words naist-jdic does not divide as the
            // engine does are looked up by their kana; a word it divides alike but says
            // otherwise keeps its parts' features (一本 いっぽん) or, when the sounds are
            // another word's altogether (二日 ふつか), is looked up by its kana too.
            const QString said = asSaid(w.kana);
            QList<ProsodyWord> again;
            if (w.fromRuby || !tiled || !soundChanged(mine, said))
                again = byKana(w.kana);
            if (soundsAlike(pronunciationOf(again), w.kana)) {
                mine = again;
            } else if (tiled) {
                mine = saidOtherwise(mine, said);
            } else {
                mine = {plainWord(w.kana)};
            }
        }
        for (ProsodyWord &p : mine) {
            p.begin = w.begin;
            p.end = w.end;
        }
        out += mine;
    }
    return out;
}

QList<ProsodyWord> SpokenJapanese::prosodyWords(QStringView line) const
{
    QList<ProsodyWord> out;
    QList<Word> group;
    bool pause = false;
    const auto flush = [&] {
        if (group.isEmpty())
            return;
        QList<ProsodyWord> words = wordsOf(group);
        lengthenVolitional(words);
        if (!words.isEmpty() && pause)
            words.first().pauseBefore = true;
        pause = false;
        out += words;
        group.clear();
    };
    for (const Word &w : m_engine.words(line)) {
        if (w.kind == Word::Kind::Pause) {
            flush();
            pause = !out.isEmpty();
            continue;
        }
        group.append(w);
    }
    flush();
    return out;
}

QList<hts::BreathGroup> SpokenJapanese::utterance(QStringView line) const
{
    const QStringView trimmed = line.trimmed();
    const bool question = trimmed.endsWith(u'？') || trimmed.endsWith(u'?');
    return accentPhrases(prosodyWords(line), question);
}

QStringList SpokenJapanese::labels(QStringView line,
                                   QList<std::pair<qsizetype, qsizetype>> *spans) const
{
    const QList<hts::BreathGroup> u = utterance(line);
    if (spans)
        *spans = hts::labelSpans(u);
    return hts::fullContextLabels(u);
}

} // namespace speech
