#include "reading/WholeWords.h"

#include "reading/Counters.h"
#include "reading/KanaRules.h"
#include "reading/KanjiDictionary.h"

#include <algorithm>
#include <cstring>

namespace reading {

namespace {

// Whether `kana` says the two kanji of `word` each by its Chinese sound (痩骨 そうこつ), the
// first one's last く つ ち き as っ where the second starts unvoiced.
bool saidInChineseSounds(QStringView word, QStringView kana)
{
    if (word.size() != 2)
        return false;
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    for (const QString &first : kanji.readings(word[0].unicode()).on) {
        for (const QString &second : kanji.readings(word[1].unicode()).on) {
            if (kana == first + second || (QStringView(u"くつちき").contains(first.back()) &&
                                           kana == first.chopped(1) + u'っ' + second))
                return true;
        }
    }
    return false;
}

} // namespace

QList<WholeWord> wholeWords(QStringView text, const Lattice &lattice, const MecabReader &second,
                            bool verse)
{
    QList<WholeWord> words;
    const qsizetype n = text.size();
    auto startsHere = [&](qsizetype at, auto &&which) {
        return std::any_of(lattice.startingAt(at).cbegin(), lattice.startingAt(at).cend(),
                           [&](int i) { return which(lattice.at(i)); });
    };
    for (qsizetype p = 0; p < n;) {
        qsizetype e = p;
        while (e < n && isKanji(text[e].unicode()))
            ++e;
        if (e == p) {
            ++p;
            continue;
        }
        const bool loneUnknown =
            e - p == 1 &&
            !startsHere(p, [](const Candidate &k) { return k.source == Source::Dictionary; }) &&
            !KanjiDictionary::instance().hasWordAlone(text[p].unicode());
        if (e - p < 2 && !loneUnknown) {
            p = e + 1;
            continue;
        }
        for (const MecabReader::Node &node : second.lattice(text.sliced(p, e - p))) {
            const qsizetype b = p + node.begin, end = p + node.end;
            const MecabReader::Features &f = second.features(node.feature);
            // (A word of the first dictionary's over the same span stands, not one it makes
            // up (帚木); in verse, not where it is only a name: 馬上 ばじょう, not the family
            // name もうえ.)
            auto sameSpan = [&](const Candidate &k) {
                return k.end == end && k.source != Source::Character &&
                       k.source != Source::Unknown &&
                       !(verse && k.feature && std::strstr(k.feature, ",固有名詞,"));
            };
            // (And in prose a name of an era or a person, not of a place or a body: 元文, 西施.)
            const bool name =
                !verse && f.detail == u"固有名詞" && (f.detail2 == u"一般" || f.detail2 == u"人名");
            if (node.unknown || (end - b < 2 && !loneUnknown) || f.partOfSpeech != u"名詞" ||
                (f.detail != u"一般" && !name) || f.reading.isEmpty() || text[b] == u'御' ||
                std::any_of(text.begin() + b, text.begin() + end, isNumeral) ||
                (end < n && isHiragana(text[end].unicode()) &&
                 !QStringView(u"のをにがはもとへやでかぞよて").contains(text[end])) ||
                startsHere(b, sameSpan))
                continue;
            // (In verse a verb's kanji before a noun's is the verb's word, not a word of
            // Chinese sounds: 痩骨 やせぼね, not そうこつ.)
            const QString kana = toHiragana(f.reading);
            if (verse && KanjiDictionary::instance().hasOkurigana(text[b].unicode()) &&
                saidInChineseSounds(text.sliced(b, end - b), kana))
                continue;
            words.append({b, end, kana});
        }
        p = e;
    }
    return words;
}

QList<WholeWord> classicalAdjectives(QStringView text)
{
    QList<WholeWord> words;
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    for (qsizetype p = 0; p + 2 < text.size(); ++p) {
        if (!isKanji(text[p].unicode()))
            continue;
        for (const QString &kun : kanji.readings(text[p].unicode()).kun) {
            // (X.い: 寒 さむ.い, かり after it; X.しい: 涼 すず.しい, しかり after it.)
            const qsizetype dot = kun.indexOf(u'.');
            if (dot <= 0 || !kun.endsWith(u'い') || kun.startsWith(u'-'))
                continue;
            const QString written = kun.mid(dot + 1).chopped(1) + u'か';
            const qsizetype end = p + 1 + written.size();
            if (end < text.size() && text.sliced(p + 1, written.size()) == written &&
                QStringView(u"らりるれ").contains(text[end])) {
                words.append({p, end + 1, kun.left(dot) + written + text[end]});
                break;
            }
        }
    }
    return words;
}

QList<WholeWord> oneSoundStems(QStringView text, const MecabReader &dictionary)
{
    auto oneRow = [&](QChar kanji, const QString &stem) {
        const QString verb = QString(kanji) + u'る';
        const QList<MecabReader::Node> nodes = dictionary.lattice(verb);
        return std::any_of(nodes.cbegin(), nodes.cend(), [&](const MecabReader::Node &node) {
            if (node.unknown || node.begin != 0 || node.end != verb.size())
                return false;
            const MecabReader::Features &f = dictionary.features(node.feature);
            return f.partOfSpeech == u"動詞" && f.conjugation.startsWith(u"一段") &&
                   toHiragana(f.reading) == stem + u'る';
        });
    };
    QList<WholeWord> words;
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    for (qsizetype p = 0; p + 1 < text.size(); ++p) {
        if (!isKanji(text[p].unicode()) ||
            !QStringView(u"にぬなつてたしきけ").contains(text[p + 1]))
            continue;
        for (const QString &kun : kanji.readings(text[p].unicode()).kun) {
            if (kun.size() == 3 && kun[1] == u'.' && kun[2] == u'る' &&
                isHiragana(kun[0].unicode()) && oneRow(text[p], kun.left(1))) {
                words.append({p, p + 1, kun.left(1)});
                break;
            }
        }
    }
    return words;
}

QHash<std::pair<qsizetype, qsizetype>, MecabReader::Features>
secondReadings(QStringView text, const MecabReader &second)
{
    QHash<std::pair<qsizetype, qsizetype>, MecabReader::Features> readings;
    for (const MecabReader::Token &t : second.analyse(text)) {
        const bool startsAsParticle =
            (t.surface.startsWith(u'は') || t.surface.startsWith(u'へ')) &&
            t.features.partOfSpeech != u"助詞";
        if (!t.unknown && (containsKanji(t.surface) || startsAsParticle) &&
            !t.features.reading.isEmpty())
            readings.insert({t.begin, t.end}, t.features);
    }
    return readings;
}

} // namespace reading
