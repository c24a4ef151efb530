// kotonami-tool: the batch side of the editor, for scripts and checks without a window.
// It shares the editor's libraries, so a file counts and decodes exactly as in a pane.
#include "convert/BatchConvert.h"
#include "html/BatchPage.h"
#include "reading/ReadingEngine.h"
#include "speech/SpeakToWav.h"
#include "speech/SpeakerSelection.h"
#include "speech/SpokenJapanese.h"
#include "text/DocumentFile.h"
#include "text/FileEncoding.h"
#include "text/LargeTextMemory.h"
#include "text/TextMetrics.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <algorithm>

namespace {

// The usage lines of the commands run here, in the overall usage and after COMMAND --help.
const char kCountHelp[] =
    "  count FILE...   characters, code page 932 bytes and lines of each file\n"
    "                  (line breaks not counted; a double-byte character counts one)\n";
const char kEncodingHelp[] =
    "  encoding FILE...  the encoding each file opens in: cp932, utf-8, utf-8-bom,\n"
    "                  utf-16le, utf-16be, euc-jp or iso-2022-jp\n";
const char kReadingHelp[] =
    "  reading [FILE] [--format kana|romaji|ruby|mora|unsure] [--historical]\n"
    "          [--encoding ENC] [--output-encoding ENC]\n"
    "                      the reading of each line as the speakers get it: kana with\n"
    "                      blanks between words (default), Latin letters, the text\n"
    "                      with every kanji word in ruby notation 漢字《かんじ》, the\n"
    "                      sounds (morae) of each line and of each ku: 17<TAB>5・7・5,\n"
    "                      with the ku that are too long (字余り) or too short (字足らず),\n"
    "                      or the doubtful readings: LINE:COLUMN<TAB>word<TAB>reading<TAB>\n"
    "                      other readings; the input is read as cp932 or utf-8 (default:\n"
    "                      detected), the output written as cp932, utf-8 or utf-8-bom\n"
    "                      (default utf-8), each line with the input's own line end;\n"
    "                      --historical writes the ruby of classical words in\n"
    "                      historical kana where the lexicon knows it (白妙《しろたへ》)\n";
const char kSpeakHelp[] =
    "  speak [FILE] -o WAV [--speaker NAME] [--speed N]\n"
    "                      the text read aloud into a WAV file (speakers Naoko, Kenji,\n"
    "                      Mary, Mike, Carol, Peter; speed 130-188, default 150)\n"
    "  speak [FILE] -o WAV --recite [--opening] [--speaker NAME] [--speed N]\n"
    "                      each line recited as a poem, as karuta readers read a waka\n"
    "                      (upper ku 6 s, lower ku 5 s with its last sound held 3 s,\n"
    "                      1 s of silence; a haiku ku by ku), by Naoko or Kenji;\n"
    "                      --opening reads the first poem as the opening poem (序歌):\n"
    "                      upper ku, lower ku, lower ku again\n"
    "  speak [FILE] --labels\n"
    "                      what the Japanese speakers' HTS voices are given for each\n"
    "                      line: one full-context label per phoneme, a blank line after\n"
    "                      each line of the text\n";

int usage(QTextStream &out, int code)
{
    out << "Usage: kotonami-tool COMMAND [OPTIONS] [FILE...]\n"
           "\n"
           "Commands:\n"
        << kCountHelp << kEncodingHelp << convert::batchConvertCommandsHelp()
        << html::batchPageCommandsHelp() << kReadingHelp << kSpeakHelp
        << "  --help          this text; COMMAND --help for a command's options\n"
           "  --version       the program's version\n";
    return code;
}

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

int commandUsage(QTextStream &out, const char *help)
{
    out << "Usage:\n" << help;
    return 0;
}

// The bytes of the command's input: a file (a pipe such as <(…) too), or standard input
// for none or "-". Nullopt after saying why on standard error.
// An argument that is no known option: the input file ("-" or nothing for standard
// input), or an unknown option, which is reported (false).
bool takeInputArgument(const QString &a, QString &input, QTextStream &err)
{
    if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
        err << "kotonami-tool: unknown option " << a << "\n";
        return false;
    }
    input = a;
    return true;
}

std::optional<QByteArray> readInput(const QString &input, QTextStream &err)
{
    if (input.isEmpty() || input == QLatin1String("-")) {
        QFile in;
        return in.open(stdin, QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    text::FileError problem;
    std::optional<QByteArray> bytes = text::readFileBytes(input, &problem, text::PipePolicy::Allow);
    if (!bytes)
        err << "kotonami-tool: cannot read " << input << ": " << problem.message << "\n";
    return bytes;
}

// kotonami-tool speak: a poem read aloud into a WAV file, by the editor's own engine.
int speak(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (std::any_of(args.cbegin() + 1, args.cend(), isHelp))
        return commandUsage(out, kSpeakHelp);
    QString input, output, speaker = QStringLiteral("Naoko");
    int speed = 150;
    bool labels = false;
    speech::Recital recital = speech::Recital::None;
    bool opening = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--labels")) {
            labels = true;
            continue;
        }
        if (a == QLatin1String("--recite")) {
            recital = speech::Recital::Poems;
            continue;
        }
        if (a == QLatin1String("--opening")) {
            opening = true;
            continue;
        }
        const bool takesValue = a == QLatin1String("-o") || a == QLatin1String("--speaker") ||
                                a == QLatin1String("--speed") || a == QLatin1String("--encoding");
        if (takesValue && i + 1 >= args.size()) {
            err << "kotonami-tool: " << a << " needs a value\n";
            return 2;
        }
        if (a == QLatin1String("-o")) {
            output = args[++i];
        } else if (a == QLatin1String("--speaker")) {
            speaker = args[++i];
        } else if (a == QLatin1String("--speed")) {
            bool ok = false;
            speed = args[++i].toInt(&ok);
            if (!ok || speed < 130 || speed > 188) {
                err << "kotonami-tool: --speed takes a whole number from 130 to 188\n";
                return 2;
            }
        } else if (!takeInputArgument(a, input, err)) {
            return 2;
        }
    }
    if (labels) {
        const std::optional<QByteArray> bytes = readInput(input, err);
        if (!bytes)
            return 1;
        reading::ReadingEngine engine;
        for (const QString &problem : engine.loadUserDictionary())
            err << "kotonami-tool: " << problem << "\n";
        const speech::SpokenJapanese spoken(engine);
        const QString text = text::decodeText(*bytes, text::detectEncoding(*bytes));
        for (QStringView line : QStringView(text).split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            for (const QString &label : spoken.labels(line))
                out << label << "\n";
            out << "\n";
        }
        return 0;
    }
    if (output.isEmpty()) {
        err << "kotonami-tool: speak needs -o FILE.wav\n";
        return 2;
    }
    bool numbered = false;
    int id = speaker.toInt(&numbered);
    if (!numbered)
        id = speech::speakerNumber(speaker);
    if (id < 1 || id > 6) {
        err << "kotonami-tool: unknown speaker " << speaker << "\n";
        return 2;
    }
    const std::optional<QByteArray> bytes = readInput(input, err);
    if (!bytes)
        return 1;
    const QString text = text::decodeText(*bytes, text::detectEncoding(*bytes));
    if (opening && recital == speech::Recital::None) {
        err << "kotonami-tool: --opening goes with --recite\n";
        return 2;
    }
    if (opening)
        recital = speech::Recital::WithOpening;
    QString problem, notice;
    if (!speech::speakToWav(text, id, output, &problem, speed, &notice, recital)) {
        err << "kotonami-tool: " << problem << "\n";
        return 1;
    }
    if (!notice.isEmpty())
        err << "kotonami-tool: " << notice << "\n";
    return 0;
}

// A line's sounds as `reading --format mora` prints them: "18	6・7・5	字余り 1".
QString meterLine(const reading::LineMeter &m)
{
    QString line = QString::number(m.total());
    if (m.total() > 0)
        line += u'\t' + m.kuText();
    for (const int sign : {1, -1}) {
        QStringList marked;
        for (qsizetype k = 0; k < m.ku.size(); ++k)
            if (m.deviation(k) == sign)
                marked << QString::number(k + 1);
        if (!marked.isEmpty())
            line += (sign > 0 ? QStringLiteral("\t字余り ") : QStringLiteral("\t字足らず ")) +
                    marked.join(u',');
    }
    return line;
}

// The encodings the reading command takes: cp932 and utf-8 in, utf-8-bom out as well.
std::optional<text::FileEncoding> readingEncoding(const QString &name, bool output)
{
    const std::optional<text::FileEncoding> e = text::encodingFromKey(name);
    const bool taken = e == text::FileEncoding::Cp932 || e == text::FileEncoding::Utf8 ||
                       (output && e == text::FileEncoding::Utf8Bom);
    return taken ? e : std::nullopt;
}

// The doubtful readings of a line as `reading --format unsure` lists them.
QString unsureLines(const reading::ReadingEngine &engine, QStringView line, qsizetype number)
{
    QString out;
    for (const reading::Word &w : engine.words(line)) {
        if (!w.doubtful)
            continue;
        out += QStringLiteral("%1:%2\t%3\t%4\t%5")
                   .arg(number)
                   .arg(w.begin + 1)
                   .arg(line.sliced(w.begin, w.end - w.begin).toString(), w.kana,
                        w.alternatives.join(u'、'));
        out += u'\n';
    }
    return out;
}

// kotonami-tool reading: the reading engine's view of a text, line by line.
int readingCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (std::any_of(args.cbegin() + 1, args.cend(), isHelp))
        return commandUsage(out, kReadingHelp);
    QString input, format = QStringLiteral("kana");
    bool historical = false;
    std::optional<text::FileEncoding> inputEncoding;
    text::FileEncoding outputEncoding = text::FileEncoding::Utf8;
    static const QStringList formats = {QStringLiteral("kana"), QStringLiteral("romaji"),
                                        QStringLiteral("ruby"), QStringLiteral("mora"),
                                        QStringLiteral("unsure")};
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString a = args[i];
        QString value;
        bool hasValue = false;
        if (a.startsWith(QLatin1String("--")) && a.contains(u'=')) {
            value = a.mid(a.indexOf(u'=') + 1);
            a.truncate(a.indexOf(u'='));
            hasValue = true;
        }
        const bool takesValue = a == QLatin1String("--format") ||
                                a == QLatin1String("--encoding") ||
                                a == QLatin1String("--output-encoding");
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                err << "kotonami-tool: " << a << " needs a value\n";
                return 2;
            }
            value = args[++i];
        }
        if (a == QLatin1String("--format")) {
            format = value;
            if (!formats.contains(format)) {
                err << "kotonami-tool: --format takes kana, romaji, ruby, mora or unsure\n";
                return 2;
            }
        } else if (a == QLatin1String("--encoding")) {
            inputEncoding = readingEncoding(value, false);
            if (!inputEncoding) {
                err << "kotonami-tool: --encoding takes cp932 or utf-8\n";
                return 2;
            }
        } else if (a == QLatin1String("--historical") && !hasValue) {
            historical = true;
        } else if (a == QLatin1String("--output-encoding")) {
            const auto named = readingEncoding(value, true);
            if (!named) {
                err << "kotonami-tool: --output-encoding takes cp932, utf-8 or utf-8-bom\n";
                return 2;
            }
            outputEncoding = *named;
        } else if (hasValue || !takeInputArgument(a, input, err)) {
            if (hasValue)
                err << "kotonami-tool: unknown option " << args[i] << "\n";
            return 2;
        }
    }
    const std::optional<QByteArray> bytes = readInput(input, err);
    if (!bytes)
        return 1;
    const text::FileEncoding detected = text::detectEncoding(*bytes);
    text::FileEncoding encoding = detected;
    if (inputEncoding == text::FileEncoding::Cp932) {
        encoding = text::FileEncoding::Cp932;
    } else if (inputEncoding == text::FileEncoding::Utf8) {
        // Read as UTF-8, bytes that are not would become U+FFFD: refused instead.
        if (!QUtf8StringView(*bytes).isValidUtf8()) {
            err << "kotonami-tool: the input is not valid UTF-8\n";
            return 1;
        }
        encoding = detected == text::FileEncoding::Utf8Bom ? detected : text::FileEncoding::Utf8;
    }
    const QString text = text::decodeText(*bytes, encoding);
    reading::ReadingEngine engine;
    for (const QString &problem : engine.loadUserDictionary())
        err << "kotonami-tool: " << problem << "\n";

    // Line by line, each with the line end it had (CR LF, LF or CR); a last line without one
    // gets LF, as the command always wrote.
    QString result;
    result.reserve(text.size() * 2);
    qsizetype number = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        qsizetype next = end;
        if (next < text.size() && text[next] == u'\r')
            ++next;
        if (next < text.size() && text[next] == u'\n')
            ++next;
        const QStringView line = QStringView(text).sliced(start, end - start);
        const QStringView lineEnd =
            next > end ? QStringView(text).sliced(end, next - end) : QStringView(u"\n");
        ++number;
        if (format == QLatin1String("unsure")) {
            result += unsureLines(engine, line, number);
        } else {
            result += format == QLatin1String("mora")     ? meterLine(engine.meter(line))
                      : format == QLatin1String("romaji") ? engine.romaji(line)
                      : format == QLatin1String("ruby")   ? engine.withRuby(line, historical)
                                                          : engine.kana(line);
            result += lineEnd;
        }
        start = next;
    }
    const text::EncodedText encoded = text::encodeText(result, outputEncoding);
    if (!encoded.ok()) {
        err << "kotonami-tool: the reading holds characters the output encoding cannot hold\n";
        return 1;
    }
    out.flush();
    QFile stdoutFile;
    if (!stdoutFile.open(stdout, QIODevice::WriteOnly) ||
        stdoutFile.write(encoded.bytes) != encoded.bytes.size()) {
        err << "kotonami-tool: cannot write the output\n";
        return 1;
    }
    return 0;
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
    if (command == QLatin1String("speak"))
        return speak(args, out, err);
    if (command == QLatin1String("reading"))
        return readingCommand(args, out, err);
    if (convert::isBatchConvertCommand(command) || html::isBatchPageCommand(command)) {
        QFile in;
        QFile outFile;
        if (!in.open(stdin, QIODevice::ReadOnly) || !outFile.open(stdout, QIODevice::WriteOnly)) {
            err << "kotonami-tool: cannot open standard input and output\n";
            return 1;
        }
        const int status = html::isBatchPageCommand(command)
                               ? html::runBatchPage(args, in, outFile, err)
                               : convert::runBatchConvert(args, in, outFile, err);
        if (!outFile.flush() && status == 0) {
            err << "kotonami-tool: cannot write the output: " << outFile.errorString() << "\n";
            return 1;
        }
        return status;
    }
    if (command != QLatin1String("count") && command != QLatin1String("encoding"))
        return usage(err, 2);
    // A file really named "--help" is given as "./--help".
    if (std::any_of(args.cbegin() + 1, args.cend(), isHelp))
        return commandUsage(out, command == QLatin1String("count") ? kCountHelp : kEncodingHelp);
    if (args.size() < 2)
        return usage(err, 2);
    int status = 0;
    for (const QString &path : args.mid(1)) {
        text::FileError problem;
        const auto doc = text::readDocument(path, &problem, {}, text::PipePolicy::Allow);
        if (!doc) {
            err << path << ": " << problem.message << "\n";
            status = 1;
            continue;
        }
        if (command == QLatin1String("encoding")) {
            out << path << "\t" << text::encodingKey(doc->format.encoding) << "\n";
            continue;
        }
        const QString body = text::removeLineBreaks(doc->text);
        out << path << "\tcharacters " << text::charCount(body) << "\tbytes "
            << text::cp932ByteLength(body) << "\tlines " << text::splitLines(doc->text).size()
            << "\n";
    }
    return status;
}
