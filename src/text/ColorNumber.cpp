#include "text/ColorNumber.h"

#include <array>
#include <limits>

namespace text {

namespace {

struct NamedColor
{
    QLatin1String name;
    ColorNumber value;
};

// Written names first: colorToString() takes the first entry of a value.
constexpr std::array<NamedColor, 18> kNamedColors{{
    {QLatin1String("clBlack"), 0x000000},
    {QLatin1String("clMaroon"), 0x000080},
    {QLatin1String("clGreen"), 0x008000},
    {QLatin1String("clOlive"), 0x008080},
    {QLatin1String("clNavy"), 0x800000},
    {QLatin1String("clPurple"), 0x800080},
    {QLatin1String("clTeal"), 0x808000},
    {QLatin1String("clGray"), 0x808080},
    {QLatin1String("clSilver"), 0xC0C0C0},
    {QLatin1String("clRed"), 0x0000FF},
    {QLatin1String("clLime"), 0x00FF00},
    {QLatin1String("clYellow"), 0x00FFFF},
    {QLatin1String("clBlue"), 0xFF0000},
    {QLatin1String("clFuchsia"), 0xFF00FF},
    {QLatin1String("clAqua"), 0xFFFF00},
    {QLatin1String("clWhite"), 0xFFFFFF},
    {QLatin1String("clDkGray"), 0x808080},
    {QLatin1String("clLtGray"), 0xC0C0C0},
}};

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigitValue(QChar c)
{
    if (isAsciiDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

QString colorHexText(ColorNumber c)
{
    return QStringLiteral("$%1").arg(c, 8, 16, QLatin1Char('0')).toUpper();
}

QString colorToString(ColorNumber c)
{
    for (const NamedColor &named : kNamedColors) {
        if (named.value == c)
            return QString(named.name);
    }
    return colorHexText(c);
}

std::optional<ColorNumber> colorFromString(QStringView s)
{
    for (const NamedColor &named : kNamedColors) {
        if (s.compare(named.name, Qt::CaseInsensitive) == 0)
            return named.value;
    }
    if (s.startsWith(u'$')) {
        const QStringView digits = s.sliced(1);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        ColorNumber value = 0;
        for (const QChar c : digits) {
            const int digit = hexDigitValue(c);
            if (digit < 0)
                return std::nullopt;
            value = value << 4 | ColorNumber(digit);
        }
        return value;
    }
    qsizetype i = 0;
    const bool negative = s.startsWith(u'-');
    if (negative || s.startsWith(u'+'))
        i = 1;
    if (i == s.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < s.size(); ++i) {
        if (!isAsciiDigit(s[i]))
            return std::nullopt;
        magnitude = magnitude * 10 + (s[i].unicode() - u'0');
        if (magnitude > qint64(std::numeric_limits<quint32>::max()))
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return ColorNumber(qint32(value));
}

} // namespace text
