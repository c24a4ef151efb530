#pragma once
// The comma text of a grid row, as count-grid files hold it.
//
// Writing: cells joined by ","; a cell holding a blank or control character (U+0000-U+0020),
// a double quote or a comma is written in double quotes with inner quotes doubled; an empty
// cell is written as nothing:
//     {"000001", "a b", "x\"y", "", ""}  ->  000001,"a b","x""y",,
// Reading splits the same way, and blanks outside quotes separate cells too, as files
// written by earlier versions expect:
//     a b,c       -> {"a", "b", "c"}
//     "a, b",c    -> {"a, b", "c"}
//     a,,b        -> {"a", "", "b"}
//     a,          -> {"a", ""}
//     "ab"cd      -> {"ab", "cd"}     (a quoted cell ends at its closing quote)
//     "ab         -> {"ab"}           (an unclosed quote runs to the end of the line)
// Blanks around cells and at the ends of the line are dropped. For every list of cells,
// parseCommaText(commaText(cells)) gives the cells back, trailing empty cells included
// (a list of one empty cell is written as "" to keep it).

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tools {

QString commaText(const QStringList &cells);
QStringList parseCommaText(QStringView line);

} // namespace tools
