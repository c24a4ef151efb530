#include "shell/ShellLink.h"

#include <QDir>
#include <QFileInfo>

#include <liblnk.h>

namespace shell {

namespace {

using Getter = int (*)(liblnk_file_t *, uint8_t *, size_t, liblnk_error_t **);

QString utf8Value(liblnk_file_t *file, Getter get)
{
    // Shortcut strings are at most a few hundred characters; 4 KB holds any of them.
    uint8_t buffer[4096] = {};
    liblnk_error_t *error = nullptr;
    if (get(file, buffer, sizeof buffer, &error) != 1) {
        if (error)
            liblnk_error_free(&error);
        return {};
    }
    return QString::fromUtf8(reinterpret_cast<const char *>(buffer));
}

QString localPath(const QString &windowsPath)
{
    QString p = windowsPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

} // namespace

ShortcutTarget resolveShortcut(const QString &shortcutPath)
{
    ShortcutTarget target;
    const QFileInfo info(shortcutPath);
    if (info.isSymLink()) {
        // A link named like a shortcut: its target is the file meant.
        target.path = info.canonicalFilePath();
        return target;
    }
    liblnk_file_t *file = nullptr;
    liblnk_error_t *error = nullptr;
    if (liblnk_file_initialize(&file, &error) != 1) {
        if (error)
            liblnk_error_free(&error);
        return target;
    }
    const QByteArray name = QFile::encodeName(shortcutPath);
    if (liblnk_file_open(file, name.constData(), LIBLNK_OPEN_READ, &error) == 1) {
        const QString relative = utf8Value(file, liblnk_file_get_utf8_relative_path);
        const QString local = utf8Value(file, liblnk_file_get_utf8_local_path);
        target.workingFolder = utf8Value(file, liblnk_file_get_utf8_working_directory);
        target.arguments = utf8Value(file, liblnk_file_get_utf8_command_line_arguments);
        const QDir beside = info.absoluteDir();
        if (!relative.isEmpty() && QFileInfo::exists(beside.filePath(localPath(relative))))
            target.path = QDir::cleanPath(beside.filePath(localPath(relative)));
        else if (!local.isEmpty() && QFileInfo::exists(localPath(local)))
            target.path = localPath(local);
        else if (!relative.isEmpty())
            target.path = QDir::cleanPath(beside.filePath(localPath(relative)));
        liblnk_file_close(file, &error);
    }
    if (error)
        liblnk_error_free(&error);
    liblnk_file_free(&file, nullptr);
    return target;
}

} // namespace shell
