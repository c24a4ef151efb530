#pragma once

// Counting and line handling in the terms of a code page 932 editor, where "a double-byte
// character counts as one".

#include <QString>
#include <QStringList>
#include <QStringView>

namespace text {

// Characters as the user sees them: a surrogate pair is one, and so is a lossless byte
// U+F00xx kept from a file; everything else, a lone surrogate and each of CR and LF
// included, is one per code unit. "a\r\n𠀋" counts 4.
qsizetype charCount(QStringView s);

// Length of the text written in code page 932, always equal to the size of
// encodeCp932(s).bytes: 1 for ASCII, half-width katakana U+FF61-U+FF9F and the lossless
// bytes U+F00xx, 2 for every other character the code page holds, and 1 for a character it
// cannot hold, which is written as '?'. "aｱあ\r\n" counts 1 + 1 + 2 + 2 = 6.
qsizetype cp932ByteLength(QStringView s);

// The lines an editor shows: breaks are CR LF, LF or a lone CR, and n breaks make n + 1
// lines, so a text that ends in a break ends in an empty line (where the caret can go):
//     "a\r\nb\nc\rd" -> {"a", "b", "c", "d"}
//     "a\r\n"        -> {"a", ""}
//     "a\r\r\nb"     -> {"a", "", "b"}
//     ""             -> {""}
// joinLinesCrLf(splitLines(s)) is s with every break made CR LF.
QStringList splitLines(QStringView s);
QString joinLinesCrLf(const QStringList &lines);

// s without any CR or LF: "a\r\nb\rc\nd" -> "abcd".
QString removeLineBreaks(QStringView s);

} // namespace text
