#pragma once

// The toolkit's colour number: red in the low byte, green in the second, blue in the third
// (0x00BBGGRR), written as "$" and eight upper-case hexadecimal digits, blue first:
// rgbColor(255, 128, 128) is 0x008080FF, written "$008080FF"; the number 16744576 is
// 0x00FF8080, written "$00FF8080". QtCore only: the widgets turn it into a QColor.

#include <QString>
#include <QStringView>

#include <algorithm>
#include <optional>

namespace text {

using ColorNumber = quint32;

// Components outside 0..255 are clamped: rgbColor(300, -5, 0) is rgbColor(255, 0, 0).
constexpr ColorNumber rgbColor(int r, int g, int b)
{
    return ColorNumber(std::clamp(r, 0, 255)) | ColorNumber(std::clamp(g, 0, 255)) << 8 |
           ColorNumber(std::clamp(b, 0, 255)) << 16;
}

constexpr int redOf(ColorNumber c)
{
    return int(c & 0xFF);
}

constexpr int greenOf(ColorNumber c)
{
    return int(c >> 8 & 0xFF);
}

constexpr int blueOf(ColorNumber c)
{
    return int(c >> 16 & 0xFF);
}

// "$" and the eight digits of the number: "$00BBGGRR" for every colour made of red, green
// and blue. A number with its high byte set (the toolkit's system colours, 0xFF00000F) keeps
// it, "$FF00000F", so that reading the text back gives the same number.
QString colorHexText(ColorNumber c);

// The toolkit's name for its sixteen standard colours ("clRed" for 0x0000FF), else
// colorHexText(). 0x808080 is "clGray" and 0xC0C0C0 "clSilver"; "clDkGray" and "clLtGray"
// name the same numbers and are only read.
QString colorToString(ColorNumber c);

// Reads a standard name in any letter case ("CLRED"), "$" with one to eight hexadecimal
// digits ("$FF", "$00ff8080"), or a decimal integer with an optional sign from -2147483648
// to 2147483647, negative numbers taken as their two's complement ("-16777201" is
// 0xFF00000F).
// Anything else, surrounding spaces included, gives nullopt.
std::optional<ColorNumber> colorFromString(QStringView s);

} // namespace text
