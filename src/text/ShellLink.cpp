#include "text/ShellLink.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <liblnk.h>

namespace text {

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

// liblnk allocates a block as large as the shortcut says before it reads the block, so a
// 100-byte file that claims a 2 GB location block costs 2 GB of memory. The blocks are walked
// here first, by the sizes MS-SHLLINK gives them, and a file whose blocks do not fit inside
// it is not handed to the library; nor is a file far larger than any shortcut.
constexpr qint64 MaxShortcutSize = 1 << 20;

bool blocksFitInFile(QByteArrayView b)
{
    const qsizetype size = b.size();
    auto u16 = [&](qsizetype at) { return quint32(quint8(b[at]) | quint8(b[at + 1]) << 8); };
    auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    constexpr qsizetype HeaderSize = 0x4C;
    if (size < HeaderSize || u32(0) != HeaderSize)
        return false;
    const quint32 flags = u32(0x14);
    qsizetype pos = HeaderSize;
    if (flags & 0x01) { // HasLinkTargetIDList: a 16-bit size, then the list
        if (size - pos < 2 || size - pos - 2 < qsizetype(u16(pos)))
            return false;
        pos += 2 + qsizetype(u16(pos));
    }
    if (flags & 0x02) { // HasLinkInfo: a 32-bit size that counts itself
        if (size - pos < 4 || u32(pos) < 4 || size - pos < qsizetype(u32(pos)))
            return false;
        pos += qsizetype(u32(pos));
    }
    // Name, relative path, working folder, arguments, icon: 16-bit counts of characters.
    const qsizetype unit = (flags & 0x80) ? 2 : 1;
    for (quint32 stringFlag = 0x04; stringFlag <= 0x40; stringFlag <<= 1) {
        if (!(flags & stringFlag))
            continue;
        if (size - pos < 2 || size - pos - 2 < qsizetype(u16(pos)) * unit)
            return false;
        pos += 2 + qsizetype(u16(pos)) * unit;
    }
    // Extra data blocks, 32-bit sizes that count themselves, up to one below 4 (the end).
    while (size - pos >= 4) {
        const quint32 blockSize = u32(pos);
        if (blockSize < 4)
            break;
        if (size - pos < qsizetype(blockSize))
            return false;
        pos += qsizetype(blockSize);
    }
    return true;
}

bool plausibleShortcut(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxShortcutSize)
        return false;
    return blocksFitInFile(file.readAll());
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
    if (!plausibleShortcut(shortcutPath))
        return target;
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

} // namespace text
