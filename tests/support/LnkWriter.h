#pragma once
// Writes a minimal Windows shortcut (MS-SHLLINK) for tests: the header, then the relative
// path and working folder as counted UTF-16 strings, then the terminal block.

#include <QFile>
#include <QString>
#include <QtEndian>

namespace testsupport {

inline bool writeShortcut(const QString &lnkPath, const QString &relativeTarget,
                          const QString &workingFolder = QString())
{
    QByteArray b;
    auto u16 = [&b](quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto u32 = [&](quint32 v) {
        u16(quint16(v & 0xFFFF));
        u16(quint16(v >> 16));
    };
    u32(0x4C);
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    b.append(reinterpret_cast<const char *>(clsid), 16);
    const quint32 hasRelativePath = 0x08, hasWorkingDir = 0x10, isUnicode = 0x80;
    u32(hasRelativePath | (workingFolder.isEmpty() ? 0 : hasWorkingDir) | isUnicode);
    u32(0x20);                      // archive
    b.append(QByteArray(24, '\0')); // creation, access and write times
    u32(0);                         // file size
    u32(0);                         // icon index
    u32(1);                         // show normal
    u16(0);                         // hot key
    u16(0);
    u32(0);
    u32(0);
    auto counted = [&](const QString &s) {
        u16(quint16(s.size()));
        for (QChar c : s)
            u16(c.unicode());
    };
    counted(relativeTarget);
    if (!workingFolder.isEmpty())
        counted(workingFolder);
    u32(0); // terminal block
    QFile f(lnkPath);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

} // namespace testsupport
