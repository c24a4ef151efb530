#pragma once
// Rules of the main window's geometry and status texts, kept apart from the widgets so
// they are checked without a window.

#include "settings/RegMng.h"
#include <QString>
#include <functional>

namespace shell {

// Width of the left pane when the window is first shown. A stored width under 40 grows
// by 40 (10 becomes 50); a stored width that leaves the right pane less than 40 pixels
// becomes the window's width minus 150.
int leftWidthOnShow(int storedWidth, int windowWidth);
// Width of the left pane after the window was resized: under 40 it grows by 40; then,
// if the right side would be narrower than 40, the window's width minus 100.
int leftWidthOnResize(int leftWidth, int windowWidth);

// Status panel 3: "行:1      列:0    " for the caret at the start (line shown from 1).
QString caretStatusText(int caretLine, int caretColumn);

// A Windows shortcut (".lnk" in any letter case), opened as the file it points to.
bool isShortcutFileName(const QString &path);
// The extension from the last "." of the file name, "" when the name has none.
QString fileExtension(const QString &path);
// Why a file given to open (command line, drop, recent list) cannot be opened, for the
// message: it is missing or a folder. Empty when it may be read (other kinds and unreadable
// files are refused with the system's reason when read; binary files are asked about).
QString cannotOpenReason(const QString &path);

// A path shortened to fit a width in pixels (width(text) measures), for status panel 0
// and the launcher. The folders give way one at a time to "...", the file name never does:
// "C:\a\b\c\poem.txt", "C:\...\b\c\poem.txt", "C:\...\c\poem.txt", "C:\...\poem.txt",
// "...\poem.txt", "poem.txt". Paths with "/" shorten the same way with "/".
QString shortenPath(const QString &path, int maxWidth,
                    const std::function<int(const QString &)> &width);

using settings::DefaultHeight;
using settings::DefaultWidth;
using settings::RestoredLeft;
using settings::RestoredTop;
constexpr int MinimumWidth = 780;
constexpr int MinimumHeight = 320;

} // namespace shell
