#include "convert/BatchConvert.h"

#include "convert/Conversions.h"
#include "text/FileEncoding.h"
#include "text/SafeFile.h"

#include <QFile>
#include <optional>

namespace convert {

namespace {

struct Command
{
    const char *name;
    const char *summary;
    void (*run)(ReplaceEngine &, TextTarget &);
};

const Command kCommands[] = {
    {"manyogana", "hiragana to Man'yogana, each syllable a kanji drawn at random",
     [](ReplaceEngine &e, TextTarget &t) { convertToManyogana(e, t); }},
    {"kata2hira", "katakana to hiragana", &convertKatakanaToHiragana},
    {"kata2kanji", "katakana to kanji", &convertKatakanaToKanji},
    {"hira2kata", "hiragana to katakana", &convertHiraganaToKatakana},
};

const Command *findCommand(const QString &name)
{
    for (const Command &c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString commandHelp(const Command &c)
{
    QString help =
        QStringLiteral("Usage: kotonami-tool %1 [OPTIONS] [FILE]\n"
                       "Converts %2.\n"
                       "\n"
                       "  FILE                  input; \"-\" or none reads standard input\n"
                       "  -o FILE               write to FILE instead of standard output\n"
                       "  --encoding ENC        read the input as cp932 or utf-8\n"
                       "                        (default: detected as the editor does)\n"
                       "  --output-encoding ENC cp932, utf-8 or utf-8-bom (default: the "
                       "input's)\n")
            .arg(QLatin1String(c.name), QLatin1String(c.summary));
    if (QLatin1String(c.name) == QLatin1String("manyogana"))
        help += QStringLiteral("  --seed N              make the draws reproducible\n");
    help += QStringLiteral("  --help                this text\n");
    return help;
}

std::optional<text::FileEncoding> encodingNamed(const QString &name, bool allowBom)
{
    if (name == QLatin1String("cp932"))
        return text::FileEncoding::Cp932;
    if (name == QLatin1String("utf-8"))
        return text::FileEncoding::Utf8;
    if (allowBom && name == QLatin1String("utf-8-bom"))
        return text::FileEncoding::Utf8Bom;
    return std::nullopt;
}

QString describe(const QList<char32_t> &chars)
{
    QString s;
    for (qsizetype i = 0; i < chars.size() && i < 10; ++i)
        s += u'「' + QString::fromUcs4(&chars[i], 1) + u'」';
    if (chars.size() > 10)
        s += QStringLiteral(" and %1 more").arg(chars.size() - 10);
    return s;
}

} // namespace

bool isBatchConvertCommand(const QString &command)
{
    return findCommand(command) != nullptr;
}

QString batchConvertCommandsHelp()
{
    QString help;
    for (const Command &c : kCommands)
        help += QStringLiteral("  %1 [OPTIONS] [FILE]  %2\n")
                    .arg(QString::fromLatin1(c.name).leftJustified(10), QLatin1String(c.summary));
    return help;
}

int runBatchConvert(const QStringList &args, QIODevice &in, QIODevice &out, QTextStream &err)
{
    const Command *command = args.isEmpty() ? nullptr : findCommand(args.constFirst());
    if (!command) {
        err << "kotonami-tool: unknown command \"" << args.value(0) << "\"\n";
        return 2;
    }
    const QString name = QLatin1String(command->name);
    const auto usageError = [&](const QString &message) {
        err << "kotonami-tool " << name << ": " << message << " (see kotonami-tool " << name
            << " --help)\n";
        return 2;
    };

    QString inputPath;
    QString outputPath;
    std::optional<text::FileEncoding> inputEncoding;
    std::optional<text::FileEncoding> outputEncoding;
    std::optional<quint64> seed;
    bool haveInput = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        bool hasValue = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(u'=')) {
            value = arg.mid(arg.indexOf(u'=') + 1);
            arg.truncate(arg.indexOf(u'='));
            hasValue = true;
        }
        const bool takesValue = arg == QLatin1String("-o") || arg == QLatin1String("--encoding") ||
                                arg == QLatin1String("--output-encoding") ||
                                arg == QLatin1String("--seed");
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size())
                return usageError(arg + QStringLiteral(" needs a value"));
            value = args[++i];
        } else if (!takesValue && hasValue) {
            return usageError(QStringLiteral("unknown option ") + args[i]);
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out.write(commandHelp(*command).toUtf8());
            return 0;
        } else if (arg == QLatin1String("-o")) {
            outputPath = value;
        } else if (arg == QLatin1String("--encoding")) {
            inputEncoding = encodingNamed(value, false);
            if (!inputEncoding)
                return usageError(QStringLiteral("--encoding takes cp932 or utf-8"));
        } else if (arg == QLatin1String("--output-encoding")) {
            outputEncoding = encodingNamed(value, true);
            if (!outputEncoding)
                return usageError(
                    QStringLiteral("--output-encoding takes cp932, utf-8 or utf-8-bom"));
        } else if (arg == QLatin1String("--seed")) {
            bool ok = false;
            seed = value.toULongLong(&ok);
            if (!ok)
                return usageError(QStringLiteral("--seed takes a whole number"));
        } else if (arg.startsWith(u'-') && arg != QLatin1String("-")) {
            return usageError(QStringLiteral("unknown option ") + arg);
        } else if (haveInput) {
            return usageError(QStringLiteral("only one input file"));
        } else {
            inputPath = arg;
            haveInput = true;
        }
    }
    if (outputPath.isEmpty() && args.contains(QLatin1String("-o")))
        return usageError(QStringLiteral("-o needs a file name"));

    QByteArray bytes;
    if (inputPath.isEmpty() || inputPath == QLatin1String("-")) {
        bytes = in.readAll();
    } else {
        text::FileError problem;
        std::optional<QByteArray> read =
            text::readFileBytes(inputPath, &problem, text::PipePolicy::Allow);
        if (!read) {
            err << "kotonami-tool " << name << ": cannot read " << inputPath << ": "
                << problem.message << "\n";
            return 1;
        }
        bytes = std::move(*read);
    }

    const text::FileEncoding detected = text::detectEncoding(bytes);
    text::FileEncoding encoding = detected;
    if (inputEncoding == text::FileEncoding::Cp932) {
        encoding = text::FileEncoding::Cp932;
    } else if (inputEncoding == text::FileEncoding::Utf8) {
        // Forcing UTF-8 on bytes that are not UTF-8 would turn them into U+FFFD for good.
        if (detected == text::FileEncoding::Cp932 &&
            std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) >= 0x80; })) {
            err << "kotonami-tool " << name << ": the input is not valid UTF-8\n";
            return 1;
        }
        encoding = detected == text::FileEncoding::Utf8Bom ? detected : text::FileEncoding::Utf8;
    }
    StringTarget target(text::decodeText(bytes, encoding));
    ReplaceEngine engine;
    if (seed)
        engine.setSeed(*seed);
    command->run(engine, target);

    const text::FileEncoding outEncoding = outputEncoding.value_or(encoding);
    const text::EncodedText encoded = text::encodeText(target.text(), outEncoding);
    if (!encoded.ok()) {
        err << "kotonami-tool " << name
            << ": these characters cannot be written in "
            << text::encodingKey(outEncoding) << ": " << describe(encoded.unencodable)
            << "\n";
        return 1;
    }
    if (outputPath.isEmpty()) {
        if (out.write(encoded.bytes) != encoded.bytes.size()) {
            err << "kotonami-tool " << name << ": cannot write the output: " << out.errorString()
                << "\n";
            return 1;
        }
        return 0;
    }
    text::FileError problem;
    if (!text::writeFileSafely(outputPath, encoded.bytes, &problem)) {
        err << "kotonami-tool " << name << ": cannot write " << outputPath << ": "
            << problem.message << "\n";
        return 1;
    }
    return 0;
}

} // namespace convert
