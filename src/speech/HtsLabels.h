#pragma once

// What an HTS voice of Japanese is given to say: one full-context label per phoneme, each
// naming the phoneme with two neighbours on either side, where it stands in its mora,
// word, accent phrase, breath group and utterance, and the accent of its phrase. The
// voices trained on Japanese speech (Mei, NIT ATR503 M001) all read this one format:
//
//   k^o-N+n=i/A:-1+1+3/B:xx-xx_xx/C:09_xx+xx/D:02+xx_xx/E:xx_xx!xx_xx-xx/F:3_1#0_xx@1_2|1_8
//   /G:5_0%0_xx_1/H:xx_xx/I:2-8@1+1&1-2|1+8/J:xx_xx/K:1+2-8
//
// The phrase's accent is where its pitch falls: 0 keeps it high to the end (端 はし), 1
// falls after the first mora (箸 はし), 2 after the second (橋 はし).

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace speech::hts {

// One mora as the voice says it: a consonant ("k", "sh", "ky"; empty for none) and a vowel
// ("a" ... "o", upper case when it is whispered), or "N" (ン) and "cl" (ッ) alone.
struct Mora
{
    QString consonant;
    QString vowel;
    bool operator==(const Mora &) const = default;
};

// The morae of a pronunciation in katakana (hiragana is taken too): "キャ" is one mora, ー
// lengthens the vowel before it, and ’ after a mora whispers its vowel. Characters that
// are not kana are passed over.
QList<Mora> morae(QStringView pronunciation);
// Where each of those morae ends in the pronunciation (after its ー or ’, if any).
QList<qsizetype> moraEnds(QStringView pronunciation);

// A word as the labels know it: its pronunciation, and its part of speech, conjugation
// type and form in the voices' codes ("02" a common noun, "xx" none).
struct LabelWord
{
    QString pronunciation;
    QString partOfSpeech = QStringLiteral("xx");
    QString conjugation = QStringLiteral("xx");
    QString form = QStringLiteral("xx");
    // Where the word stands in the text it was read from, [begin, end); -1 when nowhere.
    qsizetype begin = -1;
    qsizetype end = -1;
};

struct AccentPhrase
{
    QList<LabelWord> words;
    int accent = 0; // the mora after which the pitch falls; 0 for none
    bool question = false;
};

// Accent phrases said in one breath; a short pause parts one breath group from the next.
using BreathGroup = QList<AccentPhrase>;

// The labels of an utterance, silence at both ends; empty when it has no mora.
QStringList fullContextLabels(const QList<BreathGroup> &utterance);
// For each of those labels, where its word stands in the text ({-1, -1} for silence and
// pauses): what is being said at each moment, for following it in the text.
QList<std::pair<qsizetype, qsizetype>> labelSpans(const QList<BreathGroup> &utterance);

} // namespace speech::hts
