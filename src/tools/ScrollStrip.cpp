#include "tools/ScrollStrip.h"

#include "text/TextMetrics.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tools {

int stripImageWidth(int stripWidth, int textWidth, int pointSize)
{
    // Integer division truncates toward zero, as the rounding asks.
    return std::max(stripWidth, textWidth) + pointSize / 2;
}

void StripScroller::start(int stripWidth, int imageWidth)
{
    m_stripWidth = stripWidth;
    m_imageWidth = imageWidth;
    m_x = stripWidth;
}

int StripScroller::step()
{
    m_x -= kStripStepPixels;
    if (m_x + m_imageWidth <= 0)
        m_x = m_stripWidth;
    return m_x;
}

QString StripSelection::statusText() const
{
    return QString::number(count) + QStringLiteral("字選択");
}

StripSelection checkStripSelection(QStringView selectedText)
{
    StripSelection s;
    for (const QString &line : text::splitLines(selectedText))
        s.count += text::charCount(line);
    s.accepted = s.count <= kStripMaxChars;
    return s;
}

QString stripTooLongMessage()
{
    return QStringLiteral("125文字　三首 六句 までです");
}

text::ColorNumber toggledWhite(text::ColorNumber stripFont, text::ColorNumber leftFont)
{
    const bool white = text::redOf(stripFont) == 255 && text::greenOf(stripFont) == 255 &&
                       text::blueOf(stripFont) == 255;
    return white ? leftFont : text::rgbColor(255, 255, 255);
}

QString izumiShikibuPoems()
{
    return QStringLiteral("はるがすみたつやおそきと山がはの岩間をくくるおと聞こゆなり　　"
                          "くらきよりくらき道にぞ入りぬべきはるかに照らせ山の端の月 　"
                          "白露も夢もこの世もまぼろしもたとへていへばひさしかりけり　和泉式部");
}

QString initialStripText()
{
    return QStringLiteral("くらきよりくらき道にぞ入りぬべきはるかに照らせ山の端の月 和泉式部");
}

QString collectionFileName(PoemCollection which)
{
    return which == PoemCollection::Hyakunin ? QStringLiteral("hyakunin.txt")
                                             : QStringLiteral("haiku.txt");
}

QString collectionPath(const QStringList &folders, PoemCollection which)
{
    const QString name = collectionFileName(which);
    QString first;
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        QString path = folder;
        if (!path.endsWith(u'/') && !path.endsWith(QDir::separator()))
            path += u'/';
        path += name;
        if (first.isEmpty())
            first = path;
        if (QFileInfo(path).isFile())
            return path;
    }
    return first.isEmpty() ? name : first;
}

QString missingFileMessage(const QString &path)
{
    return path + QStringLiteral(" は、存在しません");
}

} // namespace tools
