#include "shell/WindowRules.h"

#include "text/SafeFile.h"

#include <QDir>

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

bool isShortcutFileName(const QString &path)
{
    return fileExtension(path).compare(QLatin1String(".lnk"), Qt::CaseInsensitive) == 0;
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

QString cannotOpenReason(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (text::fileKind(path)) {
    case text::FileKind::Missing:
        return QStringLiteral("%1 が見つかりません。").arg(shown);
    case text::FileKind::Folder:
        return QStringLiteral("%1 はフォルダです。開くファイルを選んでください。").arg(shown);
    default:
        return {};
    }
}

} // namespace shell

namespace shell {

QString shortenPath(const QString &path, int maxWidth,
                    const std::function<int(const QString &)> &width)
{
    const QChar sep = path.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    QString drive;
    QString rest = path;
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':')) {
        drive = path.left(2);
        rest = path.mid(2);
    }
    const qsizetype lastSep = rest.lastIndexOf(sep);
    QString folder = lastSep >= 0 ? rest.left(lastSep + 1) : QString();
    const QString name = lastSep >= 0 ? rest.mid(lastSep + 1) : rest;
    const QString dots = QStringLiteral("...") + sep;
    const QString sepDots = sep + dots;
    for (int guard = 0; guard < 4096; ++guard) {
        if (width(drive + folder + name) <= maxWidth || (drive.isEmpty() && folder.isEmpty()))
            break;
        if (folder == sepDots) {
            drive.clear();
            folder = dots;
        } else if (folder.isEmpty()) {
            drive.clear();
        } else if (folder == dots) {
            folder.clear();
        } else {
            const bool leading = folder.startsWith(sep);
            QString inner = leading ? folder.mid(1) : folder;
            if (inner.startsWith(dots))
                inner = inner.mid(dots.size());
            const qsizetype cut = inner.indexOf(sep);
            inner = cut >= 0 ? inner.mid(cut + 1) : QString();
            folder = (leading ? QString(sep) : QString()) + dots + inner;
        }
    }
    return drive + folder + name;
}

} // namespace shell
