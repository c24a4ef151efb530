#pragma once
// The conversion commands of kotonami-tool, kept out of its main() so that tests run them
// on buffers:
//
//   kotonami-tool COMMAND [OPTIONS] [FILE]
//     COMMAND   manyogana | kata2hira | kata2kanji | hira2kata
//     FILE      the input ("-" or none: standard input)
//     -o FILE   the output (default: standard output)
//     --encoding cp932|utf-8          read the input in this encoding (default: detected)
//     --output-encoding cp932|utf-8|utf-8-bom   (default: the input's)
//     --seed N  reproducible Man'yogana draws
//     --help
//
// Exit status 0 on success, 2 on bad usage, 1 when the input cannot be read or the output
// cannot be written; each failure prints one line on standard error. Line ends come out
// as they went in.

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace convert {

bool isBatchConvertCommand(const QString &command);
// The lines the tool's --help lists for these commands.
QString batchConvertCommandsHelp();
// `args` starts with the command. `in` and `out` stand for standard input and output.
int runBatchConvert(const QStringList &args, QIODevice &in, QIODevice &out, QTextStream &err);

} // namespace convert
