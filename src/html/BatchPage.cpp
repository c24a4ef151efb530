#include "html/BatchPage.h"

#include "html/HtmlStyle.h"
#include "html/PageGenerator.h"
#include "settings/RegMng.h"
#include "text/FileEncoding.h"
#include "text/SafeFile.h"

#include <QFile>
#include <QFileInfo>

namespace html {

namespace {

// A file's lines: CR LF or LF ends a line, and a final line end adds no empty line.
QStringList fileLines(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    if (t.isEmpty())
        return {};
    return t.split(QLatin1Char('\n'));
}

html::HtmlStyle styleFrom(const QString &iniPath)
{
    html::HtmlStoredValues stored;
    stored.Edit4Text.clear();
    stored.Edit5Text.clear();
    if (!iniPath.isEmpty()) {
        settings::TRegManager reg;
        reg.setIniFileName(iniPath);
        auto text = [&reg](const char *name) {
            return reg.filer(QLatin1String(name)).readString();
        };
        stored.bgc = text("bgc");
        stored.mclo = text("mclo");
        stored.mclt = text("mclt");
        stored.Lcl = text("Lcl");
        stored.Dai = text("Dai");
        stored.Mfn = text("Mfn");
        stored.fze = text("fze");
        stored.Lint = text("Lint");
        stored.Linu = text("Linu");
        stored.Edit4Text = text("Edit4Text");
        stored.Edit5Text = text("Edit5Text");
        stored.FLink = reg.filer(QStringLiteral("FLink")).readBool();
        for (int box = 1; box <= html::kBoxCount; ++box)
            stored.CheckBoxChecked[size_t(box)] =
                reg.filer(QStringLiteral("CheckBox%1Checked").arg(box)).readBool();
    } else {
        for (int box = 1; box <= html::kBoxCount; ++box)
            stored.CheckBoxChecked[size_t(box)] = html::boxCheckedByDefault(box);
    }
    html::HtmlStyleState state;
    state.loadSettings(stored);
    return state.style();
}

std::optional<QString> readText(QIODevice &device, const QString &path,
                                std::optional<text::FileEncoding> forced, QTextStream &err)
{
    QByteArray bytes;
    if (path.isEmpty() || path == QLatin1String("-")) {
        bytes = device.readAll();
    } else {
        text::FileError problem;
        std::optional<QByteArray> read =
            text::readFileBytes(path, &problem, text::PipePolicy::Allow);
        if (!read) {
            err << "kotonami-tool: cannot read " << path << ": " << problem.message << "\n";
            return std::nullopt;
        }
        bytes = std::move(*read);
    }
    text::FileEncoding e = forced.value_or(text::detectEncoding(bytes));
    if (forced == text::FileEncoding::Utf8 &&
        text::detectEncoding(bytes) == text::FileEncoding::Utf8Bom)
        e = text::FileEncoding::Utf8Bom;
    return text::decodeText(bytes, e);
}

} // namespace

bool isBatchPageCommand(const QString &command)
{
    return command == QLatin1String("page") || command == QLatin1String("longpage") ||
           command == QLatin1String("insert");
}

QString batchPageCommandsHelp()
{
    return QStringLiteral(
        "  page [FILE]         the vertical HTML page of a poem\n"
        "  longpage [FILE]     the long-text HTML page of a text, 30 lines a block\n"
        "  insert --into PAGE [FILE]\n"
        "                      the page file PAGE with the poem's table inserted\n"
        "    page options: -o FILE, --encoding cp932|utf-8 (the poem's),\n"
        "                  --output-encoding cp932|utf-8 (default cp932),\n"
        "                  --settings INI (style values from the editor's settings file),\n"
        "                  --ruby (ruby notation 漢字《かんじ》 as <ruby>),\n"
        "                  --tcy N (runs of up to N half-width digits or letters, 2 to 4,\n"
        "                  set upright: tate-chū-yoko)\n");
}

int runBatchPage(const QStringList &args, QIODevice &in, QIODevice &out, QTextStream &err)
{
    const QString command = args.value(0);
    QString input, output, settings, into;
    std::optional<text::FileEncoding> inputEncoding;
    text::FileEncoding outputEncoding = text::FileEncoding::Cp932;
    bool ruby = false;
    int uprightLength = 0;
    auto usage = [&err](const QString &why) {
        err << "kotonami-tool: " << why << " (see kotonami-tool --help)\n";
        return 2;
    };
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool takesValue = a == QLatin1String("-o") || a == QLatin1String("--encoding") ||
                                a == QLatin1String("--output-encoding") ||
                                a == QLatin1String("--settings") || a == QLatin1String("--into") ||
                                a == QLatin1String("--tcy");
        if (takesValue && i + 1 >= args.size())
            return usage(a + QStringLiteral(" needs a value"));
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out.write((QStringLiteral("Usage:\n") + batchPageCommandsHelp()).toUtf8());
            return 0;
        } else if (a == QLatin1String("-o")) {
            output = args[++i];
        } else if (a == QLatin1String("--settings")) {
            settings = args[++i];
        } else if (a == QLatin1String("--into")) {
            into = args[++i];
        } else if (a == QLatin1String("--ruby")) {
            ruby = true;
        } else if (a == QLatin1String("--tcy")) {
            bool ok = false;
            uprightLength = args[++i].toInt(&ok);
            if (!ok || uprightLength < 2 || uprightLength > 4)
                return usage(QStringLiteral("--tcy takes 2, 3 or 4"));
        } else if (a == QLatin1String("--encoding")) {
            const QString v = args[++i];
            if (v == QLatin1String("cp932"))
                inputEncoding = text::FileEncoding::Cp932;
            else if (v == QLatin1String("utf-8"))
                inputEncoding = text::FileEncoding::Utf8;
            else
                return usage(QStringLiteral("--encoding takes cp932 or utf-8"));
        } else if (a == QLatin1String("--output-encoding")) {
            const QString v = args[++i];
            if (v == QLatin1String("cp932"))
                outputEncoding = text::FileEncoding::Cp932;
            else if (v == QLatin1String("utf-8"))
                outputEncoding = text::FileEncoding::Utf8;
            else
                return usage(QStringLiteral("--output-encoding takes cp932 or utf-8"));
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return usage(QStringLiteral("unknown option ") + a);
        } else if (input.isEmpty()) {
            input = a;
        } else {
            return usage(QStringLiteral("only one input file"));
        }
    }
    if (command == QLatin1String("insert") && into.isEmpty())
        return usage(QStringLiteral("insert needs --into PAGE"));
    if (!settings.isEmpty() && !QFileInfo(settings).isFile()) {
        err << "kotonami-tool: cannot read " << settings << "\n";
        return 1;
    }
    const auto poem = readText(in, input, inputEncoding, err);
    if (!poem)
        return 1;
    html::HtmlStyle style = styleFrom(settings);
    style.ruby = ruby;
    style.uprightLength = uprightLength;
    QStringList lines = fileLines(*poem);
    // As in the window, whose page commands convert nothing from an empty pane: an empty
    // page file would pass for a page.
    if (lines.isEmpty()) {
        err << "kotonami-tool: " << QString::fromUtf16(html::kMsgNoConvertText) << "\n";
        return 1;
    }
    QStringList result;
    if (command == QLatin1String("page")) {
        result = html::verticalPage(lines, style).lines;
    } else if (command == QLatin1String("longpage")) {
        result = html::longTextPage(lines, style).lines;
    } else {
        text::FileError problem;
        const std::optional<QByteArray> pageRead = text::readFileBytes(into, &problem);
        if (!pageRead) {
            err << "kotonami-tool: cannot read " << into << ": " << problem.message << "\n";
            return 1;
        }
        const QByteArray &pageBytes = *pageRead;
        const QString page = text::decodeText(pageBytes, text::detectEncoding(pageBytes));
        // As after the hard line breaks, the poem's lines end with one empty line.
        lines << QString();
        const html::HtmlPage block = html::insertionBlock(lines, style);
        const auto inserted =
            html::insertIntoPage(fileLines(page), block.lines, style.checked(html::InsertAbove));
        if (!inserted) {
            err << "kotonami-tool: " << QString::fromUtf16(html::kMsgNoInsertionPoint) << "\n";
            return 1;
        }
        result = *inserted;
    }
    const QByteArray bytes = html::pageFileBytes(result, outputEncoding);
    if (output.isEmpty()) {
        if (out.write(bytes) != bytes.size()) {
            err << "kotonami-tool: cannot write the output\n";
            return 1;
        }
        return 0;
    }
    text::FileError problem;
    if (!text::writeFileSafely(output, bytes, &problem)) {
        err << "kotonami-tool: cannot write " << output << ": " << problem.message << "\n";
        return 1;
    }
    return 0;
}

} // namespace html
