#include "text/ColorNumber.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

using namespace text;

namespace {

static_assert(rgbColor(255, 128, 128) == 0x008080FF);
static_assert(rgbColor(300, -5, 0) == 0x0000FF);
static_assert(redOf(0x00FF8080) == 0x80 && greenOf(0x00FF8080) == 0x80 &&
              blueOf(0x00FF8080) == 0xFF);
static_assert(redOf(rgbColor(1, 2, 3)) == 1 && greenOf(rgbColor(1, 2, 3)) == 2 &&
              blueOf(rgbColor(1, 2, 3)) == 3);

TEST(ColorNumber, HexText)
{
    EXPECT_EQ(colorHexText(rgbColor(255, 128, 128)), QStringLiteral("$008080FF"));
    EXPECT_EQ(colorHexText(16744576), QStringLiteral("$00FF8080"));
    EXPECT_EQ(colorHexText(0), QStringLiteral("$00000000"));
    EXPECT_EQ(colorHexText(0x00ABCDEF), QStringLiteral("$00ABCDEF"));
    EXPECT_EQ(colorHexText(0xFF00000F), QStringLiteral("$FF00000F"));
}

struct NameCase
{
    const char *name;
    ColorNumber value;
};

const NameCase kStandardColors[] = {
    {"clBlack", 0x000000},  {"clMaroon", 0x000080},  {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000},   {"clPurple", 0x800080},  {"clTeal", 0x808000},  {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},     {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},  {"clWhite", 0xFFFFFF},
};

TEST(ColorNumber, StandardColorsAreWrittenByName)
{
    for (const NameCase &c : kStandardColors) {
        EXPECT_EQ(colorToString(c.value), QLatin1String(c.name));
        EXPECT_EQ(colorFromString(QString::fromLatin1(c.name)), c.value) << c.name;
    }
    EXPECT_EQ(colorToString(0x8080FF), QStringLiteral("$008080FF"));
    EXPECT_EQ(colorToString(0x01000000), QStringLiteral("$01000000")); // black but not clBlack
}

struct ParseCase
{
    const char *text;
    std::optional<ColorNumber> value;
};

TEST(ColorNumber, Reading)
{
    const ParseCase cases[] = {
        {"clred", 0x0000FF},
        {"CLWHITE", 0xFFFFFF},
        {"clDkGray", 0x808080},
        {"cllTgRaY", 0xC0C0C0},
        {"$00FF8080", 0x00FF8080},
        {"$ff8080", 0x00FF8080},
        {"$0", 0},
        {"$FFFFFFFF", 0xFFFFFFFF},
        {"16744576", 0x00FF8080},
        {"+255", 0xFF},
        {"-1", 0xFFFFFFFF},
        {"-16777201", 0xFF00000F},
        {"2147483647", 0x7FFFFFFF},
        {"-2147483648", 0x80000000},
        {"", std::nullopt},
        {"$", std::nullopt},
        {"$123456789", std::nullopt},
        {"$-1", std::nullopt},
        {"$12G", std::nullopt},
        {"0x10", std::nullopt},
        {"-", std::nullopt},
        {"--1", std::nullopt},
        {"12a", std::nullopt},
        {" 12", std::nullopt},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"clReddish", std::nullopt},
        {"Red", std::nullopt},
    };
    for (const ParseCase &c : cases)
        EXPECT_EQ(colorFromString(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
}

TEST(ColorNumber, WrittenTextReadsBackAsTheSameNumber)
{
    for (const ColorNumber c : {0x000000u, 0x808080u, 0xC0C0C0u, 0x8080FFu, 0x00FF8080u,
                                0xFF00000Fu, 0xFFFFFFFFu, 0x00010203u})
        EXPECT_EQ(colorFromString(colorToString(c)), c) << std::hex << c;
}

} // namespace
