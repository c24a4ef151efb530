// The editor's process entry: the application, the main window, the first argument.
#include "shell/FontNames.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"
#include "text/LargeTextMemory.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    text::keepLargeBlocksInTheHeap();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kotonami"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kotonami"));
    shell::installFontSubstitutions();

    shell::QtUiServices ui;
    shell::TMainForm1 window(ui, QApplication::applicationFilePath());
    window.show();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    window.openStartupArgument(arguments);
    window.offerRecovery();
    return QApplication::exec();
}
