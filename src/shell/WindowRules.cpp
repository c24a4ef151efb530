#include "shell/WindowRules.h"

namespace shell {

int leftWidthOnShow(int storedWidth, int windowWidth)
{
    int w = storedWidth < 40 ? storedWidth + 40 : storedWidth;
    if (windowWidth - storedWidth < 40)
        w = windowWidth - 150;
    return w;
}

int leftWidthOnResize(int leftWidth, int windowWidth)
{
    int w = leftWidth < 40 ? leftWidth + 40 : leftWidth;
    if (windowWidth - w < 40)
        w = windowWidth - 100;
    return w;
}

QString caretStatusText(int caretLine, int caretColumn)
{
    return QString::asprintf("行:%-5d  列:%-5d", caretLine + 1, caretColumn);
}

QString fileExtension(const QString &path)
{
    const qsizetype slash =
        qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < slash)
        return {};
    return path.mid(dot);
}

bool isStartupFileName(const QString &path)
{
    const QString ext = fileExtension(path);
    for (const char *allowed : {".txt", ".TXT", ".htm", ".html", ".lnk"}) {
        if (ext == QLatin1String(allowed))
            return true;
    }
    return false;
}

} // namespace shell
