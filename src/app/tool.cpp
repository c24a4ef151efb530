// kotonami-tool: the batch side of the editor, for scripts and checks without a window.
// It shares the editor's libraries, so a file counts and decodes exactly as in a pane.
#include "convert/BatchConvert.h"
#include "shell/BatchPage.h"
#include "shell/DocumentFile.h"
#include "text/LargeTextMemory.h"
#include "text/TextMetrics.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

int usage(QTextStream &out, int code)
{
    out << "Usage: kotonami-tool COMMAND [OPTIONS] [FILE...]\n"
           "\n"
           "Commands:\n"
           "  count FILE...   characters, code page 932 bytes and lines of each file\n"
           "                  (line breaks not counted; a double-byte character counts one)\n"
           "  encoding FILE...  the encoding each file opens in: cp932, utf-8 or utf-8-bom\n"
        << convert::batchConvertCommandsHelp() << shell::batchPageCommandsHelp()
        << "  --help          this text; COMMAND --help for a command's options\n"
           "  --version       the program's version\n";
    return code;
}

const char *encodingName(text::FileEncoding e)
{
    switch (e) {
    case text::FileEncoding::Cp932:
        return "cp932";
    case text::FileEncoding::Utf8:
        return "utf-8";
    case text::FileEncoding::Utf8Bom:
        return "utf-8-bom";
    }
    return "?";
}

} // namespace

int main(int argc, char *argv[])
{
    text::keepLargeBlocksInTheHeap();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage(err, 2);
    const QString command = args.constFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return usage(out, 0);
    if (command == QLatin1String("--version")) {
        out << "kotonami-tool " << KOTONAMI_VERSION << "\n";
        return 0;
    }
    if (convert::isBatchConvertCommand(command) || shell::isBatchPageCommand(command)) {
        QFile in;
        QFile outFile;
        if (!in.open(stdin, QIODevice::ReadOnly) || !outFile.open(stdout, QIODevice::WriteOnly)) {
            err << "kotonami-tool: cannot open standard input and output\n";
            return 1;
        }
        const int status = shell::isBatchPageCommand(command)
                               ? shell::runBatchPage(args, in, outFile, err)
                               : convert::runBatchConvert(args, in, outFile, err);
        if (!outFile.flush() && status == 0) {
            err << "kotonami-tool: cannot write the output: " << outFile.errorString() << "\n";
            return 1;
        }
        return status;
    }
    if (command != QLatin1String("count") && command != QLatin1String("encoding"))
        return usage(err, 2);
    if (args.size() < 2)
        return usage(err, 2);
    int status = 0;
    for (const QString &path : args.mid(1)) {
        shell::FileProblem problem;
        const auto doc = shell::readDocument(path, &problem);
        if (!doc) {
            err << path << ": " << problem.message << "\n";
            status = 1;
            continue;
        }
        if (command == QLatin1String("encoding")) {
            out << path << "\t" << encodingName(doc->encoding) << "\n";
            continue;
        }
        const QString body = text::removeLineBreaks(doc->text);
        out << path << "\tcharacters " << text::charCount(body) << "\tbytes "
            << text::cp932ByteLength(body) << "\tlines " << text::splitLines(doc->text).size()
            << "\n";
    }
    return status;
}
