#include "text/TextMetrics.h"
#include "text/Cp932Codec.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <random>

using namespace text;

namespace {

QString rawByte(unsigned char byte)
{
    const char32_t c = kCp932RawByteBase + byte;
    return QString::fromUcs4(&c, 1);
}

struct CountCase
{
    QString text;
    qsizetype chars;
    qsizetype bytes;
};

TEST(TextMetrics, CharactersAndCp932Bytes)
{
    const CountCase cases[] = {
        {QString(), 0, 0},
        {QStringLiteral("abc"), 3, 3},
        {QString::fromUtf8("あいう"), 3, 6},
        {QString::fromUtf8("ｱｲｳﾟ"), 4, 4},     // half-width katakana: one byte each
        {QString::fromUtf8("春は\r\n"), 4, 6}, // a line break is two characters
        {rawByte(0x81) + rawByte(0xFF), 2, 2}, // lossless bytes: one each
        {QString::fromUtf8("𠀋a"), 2, 2},      // not in cp932: written as '?'
        {QString::fromUtf8("€"), 1, 1},        //
        {QString(QChar(0xD800)) + u'x', 2, 2}, // lone surrogate
        {QString::fromUtf8("～―∥①ⅰ"), 5, 10},  // Windows-only characters
    };
    for (const CountCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(charCount(c.text), c.chars);
        EXPECT_EQ(cp932ByteLength(c.text), c.bytes);
    }
}

// The byte count is what selection and sort keys rely on; it must never drift from what
// saving writes, whatever the text holds.
TEST(TextMetrics, Cp932ByteLengthIsTheEncodedSize)
{
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> length(0, 30);
    std::uniform_int_distribution<int> kind(0, 4);
    std::uniform_int_distribution<int> bmp(0, 0xFFFF);
    std::uniform_int_distribution<int> surrogate(0xD800, 0xDFFF);
    std::uniform_int_distribution<int> japanese(0x3000, 0x9FFF);
    for (int round = 0; round < 2000; ++round) {
        QString s;
        for (int i = length(rng); i > 0; --i) {
            switch (kind(rng)) {
            case 0:
                s.append(QChar(char16_t(bmp(rng))));
                break;
            case 1:
                s.append(QChar(char16_t(surrogate(rng))));
                break;
            case 2:
                s.append(rawByte(static_cast<unsigned char>(bmp(rng))));
                break;
            default:
                s.append(QChar(char16_t(japanese(rng))));
                break;
            }
        }
        ASSERT_EQ(cp932ByteLength(s), encodeCp932(s).bytes.size()) << ::testing::PrintToString(s);
    }
}

struct SplitCase
{
    QString text;
    QStringList lines;
};

TEST(TextMetrics, SplitLines)
{
    const SplitCase cases[] = {
        {QString(), {QString()}},
        {QStringLiteral("a"), {QStringLiteral("a")}},
        {QStringLiteral("a\r\nb\nc\rd"), {"a", "b", "c", "d"}},
        {QStringLiteral("a\r\n"), {"a", ""}},
        {QStringLiteral("\r\n"), {"", ""}},
        {QStringLiteral("a\r\r\nb"), {"a", "", "b"}},
        {QStringLiteral("a\n\rb"), {"a", "", "b"}}, // LF CR is two breaks
        {QStringLiteral("\n\n"), {"", "", ""}},
        {QStringLiteral("a\r"), {"a", ""}},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(splitLines(c.text), c.lines);
    }
}

TEST(TextMetrics, JoiningSplitLinesMakesEveryBreakCrLf)
{
    EXPECT_EQ(joinLinesCrLf(splitLines(u"a\nb\rc\r\nd\n")), QStringLiteral("a\r\nb\r\nc\r\nd\r\n"));
    EXPECT_EQ(joinLinesCrLf(splitLines(u"")), QString());
    EXPECT_EQ(joinLinesCrLf({"x"}), QStringLiteral("x"));
}

TEST(TextMetrics, RemoveLineBreaks)
{
    EXPECT_EQ(removeLineBreaks(u"a\r\nb\rc\nd"), QStringLiteral("abcd"));
    EXPECT_EQ(removeLineBreaks(u"\r\n\r\n"), QString());
    EXPECT_EQ(removeLineBreaks(QString::fromUtf8("春\r\n𠀋")), QString::fromUtf8("春𠀋"));
}

} // namespace
