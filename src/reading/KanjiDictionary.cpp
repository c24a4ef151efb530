#include "reading/KanjiDictionary.h"

#include "reading/KanaRules.h"

#include <QFile>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

extern const char unihanKanjiTable[];

namespace reading {

namespace {

// Debian's kanjidic package; in EUC-JP.
const char KanjidicPath[] = "/usr/share/edict/kanjidic";
// KANJIDIC is about 1.2 MB; anything far larger there is not it.
constexpr qint64 KanjidicLimit = 16 * 1024 * 1024;

char32_t firstCodePoint(QStringView s)
{
    if (s.isEmpty())
        return 0;
    if (s[0].isHighSurrogate() && s.size() > 1)
        return QChar::surrogateToUcs4(s[0], s[1]);
    return s[0].unicode();
}

// Unihan's romanisation ("KYOU", "HASAMI") in hiragana.
QString romanisedToHiragana(const QString &romaji)
{
    thread_local std::unique_ptr<icu::Transliterator> toKana = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Latin-Hiragana", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    if (!toKana)
        return {};
    const QString lower = romaji.toLower();
    icu::UnicodeString u(reinterpret_cast<const UChar *>(lower.utf16()), int32_t(lower.size()));
    toKana->transliterate(u);
    QString out(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
    for (QChar c : out) {
        if (!isHiragana(c.unicode()))
            return {}; // a romanisation the transliterator did not take whole
    }
    return out;
}

QString withoutMarks(const QString &reading)
{
    QString r = reading;
    r.remove(u'.').remove(u'-');
    return r;
}

bool isAffix(const QString &reading)
{
    return reading.startsWith(u'-') || reading.endsWith(u'-');
}

// A kun that is a native word written with the kanji alone: no okurigana, no affix, no
// loanword (ダース for 打).
bool isWordAlone(const QString &kun)
{
    return !kun.contains(u'.') && !isAffix(kun) && !kun.contains(u'ー');
}

} // namespace

const KanjiDictionary &KanjiDictionary::instance()
{
    static const KanjiDictionary dictionary;
    return dictionary;
}

KanjiDictionary::KanjiDictionary()
{
    QFile f(QString::fromLatin1(KanjidicPath));
    if (f.open(QIODevice::ReadOnly) && f.size() < KanjidicLimit) {
        const QByteArray bytes = f.readAll();
        const icu::UnicodeString u(bytes.constData(), int32_t(bytes.size()), "EUC-JP");
        addKanjidic(QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length()));
    }
    addUnihan();
}

void KanjiDictionary::addKanjidic(const QString &text)
{
    // "鋏 6E77 U92cf B167 ... F1509 ... キョウ はさみ はさ.む T1 ... {scissors}": the kanji,
    // its codes (ASCII letters first), its on readings in katakana and kun readings in
    // hiragana, then after T1 or T2 the readings of names, then the meanings in braces.
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QList<QStringView> fields = line.split(u' ', Qt::SkipEmptyParts);
        const char32_t kanji = firstCodePoint(fields.value(0));
        if (!isKanji(kanji))
            continue;
        Readings r;
        for (qsizetype i = 1; i < fields.size(); ++i) {
            const QStringView f = fields[i];
            if (f.startsWith(u'{') || f == u"T1" || f == u"T2")
                break;
            const QChar first = f[0] == u'-' && f.size() > 1 ? f[1] : f[0];
            if (first.unicode() < 0x80) {
                if (f.startsWith(u'F'))
                    r.frequency = f.mid(1).toInt();
                continue;
            }
            if (isKatakana(first.unicode()))
                r.on << toHiragana(f).remove(u'-');
            else if (isHiragana(first.unicode()))
                r.kun << f.toString();
        }
        if (r.found())
            m_kanjidic.insert(kanji, r);
    }
}

void KanjiDictionary::addUnihan()
{
    const QString table = QString::fromUtf8(unihanKanjiTable);
    for (QStringView line : QStringView(table).split(u'\n')) {
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() < 4)
            continue;
        const char32_t kanji = firstCodePoint(fields[0]);
        Readings r;
        // Kept in Unihan's romanisation; read into kana when a kanji asks for it.
        for (QStringView on : fields[1].split(u' ', Qt::SkipEmptyParts))
            r.on << on.toString();
        for (QStringView kun : fields[2].split(u' ', Qt::SkipEmptyParts))
            r.kun << kun.toString();
        if (r.found())
            m_unihan.insert(kanji, r);
        QList<char32_t> variants;
        for (char32_t v : fields[3].toUcs4())
            variants << v;
        if (!variants.isEmpty())
            m_variants.insert(kanji, variants);
    }
}

char32_t KanjiDictionary::common(char32_t kanji) const
{
    if (m_kanjidic.contains(kanji))
        return kanji;
    // A compatibility ideograph is its unified one (﨟 U+FA1F stays: it has none).
    const QString folded = QString::fromUcs4(&kanji, 1).normalized(QString::NormalizationForm_C);
    const char32_t unified = firstCodePoint(folded);
    if (m_kanjidic.contains(unified))
        return unified;
    // Of its variants in KANJIDIC, the commonest.
    char32_t best = kanji;
    int bestRank = INT_MAX;
    for (char32_t v : m_variants.value(kanji)) {
        const auto it = m_kanjidic.constFind(v);
        if (it == m_kanjidic.cend())
            continue;
        const int rank = it->frequency > 0 ? it->frequency : 10000;
        if (rank < bestRank) {
            bestRank = rank;
            best = v;
        }
    }
    return best;
}

KanjiDictionary::Readings KanjiDictionary::readings(char32_t kanji) const
{
    const char32_t known = common(kanji);
    if (const auto it = m_kanjidic.constFind(known); it != m_kanjidic.cend())
        return *it;
    const auto it = m_unihan.constFind(kanji);
    if (it == m_unihan.cend())
        return {};
    Readings r;
    for (const QString &on : it->on) {
        if (const QString kana = romanisedToHiragana(on); !kana.isEmpty())
            r.on << kana;
    }
    for (const QString &kun : it->kun) {
        if (const QString kana = romanisedToHiragana(kun); !kana.isEmpty())
            r.kun << kana;
    }
    return r;
}

QString KanjiDictionary::alone(char32_t kanji) const
{
    const Readings r = readings(kanji);
    for (const QString &kun : r.kun) {
        if (isWordAlone(kun))
            return kun;
    }
    if (!r.on.isEmpty())
        return r.on.constFirst();
    for (const QString &kun : r.kun) {
        if (!isAffix(kun))
            return withoutMarks(kun);
    }
    return r.kun.isEmpty() ? QString() : withoutMarks(r.kun.constFirst());
}

bool KanjiDictionary::hasOkurigana(char32_t kanji) const
{
    const QStringList kun = readings(kanji).kun;
    return std::any_of(kun.cbegin(), kun.cend(), [](const QString &k) { return k.contains(u'.'); });
}

bool KanjiDictionary::hasWordAlone(char32_t kanji) const
{
    const QStringList kun = readings(kanji).kun;
    return std::any_of(kun.cbegin(), kun.cend(), isWordAlone);
}

bool KanjiDictionary::firstKunIsWord(char32_t kanji) const
{
    const QStringList kun = readings(kanji).kun;
    const auto first =
        std::find_if(kun.cbegin(), kun.cend(), [](const QString &k) { return !isAffix(k); });
    return first != kun.cend() && isWordAlone(*first);
}

QString KanjiDictionary::inCompound(char32_t kanji) const
{
    const Readings r = readings(kanji);
    if (!r.on.isEmpty())
        return r.on.constFirst();
    for (const QString &kun : r.kun) {
        if (!isAffix(kun))
            return kun.section(u'.', 0, 0);
    }
    return r.kun.isEmpty() ? QString() : withoutMarks(r.kun.constFirst());
}

QStringList KanjiDictionary::alternatives(char32_t kanji) const
{
    const Readings r = readings(kanji);
    QStringList all;
    auto add = [&all](const QString &reading) {
        if (!reading.isEmpty() && !all.contains(reading))
            all << reading;
    };
    add(alone(kanji));
    add(inCompound(kanji));
    for (const QString &on : r.on)
        add(on);
    for (const QString &kun : r.kun) {
        if (!isAffix(kun))
            add(withoutMarks(kun));
    }
    return all;
}

namespace {

// The consonant a kana is spelled with in its row of the kana table (か き く け こ: "k"),
// empty for the vowels and わ, which a verb's endings share (笑う 笑わ).
QString rowOf(QChar kana)
{
    QString latin = hepburn(QString(kana));
    if (latin.isEmpty() || QStringView(u"aiueow").contains(latin[0]))
        return QString();
    latin = latin.left(1);
    if (latin == u"f")
        return QStringLiteral("h");
    if (latin == u"j")
        return QStringLiteral("z");
    if (latin == u"c")
        return QStringLiteral("t");
    return latin;
}

} // namespace

QString KanjiDictionary::stemBefore(char32_t kanji, QChar okurigana) const
{
    if (!isHiragana(okurigana.unicode()) || isParticleLike(okurigana) ||
        QStringView(u"がはもへでっ").contains(okurigana))
        return QString();
    const QString row = rowOf(okurigana);
    for (const QString &kun : readings(kanji).kun) {
        const qsizetype dot = kun.indexOf(u'.');
        if (dot <= 0 || dot + 1 >= kun.size() || isAffix(kun))
            continue;
        const QString ending = rowOf(kun[dot + 1]);
        // は-row kana after a stem are historical spellings of the vowels (顫ひ ふるい); ゆ
        // is the old form of a verb in -える (吠ゆる ほゆる, 燃ゆ もゆ).
        if (ending == row || (ending.isEmpty() && row == u"h") ||
            (okurigana == u'ゆ' && QStringView(kun).sliced(dot + 1) == u"える"))
            return kun.left(dot);
    }
    return QString();
}

QString KanjiDictionary::stemOfOldPrint(char32_t kanji, QChar next) const
{
    const QString nextRow = rowOf(next);
    for (const QString &kun : readings(kanji).kun) {
        const qsizetype dot = kun.indexOf(u'.');
        if (dot <= 0 || dot + 1 >= kun.size() || isAffix(kun))
            continue;
        const QStringView stem = QStringView(kun).left(dot);
        const QStringView ending = QStringView(kun).sliced(dot + 1);
        // A verb of five rows in -う -つ -る before the small っ of its te-form: 陞った のぼった.
        if (next == u'っ' && ending.size() == 1 && QStringView(u"うつる").contains(ending[0]))
            return stem.toString();
        // The e of a verb of one row written with へ: 圧へ おさえ.
        if (next == u'へ' && ending.startsWith(u'え') && ending.size() == 2)
            return stem.toString();
        // The first kana of a long okurigana left out: 敢て あえて.
        if (ending.size() == 2 && ending[1] == next && !isParticleLike(ending[0]))
            return stem.toString() + ending[0];
        // A voiced ending written without its marks, as old texts do: 騒く さわく.
        if (ending.size() == 1 && !nextRow.isEmpty() && rowOf(ending[0]) != nextRow &&
            rowOf(QChar(voiced(next))) == rowOf(ending[0]))
            return stem.toString();
    }
    return QString();
}

QChar KanjiDictionary::omittedOkurigana(char32_t kanji, Okurigana form) const
{
    const Readings r = readings(kanji);
    const QStringList &kuns = r.kun;
    // (A kanji whose first verb's okurigana is る alone needs none before て: 見て みて, 取て
    // とって; 生 い.きる, rarely な.る, does: 生たる いきたる.)
    const auto firstVerb = std::find_if(kuns.cbegin(), kuns.cend(), [](const QString &kun) {
        return kun.contains(u'.') && !isAffix(kun);
    });
    if (form == Okurigana::OneRow && firstVerb != kuns.cend() && firstVerb->size() >= 3 &&
        firstVerb->endsWith(u".る"))
        return QChar();
    for (const QString &kun : kuns) {
        const qsizetype dot = kun.indexOf(u'.');
        if (dot <= 0 || isAffix(kun))
            continue;
        if (form == Okurigana::Adjective) {
            // (Not -しい: 美しき is written so.)
            if (dot + 3 == kun.size() && kun.endsWith(u'い') && kun[dot + 1] != u'し')
                return kun[dot + 1];
            continue;
        }
        if (form == Okurigana::OneRow) {
            static const QString iOrERow =
                QStringLiteral("きぎしじちぢにひびぴみりけげせぜてでねへべぺめれえ");
            if (dot + 3 == kun.size() && kun.endsWith(u'る') && iOrERow.contains(kun[dot + 1]))
                return kun[dot + 1];
            continue;
        }
        if (const qsizetype at = QStringView(u"うくぐすつぬぶむる").indexOf(kun[dot + 1]);
            at >= 0 && dot + 2 == kun.size())
            return form == Okurigana::Continuative ? QStringView(u"いきぎしちにびみり")[at]
                   : form == Okurigana::Irrealis   ? QStringView(u"わかがさたなばまら")[at]
                                                   : kun[dot + 1];
    }
    return QChar();
}

QString KanjiDictionary::read(QStringView word, QStringList *alternatives, QChar okurigana) const
{
    if (const QList<uint> one = word.toUcs4(); one.size() == 1 && isKanji(one[0])) {
        QString stem = stemBefore(one[0], okurigana);
        if (stem.isEmpty() && isHiragana(okurigana.unicode()))
            stem = stemOfOldPrint(one[0], okurigana);
        if (!stem.isEmpty()) {
            if (alternatives)
                *alternatives = this->alternatives(one[0]);
            return stem;
        }
    }
    const QList<uint> characters = word.toUcs4();
    const auto kanjiCount = std::count_if(characters.cbegin(), characters.cend(),
                                          [](uint c) { return isKanji(c) && c != U'々'; });
    QString kana;
    QString last;
    for (const char32_t c : characters) {
        if (c == U'々') {
            QString again = last;
            if (!again.isEmpty())
                again[0] = voiced(again[0]);
            kana += again;
        } else if (isKanji(c)) {
            last = kanjiCount == 1 ? alone(c) : inCompound(c);
            if (alternatives && kanjiCount == 1)
                *alternatives = this->alternatives(c);
            kana += last;
        } else {
            last.clear();
            if (isKana(c))
                kana += toHiragana(QString::fromUcs4(&c, 1));
        }
    }
    return kana;
}

bool KanjiDictionary::spells(QStringView base, QStringView kana) const
{
    const QList<uint> chars = base.toUcs4();
    // reached[k]: the kana up to k are said by the characters so far; a search over both.
    std::vector<bool> reached(size_t(kana.size()) + 1, false);
    reached[0] = true;
    char32_t previous = 0;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i] == U'々' ? previous : common(chars[i]);
        QStringList options;
        if (isKanji(c)) {
            const Readings r = readings(c);
            for (const QString &on : r.on) {
                options << on;
                if (!on.isEmpty() && i + 1 < chars.size() &&
                    QStringView(u"くつちき").contains(on.back()))
                    options << on.chopped(1) + u'っ';
            }
            for (const QString &kun : r.kun)
                options << withoutMarks(kun.section(u'.', 0, 0)) << withoutMarks(kun);
            options.removeAll(QString());
            if (i > 0) {
                for (qsizetype k = options.size() - 1; k >= 0; --k) {
                    const QChar first = options[k].front();
                    if (const QChar v = voiced(first); v != first)
                        options << v + options[k].mid(1);
                    if (const qsizetype h = QStringView(u"はひふへほ").indexOf(first); h >= 0)
                        options << QStringView(u"ぱぴぷぺぽ")[h] + options[k].mid(1);
                }
            }
        } else {
            const char32_t k = chars[i];
            options << toHiragana(QString::fromUcs4(&k, 1));
        }
        std::vector<bool> next(reached.size(), false);
        for (qsizetype k = 0; k < kana.size(); ++k) {
            if (!reached[size_t(k)])
                continue;
            for (const QString &o : std::as_const(options)) {
                if (!o.isEmpty() && kana.sliced(k).startsWith(o))
                    next[size_t(k + o.size())] = true;
            }
        }
        reached = std::move(next);
        previous = c;
    }
    return reached.back();
}

} // namespace reading
