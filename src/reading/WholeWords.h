#pragma once
// Words a second dictionary holds whole where the first does not: a common noun of kanji
// that the IPA dictionary splits and naist-jdic knows as one (籠手 こて, not かご て; 末年
// まつねん), and a kanji alone that neither MeCab's first dictionary nor KANJIDIC has a word
// for (栖 すみか, where KANJIDIC has only す.む; 鋏 stays KANJIDIC's はさみ). Not an
// honorific's (御目) or a number's (四時), nor a word before kana that are no particle, most
// likely a verb's okurigana (歌咏む, 年暮ぬ).

#include "reading/Lattice.h"
#include "reading/MecabReader.h"

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
// other dictionary.
QList<WholeWord> wholeWords(QStringView text, const Lattice &lattice, const MecabReader &second);

} // namespace reading
