#pragma once
// Words the lattice takes beyond MeCab's first dictionary: from the second dictionary, and
// the classical forms no dictionary holds, read from KANJIDIC.
//
// Words a second dictionary holds whole where the first does not: a common noun of kanji
// that the IPA dictionary splits and naist-jdic knows as one (籠手 こて, not かご て; 末年
// まつねん), and a kanji alone that neither MeCab's first dictionary nor KANJIDIC has a word
// for (栖 すみか, where KANJIDIC has only す.む; 鋏 stays KANJIDIC's はさみ). Not an
// honorific's (御目) or a number's (四時), nor a word before kana that are no particle, most
// likely a verb's okurigana (歌咏む, 年暮ぬ).

#include "reading/Lattice.h"
#include "reading/MecabReader.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace reading {

struct WholeWord
{
    qsizetype begin = 0;
    qsizetype end = 0;
    QString kana; // hiragana
};

// `text` is the line as MeCab is given it, `lattice` its candidates so far, `second` the
// other dictionary; in `verse`, also where the first dictionary has only names, but no word
// of Chinese sounds over a verb's kanji.
QList<WholeWord> wholeWords(QStringView text, const Lattice &lattice, const MecabReader &second,
                            bool verse);

// An adjective's classical forms in かり, which neither dictionary holds (寒かりき さむかりき,
// 涼しかるらむ すずしかる): the kanji's native stem with the kana as written.
QList<WholeWord> classicalAdjectives(QStringView text);

// A verb of one row whose stem is one sound (経 へ.る, 居 い.る, 寝 ね.る; not 散る of five
// rows, nor 来る) before the auxiliaries its continuative takes (経なば へなば, 居にけり
// いにけり): the stem alone, where `dictionary` knows the verb so.
QList<WholeWord> oneSoundStems(QStringView text, const MecabReader &dictionary);

// The words of the second dictionary's own analysis of `text` that hold a kanji, by where
// they stand. naist-jdic reads today's everyday words better than the IPA dictionary (夜中
// よなか, 大勢 おおぜい, 何時 なんじ): in prose, where both part the text alike, its reading
// is the one said. And its words in kana that start with は or へ and are no particle: where
// the first takes that kana for the particle, it is said as written (少しはなれた).
QHash<std::pair<qsizetype, qsizetype>, MecabReader::Features>
secondReadings(QStringView text, const MecabReader &second);

} // namespace reading
