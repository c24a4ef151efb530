#pragma once
// The left pane's whole-text conversions, over any TextTarget. Each runs its table through
// the engine as one batch; the window wraps them in the conversion frame (stopwatch, pane
// frozen, busy cursor) and writes the status bar.

#include "convert/ReplaceEngine.h"
#include "convert/TextTarget.h"

#include <QString>
#include <QStringView>

namespace convert {

struct ManyoganaResult
{
    // Characters of the converted text, line breaks not counted (status panel 2, "字").
    qsizetype characters = 0;
};

// "萬" (ShineSpeedButton21). Leaves engine.ManCandidateCount() at 35.
ManyoganaResult convertToManyogana(ReplaceEngine &engine, TextTarget &target);
// "カ" (KatakanaButton1): パ becomes は, ヴ ぶ, ヰ い.
void convertKatakanaToHiragana(ReplaceEngine &engine, TextTarget &target);
// "カ" (KatakanaButton2): コーヒー becomes 己ー比ー.
void convertKatakanaToKanji(ReplaceEngine &engine, TextTarget &target);
// "ひ" (HiraganaButton1): ゑ becomes エ, ゐ イ.
void convertHiraganaToKatakana(ReplaceEngine &engine, TextTarget &target);

// Characters as status panel 2 counts them: every line's characters, breaks left out; a
// surrogate pair or a byte kept from a file counts one.
qsizetype charactersWithoutBreaks(QStringView text);
// "12行" and "345字": plain decimal numbers, no separators.
QString lineCountText(qsizetype lines);
QString characterCountText(qsizetype characters);

} // namespace convert
