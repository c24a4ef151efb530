#pragma once
// The line as today's spelling would write it, each way it may: historical kana brought to
// its sound (やはらかに as やわらかに, with a particle-like kana starting a word and
// without), the auxiliary む of poetry as ん, and in old prints the kana they leave out (咲て
// さいて, 飛こむ とびこむ, 泣子 なくこ), a large つ for today's small っ (取つて), large や ゆ
// よ for small ones and ぢ づ for じ ず. MeCab reads each, and its words there are
// candidates for the text as written.

#include "reading/KanaRules.h"
#include "reading/Rewriters.h"

#include <QList>
#include <QStringView>

namespace reading {

// `text` is the line as MeCab is given it (katakana as hiragana).
QList<Modernised> todaysSpellings(QStringView text, LineStyle style);

} // namespace reading
