#include "tools/Counts.h"

#include "tools/CommaText.h"

#include "text/TextMetrics.h"

namespace tools {

qsizetype paneCharCount(QStringView text)
{
    qsizetype n = 0;
    for (const QString &line : text::splitLines(text))
        n += text::charCount(line);
    return n;
}

QString lineCountText(int lines)
{
    return QString::number(lines) + QStringLiteral("行");
}

QString charCountText(qsizetype chars)
{
    return QString::number(chars) + QStringLiteral("字");
}

QString sixDigits(qsizetype n)
{
    return QString::asprintf("%.6lld", static_cast<long long>(n));
}

QString colorStringOf(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c != u'\r' && c != u'\n' && c != QChar::LineSeparator && c != QChar::ParagraphSeparator)
            out.append(c);
    }
    return out;
}

QStringList runRow(int rowNumber, const QString &colorString, const QString &countText,
                   const QString &elapsedText)
{
    return {sixDigits(rowNumber), colorStringOf(colorString), countText, elapsedText, QString()};
}

QStringList countGridHeading()
{
    return parseCommaText(QStringLiteral("\"　\",文字列,個数,ミリ秒,備考"));
}

} // namespace tools
