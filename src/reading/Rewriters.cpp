#include "reading/Rewriters.h"

#include "reading/Counters.h"
#include "reading/KanaRules.h"
#include "reading/KanjiDictionary.h"

namespace reading {

namespace {

// What a token covers of the text.
QStringView surfaceOf(QStringView text, const Token &t)
{
    return text.sliced(t.begin, t.end - t.begin);
}

// Whether `rest` is the かな (or 哉) that ends a haiku: the line's end or a blank after it.
bool isClosingKana(QStringView rest)
{
    const qsizetype n = rest.startsWith(u"かな") ? 2 : rest.startsWith(u'哉') ? 1 : 0;
    return n > 0 && (rest.size() == n || rest[n].isSpace());
}

} // namespace

// Numbers MeCab reads digit by digit (二|十|歳, 十|日, 三|百|本) as one word with their
// counter: はたち, とおか, さんびゃっぽん; a number without a counter as a whole (二〇二六),
// but in verse 二十 alone is an age (その子二十 はたち).
void joinNumbers(QStringView text, bool poetic, QList<Token> &tokens)
{
    auto numeric = [&](const Token &t) {
        if (t.source != Source::Dictionary && t.source != Source::Unknown)
            return false;
        for (qsizetype k = t.begin; k < t.end; ++k) {
            if (!isNumeral(text[k]))
                return false;
        }
        return true;
    };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (!numeric(tokens[i]))
            continue;
        qsizetype j = i;
        while (j + 1 < tokens.size() && numeric(tokens[j + 1]))
            ++j;
        const qsizetype b = tokens[i].begin, e = tokens[j].end;
        const long long value = numberValue(text.sliced(b, e - b));
        if (value < 0) {
            i = j;
            continue;
        }
        QString kana;
        qsizetype last = j;
        if (const qsizetype counter = counterAt(text, e)) {
            // The counter must be whole words of the path (一日中 is no 一日).
            qsizetype k = j + 1;
            while (k < tokens.size() && tokens[k].end < e + counter)
                ++k;
            const bool afterMonth = b > 1 && text[b - 1] == u'月' && isNumeral(text[b - 2]);
            const QStringView unit = text.sliced(e, counter);
            if (k < tokens.size() && tokens[k].end == e + counter) {
                kana = countedReading(value, unit, afterMonth);
                // The year of an era, after its name: 昭和九年 しょうわくねん.
                if (unit == u"年" && value % 10 == 9 && kana.endsWith(u"きゅうねん") && i > 0 &&
                    tokens[i - 1].end == b && tokens[i - 1].features.detail == u"固有名詞" &&
                    tokens[i - 1].end - tokens[i - 1].begin == 2)
                    kana.replace(kana.size() - 5, 3, QStringLiteral("く"));
                last = k;
            } else if (k == j + 1 && k < tokens.size() && tokens[k].begin == e &&
                       tokens[k].end == e + counter + 1 && text[e + counter] == u'半' &&
                       tokens[k].kana.startsWith(counterReading(unit))) {
                // The counter and a half as one word (時半 じはん): the counter said after
                // the number, then the half (九時半 くじはん; 一人前 is a word of its own).
                kana = countedReading(value, unit, afterMonth) +
                       tokens[k].kana.mid(counterReading(unit).size());
                last = k;
            }
        }
        if (kana.isEmpty() && j > i) {
            const bool age = poetic && value == 20 && text.sliced(b, e - b) == u"二十" &&
                             (e == text.size() || !QStringView(u"余数").contains(text[e]));
            kana = age ? QStringLiteral("はたち") : numberReading(QString::number(value));
            last = j;
        }
        if (kana.isEmpty()) {
            i = j;
            continue;
        }
        Token joined = tokens[i];
        joined.end = tokens[last].end;
        joined.kana = kana;
        joined.doubtful = false;
        joined.alternatives.clear();
        tokens.remove(i + 1, last - i);
        tokens[i] = joined;
    }
}

// Words as verse says them: 行く is ゆく; the classical 来 by the form its ending shows
// (こ before む ず じ ば よ and before ぬ that ends a noun's modifier, く before る れ, き
// before the rest: 来ぬ人 こぬひと, 来るる くるる, 秋来ぬ あききぬ); a single kanji MeCab takes
// for a name (仏 as France, 露 as Russia) as its word (ほとけ, つゆ); an adjective's kanji
// before the closing かな as its noun (寒かな さむさかな).
void poeticWords(QStringView text, QList<Token> &tokens)
{
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        const QStringView surface = surfaceOf(text, t);
        const bool fromMecab = t.source == Source::Dictionary || t.source == Source::Modern;
        const Token *following =
            i + 1 < tokens.size() && tokens[i + 1].begin == t.end ? &tokens[i + 1] : nullptr;
        if (fromMecab && (t.features.base == u"行く" || t.features.base == u"行き") &&
            surface.startsWith(u'行') && t.kana.startsWith(u'い') &&
            !t.kana.startsWith(QStringLiteral("いっ"))) {
            // 行く ゆく, 紫野行き むらさきのゆき; 行つた stays いった.
            t.kana[0] = u'ゆ';
        } else if (fromMecab && surface.startsWith(u'初') && t.kana.startsWith(u"はじめ") &&
                   i > 0 && tokens[i - 1].end == t.begin &&
                   ((tokens[i - 1].features.partOfSpeech == u"動詞" &&
                     tokens[i - 1].features.form.startsWith(u"連用")) ||
                    (tokens[i - 1].features.partOfSpeech == u"名詞" &&
                     QStringView(u"いきぎしちにひびみりえけげせてねへべめれ")
                         .contains(text[t.begin - 1])))) {
            // After a verb's continuative (or a noun made of one) 初む is to begin:
            // 濁り初めたる にごりそめたる.
            t.kana.replace(0, 3, QStringLiteral("そめ"));
        } else if (fromMecab && t.features.base.endsWith(QStringLiteral("入る")) &&
                   t.kana.startsWith(QStringLiteral("はい")) &&
                   (t.features.base != u"入る" || t.features.form != u"連用タ接続")) {
            // The old verb いる: 日の入る ひのいる, 分け入る; today's 入った alone is today's.
            t.kana.remove(0, 1);
        } else if (surface == u"我" && t.source != Source::User && following &&
                   (isKanji(text[following->begin].unicode()) ||
                    (isHiragana(text[following->begin].unicode()) &&
                     following->end - following->begin > 1)) &&
                   following->features.partOfSpeech == u"名詞") {
            t.kana = QStringLiteral("わが"); // 我名 わがな, 我目 わがめ, 我いのち
            // The noun is the native word, not a suffix's on reading (名 メイ).
            if (following->end - following->begin == 1 && following->features.detail == u"接尾") {
                if (const QString word = kanji.alone(text[following->begin].unicode());
                    !word.isEmpty())
                    tokens[i + 1].kana = word;
            }
        } else if (surface == u"寝る" && t.kana == u"ぬる" &&
                   (t.end == text.size() ||
                    !(isKana(text[t.end].unicode()) || isKanji(text[t.end].unicode())))) {
            // The old ぬる is the form before a noun (寝る夜 ぬるよ); ending a line, today's.
            t.kana = QStringLiteral("ねる");
        } else if (fromMecab && surface == u"風" && t.kana == u"ふう" && t.begin > 0 &&
                   isHiragana(text[t.begin - 1].unicode())) {
            t.kana = QStringLiteral("かぜ"); // 散りぬる風: no suffix -風 after a verb
        } else if ((surface == u"来ん" || surface == u"来む") && fromMecab) {
            t.kana = QStringLiteral("こん"); // 来ん春: the coming spring
        } else if (surface == u"来ぬ" && t.kana == u"こぬ" && t.source != Source::User &&
                   t.end < text.size() && QStringView(u"るれらべ").contains(text[t.end])) {
            // The perfective ぬ goes on: 来ぬれば, 来ぬらむ, 来ぬべし are きぬ.
            t.kana = QStringLiteral("きぬ");
        } else if (surface == u"来" && t.source != Source::User && t.source != Source::Lexicon &&
                   t.end < text.size() && isKana(text[t.end].unicode())) {
            const QChar next = text[t.end];
            const QChar after = t.end + 1 < text.size() ? text[t.end + 1] : QChar();
            const bool negative = QStringView(u"むんずじばよ").contains(next) ||
                                  (next == u'ぬ' && isKanji(after.unicode()));
            t.kana = negative                              ? QStringLiteral("こ")
                     : QStringView(u"るれ").contains(next) ? QStringLiteral("く")
                                                           : QStringLiteral("き");
        } else if (surface.size() == 1 && isKanji(surface[0].unicode()) &&
                   t.source != Source::User && t.source != Source::Lexicon &&
                   t.end + 1 < text.size() && text[t.end] == u'る' &&
                   (text[t.end + 1] == u'る' || text[t.end + 1] == u'れ')) {
            // The classical -るる, -るれ of a verb written with its stem in kanji (流るる,
            // 乱るれ): the stem of the kanji's verb in -る or -れる (みだ.れる); of a verb of
            // five rows, its irrealis before the passive (吹るる ふかるる, 呼るる よばるる).
            const QStringList kuns = kanji.readings(surface[0].unicode()).kun;
            QString stem;
            for (const QString &kun : kuns) {
                const QString okurigana = kun.section(u'.', 1);
                if (kun.contains(u'.') && (okurigana == u"る" || okurigana == u"れる")) {
                    stem = kun.section(u'.', 0, 0);
                    break;
                }
            }
            for (qsizetype k = 0; k < kuns.size() && stem.isEmpty(); ++k) {
                const QString okurigana = kuns[k].section(u'.', 1);
                const qsizetype row = QStringView(u"うくぐすつぬぶむ").indexOf(okurigana);
                if (kuns[k].contains(u'.') && okurigana.size() == 1 && row >= 0)
                    stem = kuns[k].section(u'.', 0, 0) + QStringView(u"わかがさたなばま")[row];
            }
            if (!stem.isEmpty())
                t.kana = stem;
        } else if (fromMecab && surface.size() == 1 && isKanji(surface[0].unicode()) &&
                   (t.begin == 0 || !isKanji(text[t.begin - 1].unicode())) &&
                   isClosingKana(text.sliced(t.end))) {
            // An adjective's kanji alone before the closing かな is its noun, the さ left out
            // by old prints: 寒かな さむさかな, 涼哉 すずしさかな (夜寒哉 is one word; 薄哉
            // is the word すすき).
            // (Not the noun in い of a verb in う: 匂 にお.い, にお.う, 匂かな においかな.)
            const bool word = kanji.hasWordAlone(surface[0].unicode());
            const QStringList kuns =
                word ? QStringList() : kanji.readings(surface[0].unicode()).kun;
            // (Where it has a word of its own, a prefix or an adjective's stem there is that
            // word: 薄哉 すすきかな.)
            if (word &&
                (t.features.partOfSpeech == u"接頭詞" || t.features.partOfSpeech == u"形容詞"))
                t.kana = kanji.alone(surface[0].unicode());
            for (const QString &kun : kuns) {
                const bool verbsNoun =
                    kun.endsWith(QStringLiteral(".い")) && kuns.contains(kun.chopped(1) + u'う');
                if (!verbsNoun && (kun.endsWith(QStringLiteral(".い")) ||
                                   kun.endsWith(QStringLiteral(".しい")))) {
                    t.kana = kun.chopped(1).remove(u'.') + u'さ';
                    break;
                }
            }
        } else if (fromMecab && surface.size() == 1 && isKanji(surface[0].unicode()) &&
                   t.features.detail == u"固有名詞" &&
                   !kanji.readings(surface[0].unicode()).on.contains(t.kana)) {
            // (Not where the name is the kanji's Chinese sound, the word too: 京 きょう; nor
            // where it is a form of the kanji's native verb, and the kanji has no word of its
            // own: the place 入 いり is 彼岸の入.)
            const QStringList kun = kanji.readings(surface[0].unicode()).kun;
            const bool verbForm = std::any_of(kun.cbegin(), kun.cend(), [&](const QString &k) {
                return k.contains(u'.') && t.kana.startsWith(k.section(u'.', 0, 0).remove(u'-'));
            });
            if (!verbForm || kanji.hasWordAlone(surface[0].unicode()))
                t.kana = kanji.alone(surface[0].unicode());
        }
    }
}

// The sounds of the old language: む ending a word after an irrealis is ん (待たなむ またなん);
// in a recited waka a verb of one sound and ふ in historical kana is said with the o-row
// after an a-row sound (逢ふ あう おう), as ゆう after い (いふ ゆう); a longer one keeps its
// sounds (横たふ よこたう). A haiku says them as today's verb (這ふ はう, といふ という).
void classicalSounds(QStringView text, bool historical, bool recited, QList<Token> &tokens)
{
    static const QString aRow = QStringLiteral("あかさたなはまやらわがざだばぱ");
    static const QString oRow = QStringLiteral("おこそとのほもよろおごぞどぼぽ");
    for (Token &t : tokens) {
        if (t.kana.isEmpty() || t.source == Source::User)
            continue;
        const QStringView surface = surfaceOf(text, t);
        // (A verb's own む stays: 飛こむ とびこむ. In a waka a verb in kana that MeCab
        // ends in らむ or けむ is the auxiliary's: とくらむ is とく らん, not くらむ.)
        const bool auxiliaryLike = recited &&
                                   (surface.endsWith(u"らむ") || surface.endsWith(u"けむ")) &&
                                   std::all_of(surface.begin(), surface.end(),
                                               [](QChar k) { return isHiragana(k.unicode()); });
        const bool verbsOwn =
            t.features.partOfSpeech == u"動詞" && t.features.form == u"基本形" && !auxiliaryLike;
        // (A verb's end in historical kana that MeCab's reading keeps: といふ.)
        if (historical && t.kana.size() >= 2 && t.kana.endsWith(u'ふ') && surface.endsWith(u'ふ'))
            t.kana.back() = u'う';
        if (t.kana.endsWith(u'む') && surface.endsWith(u'む') && !verbsOwn &&
            isAuxiliaryMu(text, t.end - 1)) {
            t.kana.back() = u'ん';
        } else if (historical && recited && surface.size() >= 2 && surface.endsWith(u'ふ') &&
                   t.kana.size() >= 2 && t.kana.endsWith(u'う')) {
            QChar &before = t.kana[t.kana.size() - 2];
            const qsizetype row = aRow.indexOf(before);
            if (surface.endsWith(u"いふ") || surface.endsWith(u"言ふ"))
                before = before == u'い' ? u'ゆ' : before; // という とゆう
            else if (row >= 0 && t.kana.size() == 2 && surface.size() == 2 &&
                     (isKanji(surface[0].unicode()) || t.begin == 0 ||
                      !isHiragana(text[t.begin - 1].unicode()) ||
                      isParticleLike(text[t.begin - 1])))
                before = oRow[row]; // the whole verb, not the end of one (よこ|たふ)
        }
    }
}

// 々 said as the word before it again, its first sound voiced: 瀬々 せぜ, 日々 (when MeCab
// does not hold it) ひび.
void repeatedKanji(QStringView text, QList<Token> &tokens)
{
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        if (text[t.begin] != u'々' || tokens[i - 1].kana.isEmpty())
            continue;
        // A kanji MeCab took for a name before it (瀬 as the surname セラ) as its word.
        const Token &before = tokens[i - 1];
        QString again = before.kana;
        if (before.end - before.begin == 1 && isKanji(text[before.begin].unicode()) &&
            before.features.detail == u"固有名詞") {
            const QString word = KanjiDictionary::instance().alone(text[before.begin].unicode());
            if (!word.isEmpty()) {
                tokens[i - 1].kana = word;
                again = word;
            }
        }
        again[0] = voiced(again[0]);
        if (t.end - t.begin == 1) {
            t.kana = again;
            t.doubtful = false;
            t.alternatives.clear();
        }
    }
}

void fallingWeather(QStringView text, QList<Token> &tokens)
{
    static const QStringList weather = {
        QStringLiteral("雨"),     QStringLiteral("雪"),    QStringLiteral("霜"),
        QStringLiteral("霰"),     QStringLiteral("雹"),    QStringLiteral("霙"),
        QStringLiteral("露"),     QStringLiteral("時雨"),  QStringLiteral("小雨"),
        QStringLiteral("大雨"),   QStringLiteral("大雪"),  QStringLiteral("春雨"),
        QStringLiteral("五月雨"), QStringLiteral("夕立"),  QStringLiteral("灰"),
        QStringLiteral("花びら"), QStringLiteral("木の葉")};
    static const QStringList fallingOnly = {QStringLiteral("続"), QStringLiteral("積"),
                                            QStringLiteral("注"), QStringLiteral("しき"),
                                            QStringLiteral("出")};
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        const QStringView surface = surfaceOf(text, t);
        if (!surface.startsWith(u"降り") || !t.kana.startsWith(u"おり") ||
            t.features.base != u"降りる")
            continue;
        // The word before, past a particle: が, も, は, の.
        qsizetype k = i - 1;
        if (k >= 0 && tokens[k].features.partOfSpeech == u"助詞")
            --k;
        const bool afterWeather = k >= 0 && weather.contains(surfaceOf(text, tokens[k]));
        const QStringView after = text.sliced(t.end);
        const bool compound = surface == u"降り" &&
                              std::any_of(fallingOnly.cbegin(), fallingOnly.cend(),
                                          [&](const QString &v) { return after.startsWith(v); });
        if (afterWeather || compound)
            t.kana.replace(0, 2, QStringLiteral("ふり"));
    }
}

namespace {

// 十分 before a word of time is ten minutes: 十分ほど, 十分後 じゅっぷん; else enough.
void tenMinutes(QStringView text, QList<Token> &tokens)
{
    static const QStringList time{
        QStringLiteral("ほど"), QStringLiteral("くらい"), QStringLiteral("ぐらい"),
        QStringLiteral("後"),   QStringLiteral("前"),     QStringLiteral("間"),
        QStringLiteral("おき"), QStringLiteral("以内"),   QStringLiteral("足らず"),
        QStringLiteral("程"),   QStringLiteral("程度"),   QStringLiteral("遅れ")};
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        const Token &next = tokens[i + 1];
        if (surfaceOf(text, tokens[i]) == u"十分" &&
            (i == 0 || !isNumeral(text[tokens[i].begin - 1])) &&
            time.contains(surfaceOf(text, next)))
            tokens[i].kana = QStringLiteral("じゅっぷん");
    }
}

// A suffix MeCab voices as in a compound (玉 だま, 日 び) is no compound after a pronoun:
// みんな玉のように たま.
void noCompoundAfterPronoun(QStringView text, QList<Token> &tokens)
{
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        if (t.kana.isEmpty() || unvoiced(t.kana[0]) == t.kana[0] || t.features.detail != u"接尾" ||
            tokens[i - 1].end != t.begin || tokens[i - 1].features.detail != u"代名詞" ||
            !isKanji(text[t.begin].unicode()))
            continue;
        const QString plain = unvoiced(t.kana[0]) + t.kana.mid(1);
        const QStringList kun = KanjiDictionary::instance().readings(text[t.begin].unicode()).kun;
        if (kun.contains(plain))
            t.kana = plain;
    }
}

// 前 after a number of days, years or hours is before that time, even where a word follows
// that MeCab makes it the prefix of: 二三日前台所で まえ (not ぜん).
void timeAgo(QStringView text, QList<Token> &tokens)
{
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const Token &before = tokens[i - 1];
        const QStringView said = surfaceOf(text, before);
        if (surfaceOf(text, tokens[i]) == u"前" && tokens[i].kana == u"ぜん" &&
            before.end == tokens[i].begin && isNumeral(text[before.begin]) &&
            countsTime(said.back()))
            tokens[i].kana = QStringLiteral("まえ");
    }
}

// A waka in historical kana counts years in native numbers with とせ: 五年 いつとせ, 三年
// みとせ, 百年 ももとせ; a number before とせ in kana is native anywhere (十とせ ととせ). The
// numeral's native word is the stem of its kun in -つ (いつ.つ), else its shortest kun
// (十 と, 千 ち).
void nativeYears(QStringView text, bool waka, QList<Token> &tokens)
{
    for (Token &t : tokens) {
        // (Written so in kana, anywhere: 十とせ ととせ.)
        const bool year = t.end - t.begin == 2 && text[t.begin + 1] == u'年' && waka;
        const bool toseAfter = t.end - t.begin == 1 && text.sliced(t.end).startsWith(u"とせ");
        if (!(year || toseAfter) || t.source == Source::User ||
            !(isNumeral(text[t.begin]) || text[t.begin] == u'幾') ||
            (t.begin > 0 && isNumeral(text[t.begin - 1])))
            continue;
        QString native;
        for (const QString &kun :
             KanjiDictionary::instance().readings(text[t.begin].unicode()).kun) {
            if (kun.endsWith(u".つ")) {
                native = kun.chopped(2);
                break;
            }
            if (!kun.contains(u'.') && !kun.contains(u'-') &&
                (native.isEmpty() || kun.size() < native.size()))
                native = kun;
        }
        if (!native.isEmpty())
            t.kana = year ? native + QStringLiteral("とせ") : native;
    }
}

// 一 before a word in hiragana is the native ひと: 一さじ, 一きれ, 一ねむり (not before a
// particle, 一から, nor before ば or a half-voiced kana: 一ばん, 一ぱい), and before a noun
// made of a verb (一群れ, 一休み); in verse 二 too is ふた (二もと). In verse 一 and 二 before a
// kanji read as its native word, no counter, are ひと and ふた, the word unvoiced: 一坏 ひとつき,
// 二声 ふたこえ; 二 before a word of one sound too (二手 ふたて), where 一's is as often its
// Chinese sound (一目 いちもく).
void nativeOne(QStringView text, bool poetic, QList<Token> &tokens)
{
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        const Token &t = tokens[i];
        Token &next = tokens[i + 1];
        const bool one = text[t.begin] == u'一' && t.kana == u"いち";
        if (t.end - t.begin != 1 || !(one || (text[t.begin] == u'二' && t.kana == u"に")) ||
            (t.begin > 0 && isNumeral(text[t.begin - 1])) || next.begin != t.end ||
            next.features.partOfSpeech == u"助詞" || next.features.partOfSpeech == u"助動詞")
            continue;
        // (一しょに, 一しよに are 一緒に, いっしょに, as old prints write it.)
        if (one && (text.sliced(next.begin).startsWith(u"しょ") ||
                    text.sliced(next.begin).startsWith(u"しよ"))) {
            tokens[i].kana = QStringLiteral("いっ");
            if (next.kana.startsWith(u"しよ"))
                next.kana[1] = u'ょ';
            continue;
        }
        if ((one || poetic) && isHiragana(text[next.begin].unicode()) &&
            !QStringView(u"つばぱぴぷぺぽ").contains(text[next.begin])) {
            tokens[i].kana = one ? QStringLiteral("ひと") : QStringLiteral("ふた");
            continue;
        }
        // (And before a noun made of a verb, written with its okurigana: 一群れ ひとむれ.)
        if (one && next.end - next.begin >= 2 && isKanji(text[next.begin].unicode()) &&
            !isNumeral(text[next.begin]) && next.features.partOfSpeech == u"名詞" &&
            std::all_of(text.begin() + next.begin + 1, text.begin() + next.end,
                        [](QChar k) { return isHiragana(k.unicode()); }) &&
            QStringView(u"いきぎしちにびみりえけげせてねべめれ").contains(text[next.end - 1])) {
            tokens[i].kana = QStringLiteral("ひと");
            continue;
        }
        if (!poetic || next.end - next.begin != 1 || !isKanji(text[next.begin].unicode()) ||
            (next.kana.size() < 2 && one) || isNumeral(text[next.begin]))
            continue;
        QString plain = next.kana;
        plain[0] = unvoiced(plain[0]);
        const KanjiDictionary::Readings r =
            KanjiDictionary::instance().readings(text[next.begin].unicode());
        if (!r.kun.contains(plain) || r.on.contains(plain))
            continue;
        tokens[i].kana = one ? QStringLiteral("ひと") : QStringLiteral("ふた");
        next.kana = plain;
    }
}

// A prefix in its Chinese sound before a noun in kanji read as a native word takes its
// native form (大蛍 おおほたる, 小家 こいえ); before a Chinese word it stays (大問題).
void nativePrefix(QStringView text, QList<Token> &tokens)
{
    const KanjiDictionary &kanji = KanjiDictionary::instance();
    // Whether the word starts with a native reading of its first kanji.
    auto native = [&](const Token &t) {
        const KanjiDictionary::Readings r = kanji.readings(text[t.begin].unicode());
        auto starts = [&t](QString reading) {
            reading.remove(u'-');
            return t.kana.startsWith(reading.section(u'.', 0, 0));
        };
        return std::any_of(r.kun.cbegin(), r.kun.cend(), starts) &&
               std::none_of(r.on.cbegin(), r.on.cend(), starts);
    };
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        Token &t = tokens[i];
        const Token &next = tokens[i + 1];
        if (t.end - t.begin != 1 || t.features.partOfSpeech != u"接頭詞" || next.begin != t.end ||
            text[t.begin] == u'御' || next.kana.isEmpty() ||
            next.features.partOfSpeech != u"名詞" || !isKanji(text[next.begin].unicode()) ||
            !native(next))
            continue;
        const KanjiDictionary::Readings r = kanji.readings(text[t.begin].unicode());
        if (!r.on.contains(t.kana))
            continue;
        // Its form as a prefix (おお-).
        const auto form = std::find_if(r.kun.cbegin(), r.kun.cend(), [](const QString &k) {
            return k.endsWith(u'-') && !k.startsWith(u'-');
        });
        if (form != r.kun.cend())
            t.kana = QString(*form).remove(u'-');
    }
}

// 我 before a particle is われ (我を見る, 我は海の子); MeCab says わが, which is 我が.
void pronounWare(QStringView text, QList<Token> &tokens)
{
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        const Token &next = tokens[i + 1];
        if ((tokens[i].source == Source::Dictionary || tokens[i].source == Source::Modern) &&
            surfaceOf(text, tokens[i]) == u"我" && next.begin == tokens[i].end &&
            next.features.partOfSpeech == u"助詞" && surfaceOf(text, next) != u"が")
            tokens[i].kana = QStringLiteral("われ");
    }
}

// The volitional う of historical kana fused with the sound before it, as it is said:
// 参りませう まいりましょう, だらう だろう, 行かう いこう.
void volitionalU(QStringView text, QList<Token> &tokens)
{
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        Token &before = tokens[i - 1];
        if (t.features.partOfSpeech != u"助動詞" || surfaceOf(text, t) != u"う" ||
            before.kana.isEmpty() || before.end != t.begin)
            continue;
        const QString fused = modernFromHistorical(before.kana + u'う', false).text;
        if (fused.endsWith(u'う') && fused.size() >= before.kana.size() + 1) {
            before.kana = fused.chopped(1);
            t.kana = QStringLiteral("う");
        }
    }
}

// 御 before a verb is the native お: 御歩きになる おあるきになる, 御待ち. Before a noun of one
// kanji read as its native word it is no ご either: お (御目にかかる), in verse the old おん
// (御目の雫 おんめの, 御身 おんみ), in a recited waka the old み (交野の御野 みの).
void honorificO(QStringView text, bool poetic, bool recited, QList<Token> &tokens)
{
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        Token &t = tokens[i];
        const Token &next = tokens[i + 1];
        if (surfaceOf(text, t) != u"御" || t.source == Source::User ||
            t.source == Source::Lexicon || next.begin != t.end)
            continue;
        const QStringView word = surfaceOf(text, next);
        // A verb, or a noun made of one (歩き, 待ち): kanji with its okurigana.
        const bool verb = next.features.partOfSpeech == u"動詞" ||
                          (next.features.partOfSpeech == u"名詞" && word.size() >= 2 &&
                           isKanji(word.front().unicode()) && isHiragana(word.back().unicode()));
        if (verb) {
            t.kana = QStringLiteral("お");
        } else if (t.kana == u"ご" && word.size() == 1 && isKanji(word.front().unicode()) &&
                   next.features.partOfSpeech == u"名詞") {
            const KanjiDictionary::Readings r =
                KanjiDictionary::instance().readings(word.front().unicode());
            if (r.kun.contains(next.kana) && !r.on.contains(next.kana))
                t.kana = recited  ? QStringLiteral("み")
                         : poetic ? QStringLiteral("おん")
                                  : QStringLiteral("お");
        }
    }
}

// A kanji MeCab reads with the kana after it, that kana written again as okurigana (我れ
// われ|れ, 幽けき かそけ|けき): said once.
void okuriganaTwice(QStringView text, QList<Token> &tokens)
{
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        Token &t = tokens[i];
        const Token &next = tokens[i + 1];
        if (t.end - t.begin != 1 || !isKanji(text[t.begin].unicode()) || t.kana.size() < 2 ||
            t.source == Source::User || next.begin != t.end || next.end - next.begin != 1 ||
            !isHiragana(text[next.begin].unicode()) || text[next.begin] != t.kana.back() ||
            QStringView(u"のをにとやぞばはもがでへかよねさてし").contains(text[next.begin]))
            continue;
        // (A Chinese sound is no stem: 長う ちょう is ながう's.)
        if (KanjiDictionary::instance().readings(text[t.begin].unicode()).on.contains(t.kana))
            continue;
        t.kana.chop(1);
    }
}

// 是 before a particle is the old これ (是がまあ, 是は), but for 是が非でも.
void demonstrativeKore(QStringView text, QList<Token> &tokens)
{
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        Token &t = tokens[i];
        if (surfaceOf(text, t) != u"是" || t.source == Source::User || t.kana != u"ぜ" ||
            tokens[i + 1].begin != t.end || tokens[i + 1].features.partOfSpeech != u"助詞" ||
            text.mid(t.end, 2) == u"が非")
            continue;
        t.kana = QStringLiteral("これ");
    }
}

// Verbs the IPA dictionary says otherwise than today's reader: 云った ゆった is いった; 入る
// after a verb is the old いる of compounds (分け入る, 寝入る, 聞き入る).
void verbSounds(QList<Token> &tokens)
{
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        if ((t.features.base == u"云う" || t.features.base == u"言う") &&
            t.kana.startsWith(QStringLiteral("ゆっ")))
            t.kana[0] = u'い';
        if (i > 0 && t.features.base == u"入る" && t.kana.startsWith(QStringLiteral("はい")) &&
            tokens[i - 1].end == t.begin && tokens[i - 1].features.partOfSpeech == u"動詞" &&
            tokens[i - 1].features.form.startsWith(QStringLiteral("連用")))
            t.kana.remove(0, 1);
    }
}

// Prose and haiku in historical kana are read in today's spelling, as their reprints have
// it: 云ふ いう, where a waka's recitation has ゆう.
void proseIu(QStringView text, QList<Token> &tokens)
{
    for (Token &t : tokens) {
        const QStringView surface = surfaceOf(text, t);
        if (surface.endsWith(u'ふ') && t.kana.endsWith(QStringLiteral("ゆう")) &&
            (surface.size() == 2 || surface.endsWith(QStringLiteral("いふ"))))
            t.kana.replace(t.kana.size() - 2, 1, QStringLiteral("い"));
    }
}

} // namespace

void rendaku(QStringView text, const VoicedForm &voiced, QList<Token> &tokens)
{
    if (!voiced)
        return;
    auto allKanji = [](QStringView s) {
        return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) {
            return isKanji(c.unicode()) || c.isSurrogate();
        });
    };
    auto noun = [&](const Token &t) {
        const MecabReader::Features &f = t.features;
        return allKanji(surfaceOf(text, t)) &&
               ((f.partOfSpeech == u"名詞" && f.detail != u"数" && f.detail != u"代名詞" &&
                 f.detail != u"非自立" && f.detail2 != u"人名") ||
                (t.source == Source::Lexicon && f.partOfSpeech.isEmpty()));
    };
    static const QStringView unvoiced = u"かきくけこさしすせそたちつてとはひふへほ";
    static const QStringView voicedKana = u"がぎぐげござじずぜぞだぢづでどばびぶべぼ";
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        Token &t = tokens[i];
        const Token &before = tokens[i - 1];
        const qsizetype at = t.kana.isEmpty() ? -1 : unvoiced.indexOf(t.kana[0]);
        // (A word of one sound, 田 た 戸 と, is voiced by no rule one can tell.)
        // (A simple verb's continuative before it makes a compound too: かこち顔 かこちがお,
        // みだれ髪; not one with its subject in it, 波立ち月の, nor a verb's in し, as
        // often the past of verse, 死し鶴に.)
        const QStringView first = surfaceOf(text, before);
        const bool continuative = before.features.partOfSpeech == u"動詞" &&
                                  before.features.form.startsWith(u"連用") &&
                                  !first.endsWith(u'し') && isHiragana(first.back().unicode()) &&
                                  std::count_if(first.begin(), first.end(),
                                                [](QChar c) { return isKanji(c.unicode()); }) <= 1;
        // (And the native prefix おお: 大蛍 おおぼたる.)
        const bool greatPrefix = first == u"大" && before.kana == u"おお";
        if (at < 0 || t.kana.size() < 2 || before.end != t.begin ||
            !(noun(before) || continuative || greatPrefix) || t.source != Source::Dictionary ||
            t.features.partOfSpeech != u"名詞" || t.features.detail != u"一般" ||
            !allKanji(surfaceOf(text, t)) || std::any_of(t.kana.begin(), t.kana.end(), [](QChar c) {
                return voicedKana.contains(c);
            }))
            continue;
        // Two kanji side by side are as often two words (柳桜 willow and cherry, 錦 神).
        if (t.end - before.begin < 3 && !greatPrefix)
            continue;
        // The compound goes on: where it ends is not known.
        if (i + 1 < tokens.size() && tokens[i + 1].begin == t.end && noun(tokens[i + 1]))
            continue;
        QString kana = t.kana;
        kana[0] = voicedKana[at];
        if (voiced(surfaceOf(text, t), toKatakana(kana)))
            t.kana = kana;
    }
}

void rewrite(QStringView text, LineStyle style, QList<Token> &tokens, const VoicedForm &voiced)
{
    verbSounds(tokens);
    honorificO(text, style.poetic, style.recited, tokens);
    demonstrativeKore(text, tokens);
    okuriganaTwice(text, tokens);
    if (style.historical)
        volitionalU(text, tokens);
    joinNumbers(text, style.poetic, tokens);
    nativeYears(text, style.historical && style.recited, tokens);
    tenMinutes(text, tokens);
    timeAgo(text, tokens);
    noCompoundAfterPronoun(text, tokens);
    pronounWare(text, tokens);
    nativeOne(text, style.poetic, tokens);
    nativePrefix(text, tokens);
    repeatedKanji(text, tokens);
    fallingWeather(text, tokens);
    if (style.poetic) {
        poeticWords(text, tokens);
        rendaku(text, voiced, tokens);
        classicalSounds(text, style.historical, style.recited, tokens);
    }
    if (style.historical && !style.recited)
        proseIu(text, tokens);
}

void markDisagreements(QStringView text, const QList<Token> &other, QList<Token> &tokens)
{
    auto kanaOf = [](const QList<Token> &list, qsizetype from, qsizetype to) {
        QString kana;
        for (qsizetype k = from; k < to; ++k)
            kana += list[k].silent ? QString() : list[k].kana;
        return kana;
    };
    qsizetype i = 0, j = 0;
    while (i < tokens.size() && j < other.size()) {
        // The shortest stretch from here at whose end both analyses have a word's end.
        const qsizetype i0 = i, j0 = j;
        qsizetype endA = tokens[i++].end, endB = other[j++].end;
        while (endA != endB && i <= tokens.size() && j <= other.size()) {
            if (endA < endB && i < tokens.size())
                endA = tokens[i++].end;
            else if (endB < endA && j < other.size())
                endB = other[j++].end;
            else
                return;
        }
        const QString theirs = kanaOf(other, j0, j);
        if (kanaOf(tokens, i0, i) == theirs)
            continue;
        qsizetype withKanji = 0;
        for (qsizetype k = i0; k < i; ++k) {
            Token &t = tokens[k];
            if (!containsKanji(surfaceOf(text, t)))
                continue;
            t.doubtful = true;
            ++withKanji;
        }
        if (withKanji == 1 && i - i0 == 1 && !tokens[i0].alternatives.contains(theirs))
            tokens[i0].alternatives.prepend(theirs);
    }
}

} // namespace reading
