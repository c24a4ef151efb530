#include "shell/FontNames.h"

#include "shell/ShellResources.h"

#include <QFile>
#include <QFontInfo>

namespace shell {

QHash<QString, QStringList> parseFontRules(const QString &tsv)
{
    QHash<QString, QStringList> rules;
    const QStringList lines = tsv.split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines[i].trimmed().split(QLatin1Char('\t'));
        if (f.size() != 2 || f[0].isEmpty())
            continue;
        QStringList families;
        for (const QString &s : f[1].split(QLatin1Char(','), Qt::SkipEmptyParts))
            families << s.trimmed();
        rules.insert(f[0], families);
    }
    return rules;
}

void installFontSubstitutions()
{
    ensureShellResources();
    QFile f(QStringLiteral(":/shell/fonts.tsv"));
    if (!f.open(QIODevice::ReadOnly))
        return;
    const auto rules = parseFontRules(QString::fromUtf8(f.readAll()));
    for (auto it = rules.cbegin(); it != rules.cend(); ++it)
        QFont::insertSubstitutions(it.key(), it.value());
}

QFont programFont(const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

QFont fontForDialog(const QFont &font, qreal dotsPerInch)
{
    QFont shown = font;
    shown.setFamilies({QFontInfo(font).family()});
    if (font.pixelSize() > 0 && dotsPerInch > 0)
        shown.setPointSizeF(font.pixelSize() * 72.0 / dotsPerInch);
    return shown;
}

} // namespace shell
