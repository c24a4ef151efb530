#pragma once
// Windows shortcut files (.lnk, MS-SHLLINK) read through liblnk. Poems often travel with
// their shortcuts from Windows; a shortcut's relative path resolves beside the shortcut,
// and an absolute Windows path (C:\...) that does not exist here yields nothing. A
// symbolic link named like a shortcut is followed to its target file.

#include <QString>

namespace text {

struct ShortcutTarget
{
    QString path;          // empty when not obtained
    QString workingFolder; // empty when not obtained
    QString arguments;     // empty when not obtained
};

ShortcutTarget resolveShortcut(const QString &shortcutPath);

} // namespace text
