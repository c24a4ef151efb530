#include "widgets/Theme.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

namespace widgets::theme {

QColor paper()
{
    return QColor(246, 243, 236);
}

QColor barBackground()
{
    return QColor(233, 229, 219);
}

QColor frame()
{
    return QColor(160, 152, 138);
}

QColor ink()
{
    return QColor(51, 48, 43);
}

QColor indigo()
{
    return QColor(58, 80, 115);
}

QFont captionFont(int pixelSize)
{
    // Looked up once: the font database does not change while the program runs.
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &candidate : {QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"),
                                         QStringLiteral("IPAGothic")}) {
            if (installed.contains(candidate))
                return candidate;
        }
        return QString();
    }();

    QFont font = family.isEmpty() ? QApplication::font() : QFont(family);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace widgets::theme
