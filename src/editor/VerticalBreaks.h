#pragma once
// Where vertical columns may break.

#include <QString>

#include <unicode/brkiter.h>

namespace editor {

// ICU's line breaking for Japanese, strict: small kana and ー are not column starters
// either. Null where ICU has none.
icu::BreakIterator *japaneseLineBreaks();

// Columns break beside curly quotes as Unicode 15.1 has it: before an opening quote, or
// after a closing one, that stands between East Asian characters, as at 「 and 」, and on
// neither side of any other. ICU before 74 has its own rules for them (in Japanese it
// breaks before “ and after ” wherever it would at a bracket, and never beside ‘ or ’).
// The break iterator reads the quotes between East Asian characters as those brackets and
// the others as ", which no rule breaks beside: the same length, so positions hold.
// `text` where there are no quotes.
const QString &quotesForBreaking(const QString &text, QString &copy);

} // namespace editor
