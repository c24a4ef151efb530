#include "text/FileEncoding.h"
#include "text/Cp932Codec.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

using namespace text;

namespace {

struct DetectCase
{
    const char *name;
    QByteArray bytes;
    FileEncoding expected;
};

TEST(FileEncoding, Detection)
{
    const QByteArray ascii16 = "0123456789abcdef";
    const DetectCase cases[] = {
        {"empty", "", FileEncoding::Cp932},
        {"pure ASCII", "abc\r\ndef", FileEncoding::Cp932},
        {"mark only", "\xEF\xBB\xBF", FileEncoding::Utf8Bom},
        {"mark and ASCII",
         "\xEF\xBB\xBF"
         "abc",
         FileEncoding::Utf8Bom},
        {"mark and Japanese", "\xEF\xBB\xBF\xE3\x81\x82", FileEncoding::Utf8Bom},
        {"mark then invalid",
         "\xEF\xBB\xBF"
         "a\xFF",
         FileEncoding::Cp932},
        {"two-byte", "caf\xC3\xA9", FileEncoding::Utf8},
        {"three-byte", "\xE6\x98\xA5", FileEncoding::Utf8},
        {"four-byte", "\xF0\x9F\x98\x80", FileEncoding::Utf8},
        {"largest code point", "\xF4\x8F\xBF\xBF", FileEncoding::Utf8},
        {"after a long ASCII run", ascii16 + "\xE3\x81\x82", FileEncoding::Utf8},
        {"cp932 あい", "\x82\xA0\x82\xA2", FileEncoding::Cp932},
        {"cp932 half-width", "\xB1\xB2\xB3", FileEncoding::Cp932},
        {"cp932 half-width, voiced", "\xB6\xDE\xB8\xDE", FileEncoding::Cp932},
        {"EUC-JP kanji only", "\xC5\xEC\xB5\xFE\xC2\xE7\xB3\xD8", FileEncoding::EucJp},
        {"EUC-JP kanji and a rare one", "\xB5\xFE\xE0\xA1", FileEncoding::EucJp},
        {"EUC-JP kanji and marks", "\xC5\xEC\xB5\xFE\xA1\xA2\xC2\xE7\xBA\xE5", FileEncoding::EucJp},
        {"overlong slash", "\xC0\xAF", FileEncoding::Cp932},
        {"overlong three-byte", "\xE0\x80\xAF", FileEncoding::Cp932},
        {"encoded surrogate", "\xED\xA0\x80", FileEncoding::Cp932},
        {"above U+10FFFF", "\xF4\x90\x80\x80", FileEncoding::Cp932},
        {"cut off at the end", "\xE3\x81\x82\xE3\x81", FileEncoding::Cp932},
        {"bad continuation", "\xE3\x41\x82", FileEncoding::Cp932},
        {"stray continuation", "a\x80", FileEncoding::Cp932},
        {"invalid after a long run", ascii16 + "\xE3\x81\x82" + ascii16 + "\xFF",
         FileEncoding::Cp932},
    };
    for (const DetectCase &c : cases)
        EXPECT_EQ(detectEncoding(c.bytes), c.expected) << c.name;
}

TEST(FileEncoding, Utf8BomDropsOnlyTheFileMark)
{
    EXPECT_EQ(decodeText("\xEF\xBB\xBF"
                         "A",
                         FileEncoding::Utf8Bom),
              QStringLiteral("A"));
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xEF\xBB\xBF"
                         "A",
                         FileEncoding::Utf8Bom),
              QString(QChar(0xFEFF)) + u'A');
    EXPECT_EQ(encodeText(QStringLiteral("A"), FileEncoding::Utf8Bom).bytes,
              QByteArray("\xEF\xBB\xBF"
                         "A"));
}

TEST(FileEncoding, SavingUnchangedRewritesTheSameBytes)
{
    const QByteArray files[] = {
        "\xEF\xBB\xBF\xE6\x98\xA5\xE3\x81\xAF\r\n",
        "\xE6\x98\xA5\xE3\x81\xAF\r\nabc",
        "\x8F\x74\x82\xCD\r\n\x81\x60\x81\x5C\xFF",
        "plain ASCII\r\n",
        "\xEF\xBB\xBF"
        "a\xFF",
    };
    for (const QByteArray &file : files) {
        SCOPED_TRACE(::testing::PrintToString(file));
        const FileEncoding enc = detectEncoding(file);
        const EncodedText saved = encodeText(decodeText(file, enc), enc);
        EXPECT_TRUE(saved.ok());
        EXPECT_EQ(saved.bytes, file);
    }
}

TEST(FileEncoding, Utf8HoldsEverythingButLoneSurrogates)
{
    const QString text =
        QString::fromUtf8("€😀") + QChar(0xDC00) + u'a' + QChar(0xD800) + u'b' + QChar(0xDC00);
    const QByteArray body = "\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD"
                            "a\xEF\xBF\xBD"
                            "b\xEF\xBF\xBD";
    for (const FileEncoding enc : {FileEncoding::Utf8, FileEncoding::Utf8Bom}) {
        const EncodedText saved = encodeText(text, enc);
        EXPECT_EQ(saved.bytes, enc == FileEncoding::Utf8Bom ? "\xEF\xBB\xBF" + body : body);
        EXPECT_EQ(saved.unencodable, (QList<char32_t>{0xDC00, 0xD800}));
    }
}

// A code page 932 file with bytes outside characters, saved as UTF-8 instead, keeps those
// bytes as their private-use characters and reads back the same.
TEST(FileEncoding, RawBytesSurviveSavingAsUtf8)
{
    const QString text = decodeCp932("\x82\xA0\xFF\x81");
    const EncodedText saved = encodeText(text, FileEncoding::Utf8);
    EXPECT_TRUE(saved.ok());
    EXPECT_EQ(detectEncoding(saved.bytes), FileEncoding::Utf8);
    EXPECT_EQ(decodeText(saved.bytes, FileEncoding::Utf8), text);
}

} // namespace
