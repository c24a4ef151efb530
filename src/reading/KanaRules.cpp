#include "reading/KanaRules.h"

#include "reading/Counters.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <cstring>

namespace reading {

namespace {

// The vowel of each hiragana syllable, for ー and for the fusions of historical kana.
QChar vowelOf(QChar kana)
{
    static const QHash<QChar, QChar> vowels = [] {
        QHash<QChar, QChar> v;
        const char16_t *rows[] = {
            u"あかさたなはまやらわがざだばぱぁゃゎ", u"いきしちにひみりゐぎじぢびぴぃ",
            u"うくすつぬふむゆるぐずづぶぷぅゅっゔ", u"えけせてねへめれゑげぜでべぺぇ",
            u"おこそとのほもよろをごぞどぼぽぉょ"};
        const char16_t vowel[] = u"あいうえお";
        for (int r = 0; r < 5; ++r) {
            for (const char16_t *p = rows[r]; *p; ++p)
                v.insert(QChar(*p), QChar(vowel[r]));
        }
        v.insert(QChar(u'ん'), QChar(u'ん'));
        return v;
    }();
    return vowels.value(kana);
}

// A-row kana and the o-row kana it becomes before a fused う: かう -> こう.
const QHash<QChar, QChar> &aToO()
{
    static const QHash<QChar, QChar> map = [] {
        QHash<QChar, QChar> m;
        // わ is left out: it is mostly a は said as わ (味はふ is あじわう).
        const char16_t a[] = u"あかさたなはまやらがざだばぱ";
        const char16_t o[] = u"おこそとのほもよろごぞどぼぽ";
        for (int i = 0; a[i]; ++i)
            m.insert(QChar(a[i]), QChar(o[i]));
        return m;
    }();
    return map;
}

// I- and e-row kana before a fused う: きう -> きゅう, けう -> きょう.
const QHash<QChar, QString> &iOrEFused()
{
    static const QHash<QChar, QString> map = [] {
        QHash<QChar, QString> m;
        const char16_t i[] = u"いきしちにひみりぎじぢびぴ";
        const char16_t *iTo[] = {u"ゆう",   u"きゅう", u"しゅう", u"ちゅう", u"にゅう",
                                 u"ひゅう", u"みゅう", u"りゅう", u"ぎゅう", u"じゅう",
                                 u"じゅう", u"びゅう", u"ぴゅう"};
        for (int k = 0; i[k]; ++k)
            m.insert(QChar(i[k]), QString::fromUtf16(iTo[k]));
        const char16_t e[] = u"えけせてねへめれげぜでべぺ";
        const char16_t *eTo[] = {u"よう",   u"きょう", u"しょう", u"ちょう", u"にょう",
                                 u"ひょう", u"みょう", u"りょう", u"ぎょう", u"じょう",
                                 u"じょう", u"びょう", u"ぴょう"};
        for (int k = 0; e[k]; ++k)
            m.insert(QChar(e[k]), QString::fromUtf16(eTo[k]));
        return m;
    }();
    return map;
}

bool inRow(QChar c, const char16_t *row)
{
    return QStringView(row).contains(c);
}

} // namespace

bool isHiragana(char32_t c)
{
    return (c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E;
}

bool isKatakana(char32_t c)
{
    return (c >= 0x30A1 && c <= 0x30FA) || c == 0x30FD || c == 0x30FE ||
           (c >= 0x31F0 && c <= 0x31FF);
}

bool isKana(char32_t c)
{
    return isHiragana(c) || isKatakana(c) || c == 0x30FC;
}

namespace {

// The copula じゃ as old prints write it, ぢや, at text[i]: before no kana, or before the
// あ, な or ろ that go on from it (ぢやあ, ぢやない, ぢやろう). (じや is left alone: かけじや
// is the negative of will and や.)
bool copulaJa(QStringView text, qsizetype i)
{
    if (i + 1 >= text.size() || text[i + 1] != u'や')
        return false;
    const QChar after = i + 2 < text.size() ? text[i + 2] : QChar();
    return !isHiragana(after.unicode()) || QStringView(u"あなろ").contains(after);
}

} // namespace

bool isParticleLike(QChar c)
{
    return QStringView(u"のをにとやぞば").contains(c);
}

QChar smallAfterIRow(QChar before, QChar c)
{
    const qsizetype y = QStringView(u"やゆよ").indexOf(c);
    return y >= 0 && QStringView(u"きぎしじちぢにひびぴみり").contains(before)
               ? QStringView(u"ゃゅょ")[y]
               : QChar();
}

char32_t codePointAt(QStringView s, qsizetype i, int *units)
{
    const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
    if (units)
        *units = pair ? 2 : 1;
    return pair ? QChar::surrogateToUcs4(s[i], s[i + 1]) : s[i].unicode();
}

bool containsKanji(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        int units = 1;
        const char32_t c = codePointAt(text, i, &units);
        i += units - 1;
        if (isKanji(c))
            return true;
    }
    return false;
}

QString toHiragana(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE)
            c = QChar(char16_t(u - 0x60));
    }
    return out;
}

QString toKatakana(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E)
            c = QChar(char16_t(u + 0x60));
    }
    return out;
}

namespace {

// The Latin letters of each hiragana from ぁ (U+3041) to ゖ (U+3096).
constexpr const char *kHepburn[] = {
    "a",  "a",  "i",   "i",  "u",  "u",   "e",  "e",   "o",  "o",  "ka", "ga", "ki", "gi", "ku",
    "gu", "ke", "ge",  "ko", "go", "sa",  "za", "shi", "ji", "su", "zu", "se", "ze", "so", "zo",
    "ta", "da", "chi", "ji", "",   "tsu", "zu", "te",  "de", "to", "do", "na", "ni", "nu", "ne",
    "no", "ha", "ba",  "pa", "hi", "bi",  "pi", "fu",  "bu", "pu", "he", "be", "pe", "ho", "bo",
    "po", "ma", "mi",  "mu", "me", "mo",  "ya", "ya",  "yu", "yu", "yo", "yo", "ra", "ri", "ru",
    "re", "ro", "wa",  "wa", "wi", "we",  "wo", "n",   "vu", "ka", "ke"};

// The letters of the hiragana at i, and how many kana they take: a kana with a small
// kana after it makes one sound (きゃ kya, しぇ she, ふぁ fa, てぃ ti).
std::pair<QByteArray, int> hepburnAt(QStringView h, qsizetype i)
{
    const char16_t c = h[i].unicode();
    const QByteArray alone =
        QByteArray::fromRawData(kHepburn[c - 0x3041], qsizetype(strlen(kHepburn[c - 0x3041])));
    if (i + 1 >= h.size())
        return {alone, 1};
    const char16_t next = h[i + 1].unicode();
    static const QString smallY = QStringLiteral("ゃゅょ");
    static const QString smallV = QStringLiteral("ぁぃぅぇぉ");
    const qsizetype y = smallY.indexOf(QChar(next));
    const qsizetype v = smallV.indexOf(QChar(next));
    if (y < 0 && v < 0)
        return {alone, 1};
    const QByteArray &base = alone;
    static const char *yVowels[] = {"a", "u", "o"};
    static const char *vVowels[] = {"a", "i", "u", "e", "o"};
    if (y >= 0 && base.size() >= 2 && base.endsWith('i') && c != u'い') {
        // きゃ kya, しゃ sha, ちゃ cha, じゃ ja
        const QByteArray stem = base.chopped(1);
        const bool palatal = stem.endsWith('h') || stem == "j";
        return {stem + (palatal ? "" : "y") + yVowels[y], 2};
    }
    if (v == 3 && (base == "shi" || base == "chi" || base == "ji"))
        return {base.chopped(1) + "e", 2}; // しぇ she, ちぇ che, じぇ je
    if (v >= 0 && base.size() >= 2 &&
        (base.endsWith('u') || base.endsWith('e') || base.endsWith('o'))) {
        // ふぁ fa, ゔぁ va, うぃ wi, てぃ ti, でぃ di, とぅ tu, つぁ tsa, くぁ kwa
        QByteArray stem = base.chopped(1);
        if (stem == "k" || stem == "g")
            stem += 'w';
        return {stem + vVowels[v], 2};
    }
    if (v >= 0 && (c == u'う' || c == u'い')) // うぃ wi, うぉ wo, いぇ ye
        return {QByteArray(c == u'う' ? "w" : "y") + vVowels[v], 2};
    if (y >= 0 && (c == u'ふ' || c == u'ゔ' || c == u'で' || c == u'て')) {
        return {QByteArray(c == u'ふ'   ? "f"
                           : c == u'ゔ' ? "v"
                           : c == u'で' ? "d"
                                        : "t") +
                    "y" + yVowels[y],
                2}; // ふゅ fyu, でゅ dyu
    }
    return {alone, 1};
}

} // namespace

QString hepburn(QStringView kana)
{
    const QString h = toHiragana(kana);
    QString out;
    out.reserve(h.size() * 2);
    bool doubling = false; // a っ waiting for the consonant after it
    for (qsizetype i = 0; i < h.size();) {
        const char16_t c = h[i].unicode();
        if (c == u'ー' || c == u'〜' || c == u'～') {
            ++i;
            continue;
        }
        if (c < 0x3041 || c > 0x3096) {
            doubling = false;
            out += h[i++];
            continue;
        }
        if (c == u'っ') {
            doubling = true;
            ++i;
            continue;
        }
        const auto [letters, taken] = hepburnAt(h, i);
        i += taken;
        if (letters.isEmpty())
            continue;
        if (c == u'ん') {
            doubling = false;
            out += u'n';
            if (i < h.size() && h[i].unicode() >= 0x3041 && h[i].unicode() <= 0x3096) {
                const auto [after, _] = hepburnAt(h, i);
                const char first = after.isEmpty() ? 0 : after.front();
                if (first == 'a' || first == 'i' || first == 'u' || first == 'e' || first == 'o' ||
                    first == 'y')
                    out += u'\'';
            }
            continue;
        }
        if (doubling) {
            const char first = letters.front();
            if (letters.startsWith("ch"))
                out += u't';
            else if (first != 'a' && first != 'i' && first != 'u' && first != 'e' && first != 'o' &&
                     first != 'n')
                out += QChar::fromLatin1(first);
            doubling = false;
        }
        out += QLatin1StringView(letters);
    }
    return out;
}

QString longVowelsAsKana(QStringView kana)
{
    QString out;
    out.reserve(kana.size());
    for (QChar c : kana) {
        if (c == u'ー' || c == u'～' || c == u'〜') {
            if (out.isEmpty())
                continue;
            const QChar last = out.back();
            const bool katakana = isKatakana(last.unicode());
            const QChar v = vowelOf(katakana ? QChar(char16_t(last.unicode() - 0x60)) : last);
            if (v.isNull() || v == u'ん')
                continue;
            out.append(katakana ? QChar(char16_t(v.unicode() + 0x60)) : v);
            continue;
        }
        out.append(c);
    }
    return out;
}

bool looksHistorical(QStringView line)
{
    const QString h = toHiragana(line);
    const qsizetype n = h.size();
    auto kanaAt = [&](qsizetype i) { return i >= 0 && i < n && isHiragana(h[i].unicode()); };
    // Spellings modern kana never has: なほ (なお), おほ (おお), いにしへ, あはれ ...
    static const char16_t *const spellings[] = {
        u"なほ", u"おほ", u"とほ", u"かほ", u"こほ", u"いにしへ", u"あはれ", u"けふ", u"てふ",
        u"ゆふ", u"にほ", u"からう", u"せう", u"やうな", u"やうに", u"やうで", u"やうだ", u"さうな",
        u"さうに", u"さうで", u"さうだ", u"さうして", u"かうして", u"さういふ", u"かういふ",
        u"やうの", u"やうも", u"ふこと", u"ふもの", u"だらう", u"あつた", u"あつて", u"かつた",
        u"いつた", u"だつた", u"だつて", u"なつて", u"なつた", u"まつて", u"まつた", u"らつて",
        u"らつた",
        // and the large つ of old prints in words today's kana writes with っ
        u"やつぱり", u"すつかり", u"まつすぐ", u"ちよつと", u"もつと"};
    for (const char16_t *word : spellings) {
        if (h.contains(QStringView(word)))
            return true;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = h[i];
        // をとこ, をとゝひ: no particle starts a line or follows a blank or a mark.
        if (c == u'ゐ' || c == u'ゑ' ||
            (c == u'を' && !kanaAt(i - 1) && (i == 0 || !isKanji(h[i - 1].unicode())) &&
             kanaAt(i + 1)))
            return true;
        // 寄つて, 待つた: a verb's stem in kanji before a large つ and て or た.
        if (c == u'つ' && i > 0 && isKanji(h[i - 1].unicode()) && i + 1 < n &&
            (h[i + 1] == u'て' || h[i + 1] == u'た') && h[i - 1] != u'一' && h[i - 1] != u'且')
            return true;
        // によつぽり: today's spelling has no large つ before a half-voiced kana.
        if (c == u'つ' && i + 1 < n && QStringView(u"ぱぴぷぺぽ").contains(h[i + 1]))
            return true;
        // それぢや, ぢやあ: the copula じゃ written large.
        if (c == u'ぢ' && copulaJa(h, i))
            return true;
        // ぢつと, づつと: today's spelling starts no word with ぢ or づ.
        if ((c == u'ぢ' || c == u'づ') && !kanaAt(i - 1) && kanaAt(i + 1))
            return true;
        // かりほ, いほ: ほ ending a word after a kana, where modern spelling has お.
        if (c == u'ほ' && kanaAt(i - 1) && !isParticleLike(h[i - 1]) && h[i - 1] != u'ほ' &&
            (!kanaAt(i + 1) || inRow(h[i + 1], u"のをにはも")))
            return true;
        // 思ひ出, 思ひ絶え: ひ between two kanji, where modern spelling has い.
        if (c == u'ひ' && i > 0 && i + 1 < n && isKanji(h[i - 1].unicode()) &&
            isKanji(h[i + 1].unicode()))
            return true;
        if (c == u'ふ' && i > 0 && (kanaAt(i - 1) || isKanji(h[i - 1].unicode()))) {
            // -ふ ending a word: at the end, before a blank or mark, or before a particle.
            if (!kanaAt(i + 1) || inRow(h[i + 1], u"となもをかやぞにべのはま"))
                return true;
        }
        if ((c == u'ひ' || c == u'へ' || c == u'ほ') && kanaAt(i - 1) && kanaAt(i + 1) &&
            !isParticleLike(h[i - 1]) && h[i - 1] != u'は' &&
            !inRow(h[i + 1], u"がのをにはもとでやよねかぞ"))
            return true;
        // 逢はず, 言はば: は before the endings of the negative and the conditional; 思はれ,
        // 言はせ: after a kanji, before the passive's and the causative's.
        if (c == u'は' && i > 0 && (kanaAt(i - 1) || isKanji(h[i - 1].unicode())) &&
            !isParticleLike(h[i - 1]) && h[i - 1] != u'は' &&
            (inRow(h[i + 1 < n ? i + 1 : i], u"ずばじぬね") ||
             (isKanji(h[i - 1].unicode()) && i + 1 < n && inRow(h[i + 1], u"れせ"))))
            return true;
        // 思ひ出, 言へば: ひ ふ へ after a kanji's stem where modern spelling writes い う え;
        // おもひ出: ひ between kana and a kanji. Not へ there: that is today's particle
        // (ところへ行く, そこへ来た).
        if ((c == u'ひ' || c == u'へ') && i > 0 && i + 1 < n && !isParticleLike(h[i - 1])) {
            const bool afterStem = kanaAt(i - 1) || isKanji(h[i - 1].unicode());
            const bool ending = inRow(h[i + 1], u"ばどるりしてつ");
            if ((afterStem && ending) ||
                (c == u'ひ' && kanaAt(i - 1) && isKanji(h[i + 1].unicode())))
                return true;
        }
        if (c == u'む' && i >= 1 && (h.mid(i - 1, 2) == u"らむ" || h.mid(i - 1, 2) == u"けむ") &&
            !kanaAt(i + 1))
            return true;
    }
    return false;
}

bool looksPoetic(QStringView line)
{
    const QString t = line.trimmed().toString();
    if (t.isEmpty())
        return false;
    if (looksHistorical(t))
        return true;
    const bool sentenceMark = t.contains(u'。') || t.contains(u'．') || t.contains(u'!') ||
                              t.contains(u'?') || t.contains(u'！') || t.contains(u'？');
    if (sentenceMark)
        return false;
    // Ku parted by blanks, each of them Japanese.
    const QStringList ku =
        t.split(QRegularExpression(QStringLiteral("[ 　]+")), Qt::SkipEmptyParts);
    if (ku.size() >= 3) {
        bool allJapanese = true;
        for (const QString &k : ku) {
            bool japanese = false;
            for (QChar c : k)
                japanese = japanese || isKana(c.unicode()) || isKanji(c.unicode());
            allJapanese = allJapanese && japanese;
        }
        if (allJapanese)
            return true;
    }
    // (A kanji, or a verb's end before a kanji, and the cutting や; not the 否や of prose.)
    static const QRegularExpression cut(
        QStringLiteral("(?!否)[\\x{4E00}-\\x{9FFF}]や|[うくすつぬむる]や(?!否)[\\x{4E00}-\\x{9FFF}]"
                       "|かな$|哉$|けり$|けり[ "
                       "　]|らむ|けむ|らし$|つつ$|なり$|ぞ|にけり|ける$|けれ$"
                       "|やも$|かも$|なむ$|べし$|まし$|ごとし$|めや"));
    return t.contains(cut);
}

// む is the auxiliary, said ん, after the a- or e-row kana of a verb's or auxiliary's
// irrealis (あら-む, とどめ-む, こ-む) and before the end of the word.
bool isAuxiliaryMu(QStringView text, qsizetype i)
{
    if (text[i] != u'む' || i == 0 || !isHiragana(text[i - 1].unicode()))
        return false;
    const QChar before = text[i - 1];
    const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
    // (か asks where it ends the ku: 見るらむか. The らむ after a verb's plain form ends
    // its word before any kana: 子泣くらむそれ.)
    const bool endsWord =
        !isHiragana(next.unicode()) || isParticleLike(next) ||
        (next == u'か' && (i + 2 >= text.size() || !isHiragana(text[i + 2].unicode()))) ||
        (before == u'ら' && i >= 2 && inRow(text[i - 2], u"うくすつぬふむゆるぐずぶ"));
    // (Nor a word said twice, the second voiced: さむざむ.)
    const bool doubled =
        i >= 3 && text[i - 2] == u'む' && unvoiced(text[i - 1]) == unvoiced(text[i - 3]);
    return endsWord && !doubled &&
           (inRow(before, u"あかさたなはまやらわがざだばぱ") ||
            inRow(before, u"えけせてねへめれげぜでべぺ") || before == u'こ');
}

QString auxiliaryMuAsN(QStringView text)
{
    QString out = text.toString();
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (isAuxiliaryMu(text, i))
            out[i] = u'ん';
    }
    return out;
}

Modernised modernFromHistorical(QStringView text, bool particlesStartWords, bool fuseVerbEnds,
                                bool continuativesEndWords)
{
    Modernised m;
    const qsizetype n = text.size();
    m.text.reserve(n + 8);
    m.origin.reserve(n + 8);
    auto put = [&m](QChar c, qsizetype from) {
        m.text.append(c);
        m.origin.append(from);
    };
    static const qsizetype repeats[] = {3, 4};
    // The last kana and its う fused as a sound said twice (へうへう).
    qsizetype doubled = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const QChar before = i > 0 ? text[i - 1] : QChar();
        const bool afterKana = i > 0 && isHiragana(before.unicode());
        const bool afterKanji = i > 0 && isKanji(before.unicode());
        const bool wordStart =
            !(afterKana || afterKanji) ||
            (particlesStartWords && afterKana && isParticleLike(before)) ||
            (continuativesEndWords && afterKana &&
             inRow(before, u"いきしちにひみりえけせてねへめれ")) ||
            // (A ふ after a u-row kana ends a verb: くふ|ほたる.)
            (before == u'ふ' && i >= 2 && inRow(text[i - 2], u"うくすつぬむゆる")) ||
            // (Kana said twice start a word each time: ほがらほがら, ひとくひとく.)
            std::any_of(std::begin(repeats), std::end(repeats), [&](qsizetype l) {
                return (i + 2 * l <= n && text.sliced(i, l) == text.sliced(i + l, l)) ||
                       (i >= l && i + l <= n && text.sliced(i - l, l) == text.sliced(i, l));
            });
        const QChar next = i + 1 < n ? text[i + 1] : QChar();
        // A kana and its う said twice is one word, and fuse as one (へうへう ひょうひょう,
        // ひうひう ひゅうひゅう, かうかう こうこう), at a word's start too.
        const bool fusesTwice =
            next == u'う' && (aToO().contains(c) || iOrEFused().contains(c)) &&
            ((wordStart && i + 3 < n && text.sliced(i, 2) == text.sliced(i + 2, 2)) ||
             (doubled == i - 2 && text.sliced(i - 2, 2) == text.sliced(i, 2)));
        if (c == u'ぢ' && copulaJa(text, i)) {
            put(QChar(u'じ'), i);
            put(QChar(u'ゃ'), ++i);
        } else if (fusesTwice) {
            const auto o = aToO().constFind(c);
            const QString fused = o != aToO().cend() ? QString(*o) + u'う' : iOrEFused().value(c);
            for (QChar k : fused)
                put(k, i);
            m.origin.back() = i + 1;
            doubled = i++;
        } else if (c == u'ゐ') {
            put(QChar(u'い'), i);
        } else if (c == u'ゑ') {
            put(QChar(u'え'), i);
        } else if (c == u'を' && !afterKanji && (!wordStart || !isHiragana(before.unicode()))) {
            // (After a kanji を is the particle, which today's spelling keeps; no particle
            // starts a line or a phrase: をとゝひ.)
            put(QChar(u'お'), i);
        } else if ((c == u'く' || c == u'ぐ') && next == u'わ') {
            put(QChar(c == u'く' ? u'か' : u'が'), i);
            ++i;
        } else if (isAuxiliaryMu(text, i) && !m.text.endsWith(u'ん')) {
            put(QChar(u'ん'), i);
        } else if (c == u'は' && (before == u'は' || next == u'は')) {
            put(c, i); // はは and ははそは are said as written
        } else if (!wordStart &&
                   (c == u'は' || c == u'ひ' || c == u'ふ' || c == u'へ' || c == u'ほ') &&
                   !(afterKanji && (c == u'は' || c == u'へ') &&
                     !QStringView(c == u'へ' ? u"ばどずじぬねりる" : u"ばどずじぬね")
                          .contains(next)) &&
                   !(c == u'ふ' && next == u'う')) {
            // (After a kanji は and へ are particles, but for a verb's へば, へど, へり and へる:
            // 言へば, 拾へり, 吸へる.)
            // (A ふ before う is said as written: ふうはり is ふうわり.)
            const char16_t to = c == u'は'   ? u'わ'
                                : c == u'ひ' ? u'い'
                                : c == u'ふ' ? u'う'
                                : c == u'へ' ? u'え'
                                             : u'お';
            // A historical う fuses with the kana before it as it is said today.
            if (to == u'う' && afterKana && !m.text.isEmpty()) {
                const QChar prev = m.text.back();
                // いふ, けふ, てふ end a word, as a verb does before なり and べし (死にたまふ
                // なり); inside one (ふはりふはり) the ふ is no vowel.
                const bool wordEnds = !isHiragana(next.unicode()) ||
                                      QStringView(u"のをにはもとがやぞかよなべ").contains(next);
                if (const auto o = aToO().constFind(prev);
                    o != aToO().cend() && (fuseVerbEnds || !wordEnds)) {
                    m.text.back() = *o;
                    put(QChar(u'う'), i);
                    continue;
                }
                // (Not the て of the particle にて: 途中にてふと ふと.)
                const bool particleNite = prev == u'て' && i >= 2 && text[i - 2] == u'に';
                if (const auto f = iOrEFused().constFind(prev);
                    f != iOrEFused().cend() && wordEnds && !particleNite) {
                    const qsizetype from = m.origin.back();
                    m.text.chop(1);
                    m.origin.removeLast();
                    for (QChar k : *f)
                        put(k, from);
                    m.origin.back() = i;
                    continue;
                }
            }
            put(QChar(to), i);
        } else if (c == u'う' && afterKana && !wordStart && !m.text.isEmpty() &&
                   (aToO().contains(m.text.back()) || iOrEFused().contains(m.text.back())) &&
                   !(i >= 2 && text.sliced(i - 2, 2) == text.mid(i, 2)) &&
                   !(QStringView(u"はひふへほ").contains(text[m.origin.back()]) &&
                     m.text.back() != text[m.origin.back()])) {
            // (Not where the う begins a word said twice: うらうら; nor after a vowel that is
            // a は-row kana's, which ends its word: まへうしろ まえうしろ.)
            // せう -> しょう, かう -> こう: the same fusion for a う written as such.
            const QChar prev = m.text.back();
            if (const auto o = aToO().constFind(prev); o != aToO().cend()) {
                m.text.back() = *o;
                put(QChar(u'う'), i);
            } else {
                const QString fused = iOrEFused().value(prev);
                const qsizetype from = m.origin.back();
                m.text.chop(1);
                m.origin.removeLast();
                for (QChar k : fused)
                    put(k, from);
                m.origin.back() = i;
            }
        } else {
            put(c, i);
        }
    }
    return m;
}

QChar voiced(QChar kana)
{
    static const QHash<QChar, QChar> map = [] {
        QHash<QChar, QChar> v;
        const char16_t plain[] =
            u"かきくけこさしすせそたちつてとはひふへほカキクケコサシスセソタチツテトハヒフヘホうウ";
        const char16_t voicedForm[] =
            u"がぎぐげござじずぜぞだぢづでどばびぶべぼガギグゲゴザジズゼゾダヂヅデドバビブベボゔヴ";
        for (int i = 0; plain[i]; ++i)
            v.insert(QChar(plain[i]), QChar(voicedForm[i]));
        return v;
    }();
    return map.value(kana, kana);
}

QChar unvoiced(QChar kana)
{
    static const QHash<QChar, QChar> map = [] {
        QHash<QChar, QChar> u;
        for (QChar c : QStringView(u"かきくけこさしすせそたちつてとはひふへほカキクケコサシスセソタ"
                                   u"チツテトハヒフヘホ"))
            u.insert(voiced(c), c);
        return u;
    }();
    return map.value(kana, kana);
}

QString expandKanaRepetition(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u == u'ゝ' || u == u'ゞ' || u == u'ヽ' || u == u'ヾ') && !out.isEmpty() &&
            isKana(out.back().unicode())) {
            QChar base = out.back();
            // The repeated kana in its plain form, then voiced for ゞ ヾ: すゞ -> すず.
            static const QString voicedSet =
                QStringLiteral("がぎぐげござじずぜぞだぢづでどばびぶべぼ"
                               "ガギグゲゴザジズゼゾダヂヅデドバビブベボ");
            if (voicedSet.contains(base))
                base = QChar(char16_t(base.unicode() - 1));
            out.append(u == u'ゞ' || u == u'ヾ' ? voiced(base) : base);
            continue;
        }
        out.append(c);
    }
    return out;
}

namespace {

const char16_t *const kDigits[] = {u"",   u"いち", u"に",   u"さん", u"よん",
                                   u"ご", u"ろく", u"なな", u"はち", u"きゅう"};

// 0-9999, with the sound changes of the hundreds and thousands (さんびゃく, はっせん).
QString belowTenThousand(int n)
{
    QString s;
    const int th = n / 1000, h = n / 100 % 10, t = n / 10 % 10, o = n % 10;
    if (th) {
        static const char16_t *thousands[] = {u"",         u"せん",      u"にせん",   u"さんぜん",
                                              u"よんせん", u"ごせん",    u"ろくせん", u"ななせん",
                                              u"はっせん", u"きゅうせん"};
        s += QString::fromUtf16(thousands[th]);
    }
    if (h) {
        static const char16_t *hundreds[] = {
            u"",         u"ひゃく",     u"にひゃく",   u"さんびゃく", u"よんひゃく",
            u"ごひゃく", u"ろっぴゃく", u"ななひゃく", u"はっぴゃく", u"きゅうひゃく"};
        s += QString::fromUtf16(hundreds[h]);
    }
    if (t) {
        if (t > 1)
            s += QString::fromUtf16(kDigits[t]);
        s += QStringLiteral("じゅう");
    }
    if (o)
        s += QString::fromUtf16(kDigits[o]);
    return s;
}

} // namespace

QString numberReading(QStringView digits)
{
    QString d = digits.toString();
    while (d.size() > 1 && d.startsWith(u'0'))
        d.remove(0, 1);
    if (d.isEmpty())
        return QString();
    if (d.size() > 16) {
        QString s;
        for (QChar c : d)
            s += c == u'0' ? QStringLiteral("ぜろ") : QString::fromUtf16(kDigits[c.digitValue()]);
        return s;
    }
    if (d == u"0")
        return QStringLiteral("ぜろ");
    static const char16_t *units[] = {u"", u"まん", u"おく", u"ちょう"};
    QString s;
    const qsizetype groups = (d.size() + 3) / 4;
    for (qsizetype g = 0; g < groups; ++g) {
        const qsizetype end = d.size() - (groups - 1 - g) * 4;
        const qsizetype start = std::max<qsizetype>(0, end - 4);
        const int value = d.mid(start, end - start).toInt();
        if (value == 0)
            continue;
        s += belowTenThousand(value) + QString::fromUtf16(units[groups - 1 - g]);
    }
    return s;
}

Approximate approximateNumber(QStringView text, qsizetype position)
{
    static const QStringView digits = u"一二三四五六七八九";
    static const char16_t *const said[] = {u"いち", u"に",   u"さん", u"し", u"ご",
                                           u"ろく", u"しち", u"はち", u"く"};
    static const QStringView tens = u"十百千";
    static const char16_t *const tensSaid[] = {u"じゅう", u"ひゃく", u"せん"};
    if (position > 0 && (digits.contains(text[position - 1]) || tens.contains(text[position - 1])))
        return {}; // only from the number's start
    // Where the two neighbouring digits are: at once, or after a whole number in kanji.
    qsizetype i = position;
    QString before;
    while (i < text.size() && (digits.contains(text[i]) || tens.contains(text[i]))) {
        const qsizetype d = digits.indexOf(text[i]);
        if (d >= 0 && i + 1 < text.size() &&
            (digits.indexOf(text[i + 1]) == d + 1 ||
             (text[i + 1] == u'、' && digits.indexOf(text.mid(i + 2, 1)) == d + 1)))
            break;
        if (d >= 0 && i + 1 < text.size() && tens.contains(text[i + 1])) {
            if (d > 0)
                before += QString::fromUtf16(said[d]);
            before += QString::fromUtf16(tensSaid[tens.indexOf(text[i + 1])]);
            i += 2;
        } else if (tens.contains(text[i])) {
            before += QString::fromUtf16(tensSaid[tens.indexOf(text[i])]);
            ++i;
        } else {
            return {};
        }
    }
    // (A comma may part the two: 二、三日 にさんにち.)
    const qsizetype gap = i + 2 < text.size() && text[i + 1] == u'、' ? 1 : 0;
    if (i + 1 + gap >= text.size() || digits.indexOf(text[i]) < 0 ||
        digits.indexOf(text[i + 1 + gap]) != digits.indexOf(text[i]) + 1)
        return {};
    const qsizetype first = digits.indexOf(text[i]);
    // 八九 is said はっく, as はち before a k-sound always is.
    QString reading = before +
                      (first == 7 ? QStringLiteral("はっ") : QString::fromUtf16(said[first])) +
                      QString::fromUtf16(said[first + 1]);
    qsizetype end = i + 2 + gap;
    // The counter, with its sound after the last number: ろっき, さんぼん.
    if (const qsizetype length = counterAt(text, end); length > 0) {
        reading += counterAfter(reading, first + 2, text.sliced(end, length));
        end += length;
        // (And 前 after a time, ago, whatever word follows: 二三日前台所で まえ; not 前後.)
        if (end < text.size() && text[end] == u'前' && text.mid(end + 1, 1) != u"後" &&
            countsTime(text[end - 1])) {
            reading += QStringLiteral("まえ");
            ++end;
        }
    }
    return {end - position, reading};
}

} // namespace reading
