#include "text/TextMetrics.h"

#include "text/Cp932Tables.h"

#include <QChar>

namespace text {

qsizetype charCount(QStringView s)
{
    const char16_t *p = s.utf16();
    const qsizetype n = s.size();
    qsizetype count = n;
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (QChar::isHighSurrogate(p[i]) && QChar::isLowSurrogate(p[i + 1])) {
            --count;
            ++i;
        }
    }
    return count;
}

qsizetype cp932ByteLength(QStringView s)
{
    using detail::Cp932Tables;
    const Cp932Tables &t = detail::cp932Tables();
    const char16_t *p = s.utf16();
    const qsizetype n = s.size();
    qsizetype length = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            ++i; // a lossless byte is one byte, any other pair one '?'
            ++length;
            continue;
        }
        const std::uint16_t code = t.code[u];
        length += code != Cp932Tables::kNoCode && code >= 0x100 ? 2 : 1;
    }
    return length;
}

QStringList splitLines(QStringView s)
{
    QStringList lines;
    const qsizetype n = s.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(s.sliced(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(s.sliced(start).toString());
    return lines;
}

QString joinLinesCrLf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

QString removeLineBreaks(QStringView s)
{
    QString result;
    result.reserve(s.size());
    for (const QChar c : s) {
        if (c != u'\r' && c != u'\n')
            result.append(c);
    }
    return result;
}

} // namespace text
