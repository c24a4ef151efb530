#pragma once
// The comma text of count-grid files: ordinary CSV. A record is one grid row; cells are
// separated by commas only, records by CR LF (LF or CR alone are read too).
//
// Writing: cells joined by ","; a cell is written in double quotes, inner quotes doubled,
// when it holds a comma, a double quote or a line break (CR or LF), or begins or ends with a
// blank (a control character or space, U+0000-U+0020); an empty cell is written as nothing:
//     {"000001", "a b", "x\"y", " z", "", ""}  ->  000001,a b,"x""y"," z",,
//     {"1", "two\r\nlines"}                    ->  1,"two\r\nlines"
// A list of one empty cell is written as "" to keep it.
//
// Reading takes back exactly what writing gives, so a quoted cell may span lines of the
// file. It also reads what earlier versions wrote (they quoted every cell holding a blank)
// and what people type by hand:
//     a b,c        -> {"a b", "c"}
//     "a, b",c     -> {"a, b", "c"}
//     a,,b         -> {"a", "", "b"}
//     a,           -> {"a", ""}
//       a , b      -> {"a", "b"}       (blanks around an unquoted cell are dropped)
//     "ab" cd,e    -> {"ab cd", "e"}   (text after a closing quote joins the cell)
//     "ab          -> {"ab"}           (a quote never closed runs to the end of its line,
//                                       not of the file)
// A line break ends a record, and a break at the very end of the text ends the last record
// rather than starting an empty one: "a\r\nb\r\n" holds the records {"a"} and {"b"}. An
// empty line is a record without cells.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tools {

QString commaText(const QStringList &cells);
// Every record of a text.
QList<QStringList> parseCommaRecords(QStringView text);
// The cells of the first record of a text.
QStringList parseCommaText(QStringView record);

} // namespace tools
