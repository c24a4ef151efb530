#pragma once
// The readings of single kanji, for a kanji no word covers: KANJIDIC (Debian's kanjidic,
// the 6 355 kanji of JIS X 0208 with their on and kun readings and how common each kanji
// is), then the Unicode Han database for the rest (its Japanese readings, and its variants:
// 﨑 is read as 崎, 髙 as 高). So no kanji is ever silent.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace reading {

class KanjiDictionary
{
public:
    // KANJIDIC as Debian installs it, read once; the Unihan table is compiled in.
    static const KanjiDictionary &instance();

    struct Readings
    {
        QStringList on;    // hiragana: "きょう"
        QStringList kun;   // hiragana, "." before the okurigana: "はさ.む"; "-" marks an affix
        int frequency = 0; // rank among the 2 500 commonest (1 commonest), 0 when rarer
        bool found() const { return !on.isEmpty() || !kun.isEmpty(); }
    };
    Readings readings(char32_t kanji) const;

    // The variant of a kanji that KANJIDIC holds (﨑 -> 崎, 髙 -> 高), or the kanji itself.
    char32_t common(char32_t kanji) const;

    // A kanji standing alone: its native word where it has one written with the kanji alone
    // (鋏 はさみ), else its first on reading, else its first kun in full (啼 なく).
    QString alone(char32_t kanji) const;
    // Whether it has such a native word (鋏 はさみ, 薄 すすき; 寒 has only さむ.い).
    bool hasWordAlone(char32_t kanji) const;
    // Whether its first kun reading is such a word (験 あかし), not only a later one (散 ばら).
    bool firstKunIsWord(char32_t kanji) const;
    // A kanji inside a compound of kanji: its first on reading, else its kun's stem.
    QString inCompound(char32_t kanji) const;
    // Every reading it may have, without okurigana marks, the likelier first.
    QStringList alternatives(char32_t kanji) const;

    // A word no dictionary word covers, read kanji by kanji: one kanji alone as its word
    // (鋏 はさみ), kanji together each by its on reading (水滸伝 すいこでん), 々 as the kanji
    // before it again, voiced; kana as written. A single kanji's other readings go to
    // `alternatives`.
    // A single kanji followed by `okurigana` (the hiragana after it, 顫ひ) is read by the
    // stem of its kun whose okurigana conjugates into them (ふる.う: ふる).
    QString read(QStringView word, QStringList *alternatives = nullptr,
                 QChar okurigana = QChar()) const;
    // That stem, or nothing where no kun of the kanji ends so.
    QString stemBefore(char32_t kanji, QChar okurigana) const;
    // Whether any native reading of the kanji has okurigana: it writes a verb's or an
    // adjective's stem (袖 has none).
    bool hasOkurigana(char32_t kanji) const;
    // The stem a kanji's kun reading has before the okurigana of an old print where
    // stemBefore finds none: the っ of a te-form (陞った のぼ), へ for え (圧へ おさ), a long
    // okurigana's first kana left out (敢て あえ), a voiced ending written unvoiced (騒く さわ).
    QString stemOfOldPrint(char32_t kanji, QChar next) const;
    // The okurigana that old prints leave out: of the kanji's first verb of the five-row
    // kind (と.ぶ), the continuative form's before another verb (飛こむ とびこむ) or the plain
    // form's before a noun (泣子 なくこ); of its adjective (ちい.さい), the kana before the
    // adjective's own ending (小き ちいさき); of its verb of one row (お.ちる), the kana
    // before る, its continuative and the stem of its te-form (落て おちて). Nothing where it
    // has none.
    enum class Okurigana { Continuative, Plain, Irrealis, Adjective, OneRow };
    QChar omittedOkurigana(char32_t kanji, Okurigana form) const;

    // Whether `kana` is `base` said kanji by kanji with readings the dictionary gives: an on
    // reading (its last く つ ち き as っ before another kanji), a kun's stem or whole kun,
    // voiced at its start after another kanji (rendaku), 々 as the kanji before it; kana in
    // the base as written. 大門 おおもん, 廻 まわ yes; おほもん, まは (old spelling) no.
    bool spells(QStringView base, QStringView kana) const;

    qsizetype size() const { return m_kanjidic.size(); }

private:
    KanjiDictionary();
    void addKanjidic(const QString &text);
    void addUnihan();

    QHash<char32_t, Readings> m_kanjidic;
    QHash<char32_t, Readings> m_unihan;
    QHash<char32_t, QList<char32_t>> m_variants;
};

} // namespace reading
