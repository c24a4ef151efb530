// Writes the shortcut fuzzer's seeds into the folder given: shortcuts as the test suite
// writes them, with and without a working folder, relative, absolute and Windows paths,
// and one as Windows writes them for a local file, with the target's location block
// (volume and local path) and command line arguments.

#include "LnkWriter.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

void putU16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

void putU32(QByteArray &b, quint32 v)
{
    putU16(b, quint16(v & 0xFFFF));
    putU16(b, quint16(v >> 16));
}

bool writeLocalShortcut(const QString &lnkPath)
{
    QByteArray b;
    putU32(b, 0x4C);
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    b.append(reinterpret_cast<const char *>(clsid), 16);
    const quint32 hasLinkInfo = 0x02, hasArguments = 0x20, isUnicode = 0x80;
    putU32(b, hasLinkInfo | hasArguments | isUnicode);
    putU32(b, 0x20);
    b.append(QByteArray(24, '\0'));
    putU32(b, 1234); // file size
    putU32(b, 0);
    putU32(b, 1);
    putU16(b, 0);
    putU16(b, 0);
    putU32(b, 0);
    putU32(b, 0);

    // The location block: header, volume (fixed drive, empty label), local path, suffix.
    const QByteArray localPath("C:\\poems\\aki.txt");
    const quint32 header = 0x1C, volumeSize = 0x11;
    const quint32 pathAt = header + volumeSize;
    const quint32 suffixAt = pathAt + quint32(localPath.size()) + 1;
    const quint32 total = suffixAt + 1;
    putU32(b, total);
    putU32(b, header);
    putU32(b, 1); // volume and local path
    putU32(b, header);
    putU32(b, pathAt);
    putU32(b, 0);
    putU32(b, suffixAt);
    putU32(b, volumeSize);
    putU32(b, 3); // fixed drive
    putU32(b, 0x1234ABCD);
    putU32(b, 0x10);
    b.append('\0');
    b.append(localPath).append('\0');
    b.append('\0');

    const QString arguments = QStringLiteral("--vertical 秋.txt");
    putU16(b, quint16(arguments.size()));
    for (QChar c : arguments)
        putU16(b, c.unicode());
    putU32(b, 0);
    QFile f(lnkPath);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

// A shortcut as the test suite writes it, with an item list before its strings and extra
// data blocks (a special folder, the environment-variable target) before its end.
bool writeShortcutWithBlocks(const QString &lnkPath)
{
    if (!testsupport::writeShortcut(lnkPath, QStringLiteral("poem.txt")))
        return false;
    QFile f(lnkPath);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QByteArray b = f.readAll();
    f.close();
    b[0x14] = char(b[0x14] | 0x01); // HasLinkTargetIDList
    QByteArray items;
    const QByteArray item(
        "\x1F\x50\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D",
        18); // a root folder item: sort index and the folder's identifier
    putU16(items, quint16(item.size() + 2));
    items.append(item);
    putU16(items, 0);
    QByteArray list;
    putU16(list, quint16(items.size()));
    list.append(items);
    b.insert(0x4C, list);

    b.chop(4); // the terminal block comes after the extra blocks
    putU32(b, 0x10);
    putU32(b, 0xA0000005); // special folder: its number and the offset of its item
    putU32(b, 0x24);
    putU32(b, 0);
    putU32(b, 0x314);
    putU32(b, 0xA0000001); // environment variables: the target as ANSI and as UTF-16
    QByteArray ansi("%USERPROFILE%\\poem.txt");
    ansi.resize(260, '\0');
    b.append(ansi);
    QByteArray wide;
    for (char c : QByteArray("%USERPROFILE%\\poem.txt"))
        putU16(wide, quint16(uchar(c)));
    wide.resize(520, '\0');
    b.append(wide);
    putU32(b, 0);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(b) == b.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_lnk_seeds FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const struct
    {
        const char *file;
        QString target;
        QString workingFolder;
    } seeds[] = {
        {"relative.lnk", QStringLiteral("poem.txt"), {}},
        {"folders.lnk", QStringLiteral("..\\poems\\秋.txt"), QStringLiteral("C:\\Users\\kotonami")},
        {"absolute.lnk", QStringLiteral("/tmp/kotonami/poem.txt"), QStringLiteral("/tmp")},
        {"windows.lnk", QStringLiteral("C:\\Program Files\\editor.exe"), QStringLiteral("C:\\")},
        {"empty.lnk", QString(), {}},
    };
    for (const auto &seed : seeds) {
        if (!testsupport::writeShortcut(dir.filePath(QLatin1String(seed.file)), seed.target,
                                        seed.workingFolder)) {
            std::fprintf(stderr, "cannot write %s\n", seed.file);
            return 1;
        }
    }
    if (!writeLocalShortcut(dir.filePath(QStringLiteral("local.lnk"))) ||
        !writeShortcutWithBlocks(dir.filePath(QStringLiteral("blocks.lnk")))) {
        std::fprintf(stderr, "cannot write local.lnk or blocks.lnk\n");
        return 1;
    }
    return 0;
}
