#include "reading/NodeCosts.h"

#include "reading/Counters.h"
#include "reading/KanaRules.h"
#include "reading/KanjiDictionary.h"

#include <algorithm>
#include <cstring>

namespace reading {

namespace {

// How the features of a proper noun and of a suffix start in both dictionaries.
constexpr char ProperNoun[] = "名詞,固有名詞,";
constexpr char Suffix[] = "名詞,接尾,";

} // namespace

NodeCosts::NodeCosts(const MecabReader &mecab, QStringView text, QStringView mecabText, bool poetic,
                     bool recited, const QSet<qsizetype> &leftOut,
                     const QList<MecabReader::Node> &nodes, qsizetype shift)
    : m_mecab(mecab), m_text(text), m_mecabText(mecabText), m_poetic(poetic), m_leftOut(leftOut),
      m_shift(shift), m_longWordStarts(size_t(mecabText.size() - shift + 1), false)
{
    // A country's short name of one character, beside no other: the plain noun is meant (露の
    // 世 つゆ, 米の飯 こめ, 仏 ほとけ, 日当り ひ), not Russia, America, France or Japan, nor
    // their sound as a common noun (仏 フツ); 日米 and 英仏 are countries.
    QHash<qsizetype, QString> countries;
    for (const MecabReader::Node &node : nodes) {
        if (node.end - node.begin != 1 || !std::strstr(node.feature, ",国,"))
            continue;
        const MecabReader::Features &f = m_mecab.features(node.feature);
        if (f.detail == u"固有名詞" && f.detail3 == u"国")
            countries.insert(node.begin, f.reading);
    }
    // (A katakana beside it is a country too: 米ソ.)
    const QStringView shifted = mecabText.sliced(shift);
    auto beside = [&](qsizetype i) {
        return countries.contains(i) ||
               (i >= 0 && i < shifted.size() && isKatakana(shifted[i].unicode()));
    };
    for (auto it = countries.cbegin(); it != countries.cend(); ++it) {
        if (!beside(it.key() - 1) && !beside(it.key() + 1))
            m_countries.insert({it.key(), it.value()});
    }

    // In a waka a kanji alone is a native word where the dictionary has one (門 かど, 術 すべ,
    // 瓶 かめ), not its Chinese sound.
    // (Where MeCab has only the Chinese sound, KANJIDIC's native word: 園 その.)
    // (Or only as a name, whose classes join the words around it worse: 園 ソノ.)
    if (recited) {
        QSet<qsizetype> nativeCommon;
        for (const MecabReader::Node &node : nodes) {
            bool on = false;
            if (aloneNoun(node, &on) && !on) {
                m_nativeAlone.insert(node.begin);
                if (m_mecab.features(node.feature).detail != u"固有名詞")
                    nativeCommon.insert(node.begin);
            }
        }
        const KanjiDictionary &kanji = KanjiDictionary::instance();
        for (const MecabReader::Node &node : nodes) {
            const char32_t c = mecabText[node.begin + shift].unicode();
            if (bool on = false; !nativeCommon.contains(node.begin) && !isNumeral(QChar(c)) &&
                                 aloneNoun(node, &on) && on &&
                                 kanji.readings(c).kun.contains(kanji.alone(c)))
                m_kunAlone.insert(node.begin, kanji.alone(c));
        }
        for (auto k = m_kunAlone.cbegin(); k != m_kunAlone.cend(); ++k)
            m_nativeAlone.insert(k.key());
    }
    // Where the dictionary has a word of a kanji and its okurigana (冷し of 鑿冷したる), and
    // where a common word starts with two kanji.
    for (const MecabReader::Node &node : nodes) {
        if (node.unknown || node.end - node.begin < 2 ||
            !isKanji(mecabText[node.begin + shift].unicode()))
            continue;
        const QChar second = mecabText[node.begin + shift + 1];
        if (isHiragana(second.unicode()))
            m_wordStarts.insert(node.begin);
        else if (isKanji(second.unicode()) &&
                 std::strncmp(node.feature, ProperNoun, sizeof ProperNoun - 1) != 0)
            m_longWordStarts[size_t(node.begin)] = true;
    }
}

bool NodeCosts::aloneNoun(const MecabReader::Node &node, bool *on) const
{
    if (node.unknown || node.end - node.begin != 1 ||
        !isKanji(m_mecabText[node.begin + m_shift].unicode()))
        return false;
    // (A suffix too, but for a counter: 色 しょく, 風 ふう; 年 ねん stays.)
    const MecabReader::Features &f = m_mecab.features(node.feature);
    if (f.partOfSpeech != u"名詞" || f.detail2 == u"人名" || f.detail2 == u"助数詞" ||
        (f.detail != u"一般" && f.detail != u"固有名詞" && f.detail != u"接尾"))
        return false;
    const KanjiDictionary::Readings r =
        KanjiDictionary::instance().readings(m_mecabText[node.begin + m_shift].unicode());
    const QString kana = toHiragana(f.reading);
    *on = r.on.contains(kana);
    return *on || r.kun.contains(kana);
}

// A name that ends in a kanji with kana after it that is no particle, but the okurigana of
// that kanji's verb, has taken the verb's stem in a poem: 花咲きぬ is 花 咲きぬ, not the place
// 花咲 (みかの原わきて keeps its 原).
bool NodeCosts::nameBeforeOkurigana(const MecabReader::Node &node) const
{
    const QStringView t = m_mecabText.sliced(m_shift);
    if (node.end >= t.size() || !isKanji(t[node.end - 1].unicode()) ||
        !isHiragana(t[node.end].unicode()) ||
        QStringView(u"のをにとやぞばがはへもかよねさ").contains(t[node.end]) ||
        KanjiDictionary::instance().stemBefore(t[node.end - 1].unicode(), t[node.end]).isEmpty())
        return false;
    return m_mecab.features(node.feature).detail == u"固有名詞";
}

// A number and its counter that MeCab also knows as a place (十四日 トヨヒ) is the number.
bool NodeCosts::numberAsName(QStringView word, const char *feature) const
{
    qsizetype digits = 0;
    while (digits < word.size() && isNumeral(word[digits]))
        ++digits;
    return digits > 0 && digits < word.size() && counterAt(word, digits) == word.size() - digits &&
           m_mecab.features(feature).detail == u"固有名詞";
}

bool NodeCosts::dependent(const char *feature) const
{
    const MecabReader::Features &f = m_mecab.features(feature);
    return f.partOfSpeech == u"助詞" || f.partOfSpeech == u"助動詞";
}

int NodeCosts::extra(const MecabReader::Node &node) const
{
    const QStringView text = m_text;
    const QStringView mecabText = m_mecabText;
    const qsizetype n = text.size();
    // The node's span in the piece of the line.
    const struct
    {
        qsizetype begin;
        qsizetype end;
    } c{node.begin + m_shift, node.end + m_shift};
    int cost = 0;
    if (c.begin == 0 && dependent(node.feature))
        cost += DependentAtStartCost;
    // A verb's spoken contraction (わかんない's わか) stands in literature mostly
    // where MeCab misreads an old print: 散て is 散って, not ち て; so do an
    // imperative and a form for ば before a kanji (落て旅ね 落ちて).
    if (std::strstr(node.feature, "体言接続特殊２") ||
        ((std::strstr(node.feature, "命令ｅ") || std::strstr(node.feature, "仮定形")) &&
         c.end < n && isKanji(text[c.end].unicode())))
        cost += ContractionCost;
    if (m_poetic && nameBeforeOkurigana(node))
        cost += NameBeforeOkuriganaCost;
    // A word MeCab makes up of kanji ends before the last where the dictionary has
    // a word of it with its okurigana: 鑿冷したる のみ ひやしたる.
    if (node.unknown && node.end - node.begin > 1 && m_wordStarts.contains(node.end - 1) &&
        std::all_of(text.begin() + c.begin, text.begin() + c.end,
                    [](QChar k) { return isKanji(k.unicode()); }))
        cost += ContractionCost;
    // (Nor does a word MeCab makes up run into 哉 ending the line: 雪吹哉.)
    if (node.unknown && node.end - node.begin > 1 && text[c.end - 1] == u'哉' &&
        (c.end == n || text[c.end].isSpace()))
        cost += ClosingKanaSwallowedCost;
    if (node.unknown && node.end - node.begin >= UnknownKanaRun &&
        std::all_of(text.begin() + c.begin, text.begin() + c.end,
                    [](QChar k) { return isHiragana(k.unicode()); }))
        cost += UnknownKanaRunCost + UnknownKanaCost * int(node.end - node.begin - UnknownKanaRun);
    if (bool on = false; m_nativeAlone.contains(node.begin) && aloneNoun(node, &on) && on)
        cost += OnAloneCost;
    if (m_leftOut.contains(c.begin))
        cost += ContractionCost;
    // In verse a suffix in its Chinese sound is unlikely after a word in kana: さく
    // 音 おと (柵音 さくおん).
    if (m_poetic && c.begin > 0 && !node.unknown && node.end - node.begin == 1 &&
        isHiragana(text[c.begin - 1].unicode()) && std::strstr(node.feature, "名詞,接尾,一般") &&
        KanjiDictionary::instance().hasWordAlone(text[c.begin].unicode()) &&
        KanjiDictionary::instance()
            .readings(text[c.begin].unicode())
            .on.contains(toHiragana(m_mecab.features(node.feature).reading)))
        cost += OnAloneCost;
    // A suffix voiced as in a compound (日 び) is no compound's end before a verb in
    // kana (虚空日わたる ひ), nor where a word of the dictionary starts with its kanji (一葉日当り
    // ひあたり).
    if (!node.unknown && node.end - node.begin == 1 && c.end < n &&
        std::strncmp(node.feature, Suffix, sizeof Suffix - 1) == 0 &&
        ((isHiragana(text[c.end].unicode()) &&
          !QStringView(u"のをにがはもとやへぞかでよなだ").contains(text[c.end])) ||
         m_longWordStarts[size_t(node.begin)]) &&
        QStringView(u"がぎぐげござじずぜぞだぢづでどばびぶべぼ")
            .contains(toHiragana(m_mecab.features(node.feature).reading).front()))
        cost += OnAloneCost;
    // A kanji prefix in its Chinese sound joins words of that sound, not a
    // native word written with okurigana: 今盛り いまさかり (こんもり).
    if (c.end + 1 < n && !node.unknown && node.end - node.begin == 1 &&
        isKanji(text[c.end].unicode()) && isHiragana(text[c.end + 1].unicode()) &&
        !isParticleLike(text[c.end + 1]) && QStringView(u"はもがへ").indexOf(text[c.end + 1]) < 0 &&
        KanjiDictionary::instance().hasOkurigana(text[c.end].unicode()) &&
        m_mecab.features(node.feature).partOfSpeech == u"接頭詞" &&
        KanjiDictionary::instance()
            .readings(text[c.begin].unicode())
            .on.contains(toHiragana(m_mecab.features(node.feature).reading)))
        cost += ContractionCost;
    // In verse a kanji prefix in its Chinese sound before a noun is unlikely where
    // the kanji alone writes a native word: もの皆俳句 みな (皆 かい).
    if (m_poetic && c.end < n && !node.unknown && node.end - node.begin == 1 &&
        isKanji(text[c.end].unicode()) &&
        m_mecab.features(node.feature).partOfSpeech == u"接頭詞" &&
        KanjiDictionary::instance().firstKunIsWord(text[c.begin].unicode()) &&
        KanjiDictionary::instance()
            .readings(text[c.begin].unicode())
            .on.contains(toHiragana(m_mecab.features(node.feature).reading)))
        cost += OnAloneCost;
    if (numberAsName(QStringView(mecabText).sliced(c.begin, c.end - c.begin), node.feature))
        cost += ContractionCost;
    if (!m_countries.isEmpty() && node.end - node.begin == 1 &&
        m_countries.contains({node.begin, m_mecab.features(node.feature).reading}))
        cost += LoneCountryCost;
    return cost;
}

} // namespace reading
