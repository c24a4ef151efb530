#pragma once
// Rules over kana: the two scripts, historical kana (歴史的仮名遣い) read as it is
// pronounced today, repetition marks, long-vowel marks and numbers.

#include <QList>
#include <QString>
#include <QStringView>

#include "text/Ruby.h"

namespace reading {

bool isHiragana(char32_t c);
bool isKatakana(char32_t c);
bool isKana(char32_t c);
using text::isKanji;
bool containsKanji(QStringView text);
// The code point at i (a surrogate pair read whole) and how many units it takes.
char32_t codePointAt(QStringView s, qsizetype i, int *units = nullptr);
// A kana that is often a particle of its own (の を に と や ぞ ば): a word may start after it.
bool isParticleLike(QChar c);
// The small ゃ ゅ ょ that a large や ゆ よ after a kana of the i-row stands for in old prints
// (しやう しょう, ちよつと ちょっと); null for any other pair.
QChar smallAfterIRow(QChar before, QChar c);

QString toHiragana(QStringView text);
QString toKatakana(QStringView text);

// Kana in Latin letters by Hepburn's system, for a voice that reads no kana: しゃ sha,
// ち chi, ふ fu, っ doubling the consonant after it (まっちゃ matcha), ん before a vowel or
// y as n' (きんえん kin'en), ー dropped. Katakana counts as hiragana; anything else stays.
QString hepburn(QStringView kana);

// ー written as the vowel it lengthens (コーヒー -> コオヒイ); a mark with no kana before it
// is dropped. espeak-ng's Japanese voice stumbles over ー after an o-row kana.
QString longVowelsAsKana(QStringView kana);

// True when the line is written in historical kana: ゐ or ゑ, the endings and auxiliaries
// that modern spelling no longer has (-ふ at the end of a word, けふ, てふ, らむ, けむ), or
// は ひ へ ほ inside a run of kana where modern spelling writes わ い え お.
bool looksHistorical(QStringView line);

// True for a line laid out or worded as a poem: historical kana, ku parted by blanks with no
// sentence mark, a cutting word (や, かな, けり) or a classical ending (らむ, けむ, らし, つつ,
// なり, ぞ). Prose ("この大きな木の下で") is not.
bool looksPoetic(QStringView line);

// Historical kana in a text, as pronounced today, with where each character came from.
struct Modernised
{
    QString text;
    // For each character of `text`, the index of the character of the input it comes from.
    QList<qsizetype> origin;
};
// Word-internal は ひ ふ へ ほ -> わ い う え お (a は or へ right after a kanji is left for
// the dictionary, which knows it as a particle); ゐ ゑ -> い え; を -> お inside a word (after
// a kanji it is the particle and stays); a-, i- and e-row kana
// before a historical う fuse as today (あふ -> おう, いふ -> ゆう, けふ -> きょう, てふ ->
// ちょう); くわ ぐわ -> か が; the auxiliary む after an a- or e-row kana -> ん (あらむ ->
// あらん, とどめむ -> とどめん). A kana right after a particle-like kana (の を に が と や ぞ
// て ば) starts a word and keeps its sound: "のひと" stays.
// With `particlesStartWords` false, only the line's start and what follows a character that
// is not Japanese start a word: the reading engine weighs both readings (やはらかに after や).
// With `fuseVerbEnds` false, an a-row kana and a ふ ending a word keep their sounds as a
// verb's end is said outside the recitation of waka (ちがふ ちがう, not ちごう).
// With `continuativesEndWords`, a kana of the i- or e-row ends a word too, as a verb's
// continuative before the verb it makes a compound with (うちはらふ うちはらう).
Modernised modernFromHistorical(QStringView text, bool particlesStartWords = true,
                                bool fuseVerbEnds = true, bool continuativesEndWords = false);

// Only the auxiliary む said ん (あらむ -> あらん, とどめむ -> とどめん), for poems in
// modern kana that still use it; character for character.
QString auxiliaryMuAsN(QStringView text);
// Whether the む at i is that auxiliary: after the a- or e-row kana of an irrealis (あら-む,
// とどめ-む, こ-む) and ending its word.
bool isAuxiliaryMu(QStringView text, qsizetype i);

// ゝ ゞ ヽ ヾ repeat the kana before them (ゞ ヾ voiced): "いすゞ" -> "いすず".
QString expandKanaRepetition(QStringView text);

// The voiced form of a kana (か -> が, は -> ば), or the kana itself.
QChar voiced(QChar kana);
// The plain form of a voiced kana (が -> か, ば -> は), or the kana itself.
QChar unvoiced(QChar kana);

// A whole number read in Japanese: 2026 -> にせんにじゅうろく, 0 -> ぜろ. Numbers of more
// than sixteen digits are read digit by digit.
QString numberReading(QStringView digits);

// An approximate number in kanji, two neighbouring digits side by side (四五人 "four or
// five people"), with the whole number before them (十四五本) and the counter after them,
// read as it is said: しごにん, じゅうしごほん, にさんぺん. `length` is how many characters
// it took; 0 when the text at `position` is no such number.
struct Approximate
{
    qsizetype length = 0;
    QString reading;
};
Approximate approximateNumber(QStringView text, qsizetype position);

} // namespace reading
