#pragma once
// The measuring texts of the left-pane tools: pane counts for the status bar and the
// six-digit numbers of the count grid.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tools {

// Characters of a pane's text with line breaks not counted and a double-byte character
// counting one: the lines あい and abc count 5.
qsizetype paneCharCount(QStringView text);

// Status panels 1 and 2 of "L" and "R": "2行" and "5字".
QString lineCountText(int lines);
QString charCountText(qsizetype chars);

// "%.6d": 3 is "000003", 1234567 stays "1234567", -5 is "-000005".
QString sixDigits(qsizetype n);

// The colour string as the "Color String" bar takes it from a selection or the clipboard,
// and as the count grid records it: one line, with its line breaks (CR, LF, U+2028, U+2029)
// taken out, so "白妙の\n衣" is "白妙の衣". Every selected character stays, as the
// selection's counts leave out only the breaks; a break could never be found in a pane,
// whose lines are blocks, and would split the grid's string cell across lines of its file.
QString colorStringOf(QStringView text);

// The cells of a recorded colouring run: row number, string, count, elapsed time, and an
// empty remark. The string is one cell whatever it holds (blanks and commas included), and
// one line: its line breaks are taken out (colorStringOf()).
QStringList runRow(int rowNumber, const QString &colorString, const QString &countText,
                   const QString &elapsedText);

// The heading row of the count grid: "　", "文字列", "個数", "ミリ秒", "備考".
QStringList countGridHeading();

} // namespace tools
