// The editor's process entry: the command line, the application, the main window, the first
// argument.
#include "shell/FontNames.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"
#include "text/LargeTextMemory.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char Usage[] =
    "Usage: kotonami [OPTION]... [FILE]\n"
    "Kotonami, an editor for Japanese poetry and prose in vertical or horizontal writing.\n"
    "Opens FILE (a text file in any encoding the editor reads, a vertical page, or a\n"
    "Windows shortcut to one) in the right pane.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "Qt's own options (-platform, -display, -style, ...) also apply.\n"
    "kotonami-tool does the conversions, counts, pages and readings without a window.\n";

// --help and --version are answered before anything needs a display. Returns the exit
// status when the process should end here.
std::optional<int> answerCommandLine(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            break;
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "-v") == 0 || std::strcmp(arg, "--version") == 0) {
            std::printf("kotonami %s\n", KOTONAMI_VERSION);
            return 0;
        }
    }
    return std::nullopt;
}

// Qt's own dialogs and buttons in the desktop's language (the program's texts are its own).
void loadQtTranslations(QApplication &app)
{
    auto *qt = new QTranslator(&app);
    if (qt->load(QLocale(), QStringLiteral("qt"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt);
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    text::keepLargeBlocksInTheHeap();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kotonami"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kotonami"));
    QApplication::setApplicationVersion(QStringLiteral(KOTONAMI_VERSION));
    // The desktop entry's name: Wayland compositors and task bars match the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kotonami.Kotonami"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("kotonami"), QIcon(QStringLiteral(":/app/kotonami.png"))));
    loadQtTranslations(app);
    shell::installFontSubstitutions();

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!arguments.isEmpty() && arguments.constFirst() == QLatin1String("--"))
        arguments.removeFirst();
    else if (!arguments.isEmpty() && arguments.constFirst().startsWith(u'-')) {
        std::fprintf(stderr, "kotonami: unknown option '%s'\n%s",
                     qPrintable(arguments.constFirst()), Usage);
        return 2;
    }

    shell::QtUiServices ui;
    shell::TMainForm1 window(ui, QApplication::applicationFilePath());
    window.show();
    window.openStartupArgument(arguments);
    window.offerRecovery();
    return QApplication::exec();
}
