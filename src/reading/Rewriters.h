#pragma once
// The rewriters that go over the words of a line's chosen analysis, each a small rule of
// how Japanese is said that no dictionary word holds: numbers with their counters, 々
// repeating the word before it, and the forms of classical verse.

#include "reading/Lattice.h"
#include "reading/MecabReader.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace reading {

// A word of the chosen path, before it becomes a Word.
struct Token
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QString kana;
    MecabReader::Features features;
    Source source = Source::Dictionary;
    bool doubtful = false;
    QStringList alternatives;
    bool silent = false; // a mark MeCab knows as one: not read
};

// Numbers MeCab reads digit by digit (二|十|歳, 十|日, 三|百|本) as one word with their
// counter: はたち, とおか, さんびゃっぽん; a number without a counter as a whole (二〇二六),
// in verse 二十 alone as an age (はたち).
void joinNumbers(QStringView text, bool poetic, QList<Token> &tokens);
// 々 said as the word before it again, its first sound voiced: 瀬々 せぜ.
void repeatedKanji(QStringView text, QList<Token> &tokens);
// What falls from the sky falls (降る), it does not get off (降りる): MeCab reads 降り as
// おり; after rain, snow and their kind (雨が降り, 雪の降り), and before the verbs that
// only falling takes (降り続く, 降り積もる, 降り注ぐ, 降りしきる), it is ふり.
void fallingWeather(QStringView text, QList<Token> &tokens);
// Words as verse says them: 行く ゆく, 来 by its ending, -るる after a stem in kanji, a
// kanji MeCab takes for a name as its word, an adjective's kanji before the closing かな as
// its noun (寒かな さむさかな).
void poeticWords(QStringView text, QList<Token> &tokens);

// The sounds of the old language as verse says them today: む ending a word after an
// irrealis as ん (待たなむ またなん); where a waka is `recited`, in historical kana a verb
// of one sound and ふ with the o-row after an a-row sound (逢ふ おう), and いふ as ゆう;
// elsewhere (a haiku) as today's verb (這ふ はう, いふ いう).
void classicalSounds(QStringView text, bool historical, bool recited, QList<Token> &tokens);

// How a line is to be read: as verse, in historical kana, recited as a waka.
struct LineStyle
{
    bool poetic = false;
    bool historical = false;
    bool recited = false;
};
// Whether a dictionary knows a word written `surface` in its voiced form `kana` (katakana),
// the form it takes second in a compound: 空 ゾラ, 花 バナ, 月夜 ヅキヨ.
using VoicedForm = std::function<bool(QStringView surface, QStringView kana)>;
// Rendaku in verse: a native noun in kanji right after another noun or a simple verb's
// continuative, ending a compound of three characters or more that no dictionary holds
// whole, or right after the prefix おお, takes the voiced form a dictionary knows for it
// (夕焼空 ゆうやけぞら, 桜月夜 さくらづきよ, かこち顔 かこちがお, 大蛍 おおぼたる); never where
// the word has a voiced sound already (風 かぜ).
void rendaku(QStringView text, const VoicedForm &voiced, QList<Token> &tokens);

// All of them in that order, the verse forms in a poem only. `text` is what the tokens'
// positions count in.
void rewrite(QStringView text, LineStyle style, QList<Token> &tokens,
             const VoicedForm &voiced = {});

// Where another analysis nearly as likely reads a stretch of the text otherwise (the two
// agree on where the stretch starts and ends, not on its kana), the chosen words there that
// hold kanji are doubtful, and a single such word gets the other reading as an alternative.
void markDisagreements(QStringView text, const QList<Token> &other, QList<Token> &tokens);

} // namespace reading
