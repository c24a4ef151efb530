#pragma once
// The conversion tables, compiled in from data/*.tsv (see data/README.md).

#include "convert/ReplaceEngine.h"

namespace convert {

// The 84 rows of the Man'yogana conversion: 17 fixed rows that bring small kana, ー, ん and
// the half-voiced syllables to what the drawing rows know, then 67 drawing rows.
const ReplaceTable &manyoganaTable();
const ReplaceTable &katakanaToHiraganaTable(); // KatakanaButton1, 86 rows
const ReplaceTable &katakanaToKanjiTable();    // KatakanaButton2, 86 rows
const ReplaceTable &hiraganaToKatakanaTable(); // HiraganaButton1, 83 rows

// Reads a table in the data format: '#' lines are comments; a fixed row is "search TAB
// replacement" or "= TAB search TAB replacement"; a drawing row is "N TAB search TAB" and
// its N candidates, tab-separated. Returns nullopt and the line's number in *badLine when
// a line does not fit (a drawing row whose N is not its number of candidates, say).
std::optional<ReplaceTable> parseReplaceTable(QStringView data, int *badLine = nullptr);

} // namespace convert
