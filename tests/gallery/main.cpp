// kotonami_gallery [--docs] FOLDER
//   Writes pictures of the program into FOLDER (made when missing): every widget in each of
//   its states, the bars, the tool windows and the main window. With --docs, only the
//   pictures the README shows, under their names in docs/, so that
//   `kotonami_gallery --docs docs` in the source tree remakes them in place.
#include "Gallery.h"

#include "shell/FontNames.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace gallery {

void Shelf::keep(const QImage &image, const QString &name, Kind kind)
{
    if (docsOnly && kind != Docs)
        return;
    const QString path = QDir(folder).filePath(name);
    if (image.isNull() || !image.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

} // namespace gallery

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows keep settings, recovery copies and the poet's readings: in folders of
    // their own, never the user's.
    QTemporaryDir state, config;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    shell::installFontSubstitutions();

    QStringList args = QApplication::arguments().mid(1);
    gallery::Shelf shelf;
    shelf.docsOnly = args.removeAll(QStringLiteral("--docs")) > 0;
    if (args.size() != 1 || args[0].startsWith(u'-')) {
        std::fprintf(stderr, "usage: kotonami_gallery [--docs] FOLDER\n");
        return 2;
    }
    shelf.folder = args[0];
    if (!QDir().mkpath(shelf.folder)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(shelf.folder));
        return 1;
    }
    gallery::saveWidgetSheets(shelf);
    gallery::saveToolPictures(shelf);
    gallery::saveWindowPictures(shelf);
    return shelf.failures == 0 ? 0 : 1;
}
