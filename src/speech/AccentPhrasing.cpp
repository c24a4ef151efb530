#include "speech/AccentPhrasing.h"

#include <QStringList>

namespace speech {

using Features = reading::MecabReader::Features;

QString partOfSpeechCode(const Features &f)
{
    const QString &pos = f.partOfSpeech;
    const QString &d = f.detail;
    if (pos == u"名詞") {
        if (d == u"サ変接続")
            return QStringLiteral("03");
        if (d == u"代名詞")
            return QStringLiteral("04");
        if (d == u"数")
            return QStringLiteral("05");
        if (d == u"固有名詞")
            return QStringLiteral("18");
        if (d == u"非自立")
            return QStringLiteral("22");
        if (d == u"形容動詞語幹")
            return QStringLiteral("19");
        if (d == u"接尾")
            return QStringLiteral("15");
        return QStringLiteral("02");
    }
    if (pos == u"動詞")
        return d == u"非自立" ? QStringLiteral("17")
               : d == u"接尾" ? QStringLiteral("15")
                              : QStringLiteral("20");
    if (pos == u"形容詞")
        return d == u"接尾" ? QStringLiteral("15") : QStringLiteral("01");
    if (pos == u"助詞") {
        if (d == u"格助詞")
            return QStringLiteral("13");
        if (d == u"係助詞")
            return QStringLiteral("24");
        if (d == u"終助詞")
            return QStringLiteral("14");
        if (d == u"接続助詞")
            return QStringLiteral("12");
        if (d == u"副助詞")
            return QStringLiteral("11");
        return QStringLiteral("23");
    }
    static const QList<std::pair<QStringView, QStringView>> others = {
        {u"助動詞", u"10"}, {u"接続詞", u"08"}, {u"接頭詞", u"16"},   {u"副詞", u"06"},
        {u"連体詞", u"07"}, {u"感動詞", u"09"}, {u"フィラー", u"25"},
    };
    for (const auto &[name, code] : others) {
        if (pos == name)
            return code.toString();
    }
    return QStringLiteral("xx");
}

QString conjugationCode(const QString &conjugation)
{
    // By the family the conjugation type belongs to: "五段・カ行イ音便" is 五段's.
    static const QList<std::pair<QStringView, QStringView>> families = {
        {u"五段", u"1"}, {u"一段", u"3"},   {u"サ変", u"4"},   {u"カ変", u"5"},
        {u"ラ変", u"6"}, {u"四段", u"6"},   {u"上二", u"6"},   {u"下二", u"6"},
        {u"文語", u"6"}, {u"不変化", u"6"}, {u"形容詞", u"7"}, {u"特殊", u"7"},
    };
    for (const auto &[family, code] : families) {
        if (conjugation.startsWith(family))
            return code.toString();
    }
    return QStringLiteral("xx");
}

QString formCode(const QString &form)
{
    static const QList<std::pair<QStringView, QStringView>> forms = {
        {u"未然", u"0"}, {u"連用", u"1"},     {u"仮定", u"4"},
        {u"命令", u"5"}, {u"体言接続", u"3"}, {u"ガル接続", u"6"},
    };
    if (form.isEmpty())
        return QStringLiteral("xx");
    for (const auto &[prefix, code] : forms) {
        if (form.startsWith(prefix))
            return code.toString();
    }
    // 基本形 and its kin (音便基本形, 文語基本形, ...).
    return form.contains(u"基本形") ? QStringLiteral("2") : QStringLiteral("6");
}

namespace {

bool isNoun(const Features &f)
{
    return f.partOfSpeech == u"名詞";
}

bool isParticleOrAuxiliary(const Features &f)
{
    return f.partOfSpeech == u"助詞" || f.partOfSpeech == u"助動詞";
}

bool isRenyou(const Features &f)
{
    return f.form.startsWith(u"連用");
}

// Whether `cur` is said in one accent phrase with the word before it, where the
// dictionary leaves that open. Particles and auxiliaries lean on what comes before; a
// content word after them, an adverb, a conjunction or an adnominal starts a new phrase;
// nouns run on into nouns (東京 都, 春 霞) but not after an adjective or a verb.
bool joinsPrevious(const Features &prev, const Features &cur)
{
    const QString &p = prev.partOfSpeech;
    const QString &c = cur.partOfSpeech;
    bool join = true;
    if ((p == u"形容詞" || p == u"動詞") && isNoun(cur))
        join = false;
    if (isNoun(prev) && prev.detail == u"形容動詞語幹" && isNoun(cur))
        join = false;
    if (p == u"動詞" && c == u"形容詞")
        join = false;
    for (const char16_t *alone : {u"副詞", u"接続詞", u"連体詞"}) {
        if (p == alone || c == alone)
            join = false;
    }
    if ((isNoun(prev) && prev.detail == u"副詞可能") || (isNoun(cur) && cur.detail == u"副詞可能"))
        join = false;
    if (isParticleOrAuxiliary(cur))
        join = true;
    if (isParticleOrAuxiliary(prev) && !isParticleOrAuxiliary(cur))
        join = false;
    if (prev.detail == u"接尾" && isNoun(cur))
        join = false;
    // A dependent adjective or verb after the form that takes it: 読みたい, 見ている.
    if (c == u"形容詞" && cur.detail == u"非自立" &&
        (((p == u"動詞" || p == u"形容詞") && isRenyou(prev)) ||
         (p == u"助詞" && prev.detail == u"接続助詞" &&
          (prev.base == u"て" || prev.base == u"で"))))
        join = true;
    if (c == u"動詞" && cur.detail == u"非自立" &&
        ((p == u"動詞" && isRenyou(prev)) || (isNoun(prev) && prev.detail == u"サ変接続")))
        join = true;
    if (isNoun(prev) && (c == u"動詞" || c == u"形容詞" || cur.detail == u"形容動詞語幹"))
        join = false;
    if (p == u"記号" || c == u"記号" || c == u"接頭詞")
        join = false;
    if ((prev.detail3 == u"姓" && isNoun(cur)) || (isNoun(prev) && cur.detail3 == u"名"))
        join = false;
    if (cur.detail == u"接尾")
        join = true;
    return join;
}

// The rule of `rule` ("動詞%F2@1/形容詞%F4@-2", "C3", "F2@0") that applies after a word of
// part of speech `prevPos`: its name and the morae it adds; "*" when none applies.
std::pair<QString, int> accentRuleAfter(const QString &rule, const QString &prevPos)
{
    for (const QString &item : rule.split(u'/', Qt::SkipEmptyParts)) {
        QString body = item;
        const qsizetype percent = item.indexOf(u'%');
        if (percent >= 0) {
            if (!prevPos.contains(item.left(percent)))
                continue;
            body = item.mid(percent + 1);
        }
        const qsizetype at = body.indexOf(u'@');
        return {at < 0 ? body : body.left(at), at < 0 ? 0 : body.mid(at + 1).toInt()};
    }
    return {QStringLiteral("*"), 0};
}

// The phrase's accent after word `word` (of `wordMorae` morae, accent `wordAccent`) joins
// it, `before` morae into the phrase; the rules are the dictionary's: F for particles and
// auxiliaries, C for nouns run together, P for suffixes.
int joinedAccent(int accent, const QString &rule, int add, int before, int wordAccent)
{
    if (rule == u"F2")
        return accent == 0 ? before + add : accent;
    if (rule == u"F3")
        return accent != 0 ? before + add : accent;
    if (rule == u"F4")
        return before + add;
    if (rule == u"F5" || rule == u"C4" || rule == u"P6")
        return 0;
    if (rule == u"C1")
        return before + wordAccent;
    if (rule == u"C2")
        return before + 1;
    if (rule == u"C3")
        return before;
    if (rule == u"P1")
        return wordAccent == 0 ? 0 : before + wordAccent;
    if (rule == u"P2")
        return wordAccent == 0 ? before + 1 : before + wordAccent;
    if (rule == u"P14")
        return wordAccent != 0 ? before + wordAccent : accent;
    return accent; // "*", F1, C5
}

bool isVoiceless(const QString &consonant)
{
    static const QStringList voiceless = {
        QStringLiteral("k"),  QStringLiteral("ky"), QStringLiteral("s"),  QStringLiteral("sh"),
        QStringLiteral("t"),  QStringLiteral("ch"), QStringLiteral("ts"), QStringLiteral("h"),
        QStringLiteral("hy"), QStringLiteral("f"),  QStringLiteral("p"),  QStringLiteral("py"),
    };
    return voiceless.contains(consonant);
}

// Whispers い and う between voiceless consonants (きく, した, つき), as Tokyo speech does,
// but not on a phrase's accent nucleus and never twice in a row.
void whisperVowels(hts::BreathGroup &group)
{
    struct At
    {
        hts::LabelWord *word;
        int index; // of the mora in its word
        hts::Mora mora;
        bool nucleus;
    };
    QList<At> all;
    for (hts::AccentPhrase &phrase : group) {
        int inPhrase = 0;
        for (hts::LabelWord &word : phrase.words) {
            const QList<hts::Mora> ms = hts::morae(word.pronunciation);
            for (int i = 0; i < ms.size(); ++i)
                all.append({&word, i, ms[i], ++inPhrase == phrase.accent});
        }
    }
    QList<std::pair<hts::LabelWord *, int>> whisper;
    bool previous = false;
    for (qsizetype i = 0; i + 1 < all.size(); ++i) {
        const At &m = all[i];
        const bool whispered =
            !previous && !m.nucleus && (m.mora.vowel == u"i" || m.mora.vowel == u"u") &&
            isVoiceless(m.mora.consonant) && isVoiceless(all[i + 1].mora.consonant);
        if (whispered)
            whisper.append({m.word, m.index});
        previous = whispered || m.mora.vowel == u"I" || m.mora.vowel == u"U";
    }
    // From the back, so that the marks put in do not move the morae still to be marked.
    for (qsizetype i = whisper.size() - 1; i >= 0; --i) {
        hts::LabelWord *word = whisper[i].first;
        const QList<qsizetype> ends = hts::moraEnds(word->pronunciation);
        word->pronunciation.insert(ends[whisper[i].second], u'’');
    }
}

} // namespace

QList<hts::BreathGroup> accentPhrases(const QList<ProsodyWord> &words, bool question)
{
    QList<hts::BreathGroup> groups;
    const Features *prev = nullptr;
    int before = 0; // morae of the phrase before the word being added
    for (const ProsodyWord &w : words) {
        const int morae = int(hts::morae(w.pronunciation).size());
        if (morae == 0) {
            // A word said as nothing (a mark) still parts phrases.
            prev = &w.features;
            continue;
        }
        const Features &f = w.features;
        const int wordAccent = std::max(f.accent, 0);
        const hts::LabelWord label{w.pronunciation,
                                   partOfSpeechCode(f),
                                   conjugationCode(f.conjugation),
                                   formCode(f.form),
                                   w.begin,
                                   w.end};
        const bool newGroup = groups.isEmpty() || w.pauseBefore;
        const bool join = !newGroup && prev && !groups.last().isEmpty() &&
                          (f.chain >= 0 ? f.chain == 1 : joinsPrevious(*prev, f));
        if (newGroup)
            groups.append(hts::BreathGroup());
        if (join) {
            hts::AccentPhrase &phrase = groups.last().last();
            const auto [rule, add] = accentRuleAfter(f.accentRule, prev->partOfSpeech);
            phrase.accent = joinedAccent(phrase.accent, rule, add, before, wordAccent);
            phrase.words.append(label);
            before += morae;
        } else {
            groups.last().append(hts::AccentPhrase{{label}, wordAccent, false});
            before = morae;
        }
        prev = &w.features;
    }
    for (hts::BreathGroup &group : groups) {
        for (hts::AccentPhrase &phrase : group) {
            int morae = 0;
            for (const hts::LabelWord &w : phrase.words)
                morae += int(hts::morae(w.pronunciation).size());
            phrase.accent = std::clamp(phrase.accent, 0, morae);
        }
        whisperVowels(group);
    }
    if (question && !groups.isEmpty() && !groups.last().isEmpty())
        groups.last().last().question = true;
    return groups;
}

} // namespace speech
