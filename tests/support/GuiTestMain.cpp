// main() of the GUI suites: a QApplication on the offscreen platform (unless a display was
// asked for), the program's font names installed, then GoogleTest.
#include "shell/FontNames.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

QtMessageHandler previousHandler = nullptr;

// The main window reports a handler name it does not know, or one registered twice, in the
// "kotonami.handlers" category: a fault of the program, so the test that meets it fails.
void failOnHandlerFaults(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && qstrcmp(context.category, "kotonami.handlers") == 0)
        ADD_FAILURE() << qPrintable(text);
    if (previousHandler)
        previousHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Recovery copies and the poet's readings of the windows under test go to folders of
    // their own.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    previousHandler = qInstallMessageHandler(failOnHandlerFaults);
    shell::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
