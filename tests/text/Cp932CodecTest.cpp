#include "text/Cp932Codec.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>
#include <random>

using namespace text;

namespace {

QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(hex); // spaces between the bytes are skipped
}

QString ucs4(std::initializer_list<char32_t> chars)
{
    QString s;
    for (const char32_t c : chars) {
        if (QChar::requiresSurrogates(c)) {
            s.append(QChar(QChar::highSurrogate(c)));
            s.append(QChar(QChar::lowSurrogate(c)));
        } else {
            s.append(QChar(char16_t(c))); // QString::fromUcs4() would drop a U+FEFF
        }
    }
    return s;
}

char32_t raw(unsigned char byte)
{
    return kCp932RawByteBase + byte;
}

// The codes that decode to a character Windows writes with another code: the NEC-selected
// IBM extension ED40-EEFC as a whole, the NEC row 13 copies of JIS X 0208 symbols, and the
// IBM extension's copies of NEC row 13 and of U+FFE2.
bool isNonPreferredDuplicate(unsigned char lead, unsigned char trail)
{
    const unsigned code = lead << 8 | trail;
    return (code >= 0xED40 && code <= 0xEEFC) || (code >= 0x8790 && code <= 0x8792) ||
           (code >= 0x8795 && code <= 0x8797) || (code >= 0x879A && code <= 0x879C) ||
           (code >= 0xFA4A && code <= 0xFA54) || (code >= 0xFA58 && code <= 0xFA5B);
}

struct MappingCase
{
    const char *bytes;
    char32_t character;
};

// Where code page 932 as Windows reads it differs from plain Shift_JIS or from other
// Unicode tables, plus one character of each region.
const MappingCase kWindowsMappings[] = {
    {"81 60", 0xFF5E}, // WAVE DASH on Windows is the full-width tilde
    {"81 5C", 0x2015}, // HORIZONTAL BAR, not EM DASH
    {"84 A0", 0x2502}, // box drawing light vertical
    {"81 61", 0x2225}, // PARALLEL TO, not DOUBLE VERTICAL LINE
    {"81 7C", 0xFF0D}, // full-width hyphen-minus, not MINUS SIGN
    {"81 91", 0xFFE0}, {"81 92", 0xFFE1},
    {"81 CA", 0xFFE2}, {"5C", 0x005C},    // backslash, not the yen sign
    {"7E", 0x007E},                       // tilde, not the overline
    {"A1", 0xFF61},    {"DF", 0xFF9F},    // half-width katakana ends
    {"82 A0", 0x3042}, {"88 9F", 0x4E9C}, // あ 亜
    {"87 40", 0x2460},                    // NEC row 13 ①
    {"FA 40", 0x2170},                    // IBM extension ⅰ
    {"F0 40", 0xE000}, {"F9 FC", 0xE757}, // user-defined area
};

TEST(Cp932Codec, WindowsMappingsDecodeAndEncodeBack)
{
    for (const MappingCase &c : kWindowsMappings) {
        SCOPED_TRACE(c.bytes);
        const QByteArray bytes = hexBytes(c.bytes);
        const QString expected = ucs4({c.character});
        EXPECT_EQ(decodeCp932(bytes), expected);
        const Cp932Encoded encoded = encodeCp932(expected);
        EXPECT_TRUE(encoded.ok());
        EXPECT_TRUE(isCp932Encodable(expected));
        EXPECT_EQ(encoded.bytes, bytes);
    }
}

struct DuplicateCase
{
    const char *bytes;
    char32_t character;
    const char *windowsBytes;
};

const DuplicateCase kDuplicates[] = {
    {"ED 40", 0x7E8A, "FA 5C"}, // NEC-selected IBM -> IBM
    {"EE EF", 0x2170, "FA 40"}, {"EE FA", 0xFFE4, "FA 55"},
    {"87 90", 0x2252, "81 E0"}, // NEC row 13 -> JIS X 0208
    {"87 9A", 0x2235, "81 E6"}, {"FA 5B", 0x2235, "81 E6"},
    {"87 9C", 0x222A, "81 BE"}, {"FA 4A", 0x2160, "87 54"}, // IBM -> NEC row 13
    {"FA 58", 0x3231, "87 8A"}, {"FA 59", 0x2116, "87 82"},
    {"FA 5A", 0x2121, "87 84"}, {"EE F9", 0xFFE2, "81 CA"},
    {"FA 54", 0xFFE2, "81 CA"}, // three codes of ¬
};

TEST(Cp932Codec, DuplicateCodesDecodeToOneCharacterAndEncodeAsWindows)
{
    for (const DuplicateCase &c : kDuplicates) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(decodeCp932(hexBytes(c.bytes)), ucs4({c.character}));
        EXPECT_EQ(encodeCp932(ucs4({c.character})).bytes, hexBytes(c.windowsBytes));
    }
}

struct InvalidCase
{
    const char *bytes;
    QString text;
};

TEST(Cp932Codec, BytesOutsideCharactersBecomeRawCharactersAndEncodeBack)
{
    const InvalidCase cases[] = {
        {"81 20", ucs4({raw(0x81), ' '})},       // trail byte too low
        {"81 7F", ucs4({raw(0x81), 0x7F})},      // 7F is never a trail byte
        {"81 FD", ucs4({raw(0x81), raw(0xFD)})}, // trail byte too high
        {"82", ucs4({raw(0x82)})},               // lead byte at the end
        {"41 82", ucs4({'A', raw(0x82)})},       //
        {"82 A0 81", ucs4({0x3042, raw(0x81)})}, //
        {"85 40", ucs4({raw(0x85), '@'})},       // empty row
        {"EB DF", ucs4({raw(0xEB), 0xFF9F})},    // empty row, trail is half-width ﾟ
        {"EB 9F", ucs4({raw(0xEB), raw(0x9F)})}, // empty row, trail is a lead byte
        {"85 82 A0", ucs4({raw(0x85), 0x3042})}, // the stray lead byte swallows nothing
        {"80 A0 FD FE FF", ucs4({raw(0x80), raw(0xA0), raw(0xFD), raw(0xFE), raw(0xFF)})},
        {"FF 82 A0", ucs4({raw(0xFF), 0x3042})},
    };
    for (const InvalidCase &c : cases) {
        SCOPED_TRACE(c.bytes);
        const QByteArray bytes = hexBytes(c.bytes);
        EXPECT_EQ(decodeCp932(bytes), c.text);
        const Cp932Encoded encoded = encodeCp932(c.text);
        EXPECT_TRUE(encoded.ok());
        EXPECT_TRUE(isCp932Encodable(c.text));
        EXPECT_EQ(encoded.bytes, bytes);
    }
}

TEST(Cp932Codec, TextOfRawBytesOnlyIsTwiceAsLongAsTheFile)
{
    const QByteArray bytes(5000, '\xFF');
    const QString decoded = decodeCp932(bytes);
    ASSERT_EQ(decoded.size(), 10000);
    EXPECT_EQ(decoded.left(2), ucs4({raw(0xFF)}));
    EXPECT_EQ(decoded.right(2), ucs4({raw(0xFF)}));
    EXPECT_EQ(encodeCp932(decoded).bytes, bytes);
}

TEST(Cp932Codec, UnencodableCharactersAreListedOnceInOrderAndWrittenAsQuestionMarks)
{
    QString text = ucs4({'a', 0x20AC, 'b', 0x00E9, 0x20AC, 0x1F600, 0x00A5});
    text.append(QChar(0xD800)); // lone surrogate
    text.append(u'z');
    const Cp932Encoded encoded = encodeCp932(text);
    EXPECT_FALSE(encoded.ok());
    EXPECT_EQ(encoded.bytes, QByteArray("a?b?????z"));
    const QList<char32_t> expected{0x20AC, 0x00E9, 0x1F600, 0x00A5, 0xD800};
    EXPECT_EQ(encoded.unencodable, expected);
    EXPECT_FALSE(isCp932Encodable(text));
}

struct IcuCloser
{
    void operator()(UConverter *c) const { ucnv_close(c); }
};

// ICU's converter writes the Windows choice among duplicates from its own table; the codec
// derives it from a ranking of code regions. Both must agree on every BMP character, except
// where ICU's table, which comes from IBM's code page 943, is not what Windows does: it
// rotates the controls 1A, 1C and 7F, writes nothing at all for default-ignorable
// characters such as U+00AD and U+FEFF, and writes a few private-use characters as the
// code of another character (U+F86F as 87 82, which reads back as U+2116).
TEST(Cp932Codec, EncodesEveryBmpCharacterAsIcuWindows31j)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, IcuCloser> cnv(ucnv_open("windows-31j", &status));
    ASSERT_TRUE(U_SUCCESS(status));
    ucnv_setFromUCallBack(cnv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(cnv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    int encodable = 0;
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const UChar unit = static_cast<UChar>(c);
        char expected[4];
        ucnv_reset(cnv.get());
        UErrorCode err = U_ZERO_ERROR;
        const int32_t n = ucnv_fromUChars(cnv.get(), expected, 4, &unit, 1, &err);
        UChar back = 0;
        if (U_SUCCESS(err) && n > 0) {
            ucnv_reset(cnv.get());
            ucnv_toUChars(cnv.get(), &back, 1, expected, n, &err);
        }
        const Cp932Encoded encoded = encodeCp932(QStringView(&unit, 1));
        SCOPED_TRACE(::testing::Message() << "U+" << std::hex << static_cast<unsigned>(c));
        if (U_FAILURE(err) || n == 0 || back != unit) {
            EXPECT_FALSE(encoded.ok());
            continue;
        }
        ++encodable;
        EXPECT_TRUE(encoded.ok());
        EXPECT_EQ(encoded.bytes, QByteArray(expected, n));
    }
    // 63 half-width katakana and 9604 double-byte codes (1880 of them user-defined), of
    // which 398 repeat a character that has a code already.
    EXPECT_EQ(encodable, 63 + 9604 - 398);
}

TEST(Cp932Codec, AsciiIsItselfBothWays)
{
    QByteArray bytes;
    QString chars;
    for (int b = 0; b < 0x80; ++b) {
        bytes.append(static_cast<char>(b));
        chars.append(QChar(b));
    }
    EXPECT_EQ(decodeCp932(bytes), chars);
    EXPECT_EQ(encodeCp932(chars).bytes, bytes);
}

TEST(Cp932Codec, InvisibleCharactersAreReportedNotDropped)
{
    const QString text = ucs4({'a', 0x00AD, 0x200B, 0xFEFF, 0xFE0F, 'b'});
    const Cp932Encoded encoded = encodeCp932(text);
    EXPECT_EQ(encoded.bytes, QByteArray("a????b"));
    EXPECT_EQ(encoded.unencodable, (QList<char32_t>{0x00AD, 0x200B, 0xFEFF, 0xFE0F}));
}

// EE is a lone byte here and EE 55 is U+769C, which is written FB 71 elsewhere; right after
// the raw EE that would read back as EE FB, U+FF07.
TEST(Cp932Codec, RawLeadByteBeforeDuplicateCodeKeepsItsText)
{
    const QByteArray bytes = hexBytes("EE EE 55");
    const QString text = decodeCp932(bytes);
    EXPECT_EQ(text, ucs4({raw(0xEE), 0x769C}));
    EXPECT_EQ(encodeCp932(text).bytes, bytes);
    EXPECT_EQ(encodeCp932(ucs4({'x', 0x769C})).bytes, hexBytes("78 FB 71"));
}

// Random byte strings, biased toward lead bytes so that double-byte characters, stray lead
// bytes and bad trail bytes all occur often.
QByteArray randomBytes(std::mt19937 &rng)
{
    static constexpr unsigned char kLeads[] = {0x81, 0x82, 0x83, 0x84, 0x85, 0x87, 0x88,
                                               0x98, 0x9F, 0xE0, 0xEA, 0xEB, 0xED, 0xEE,
                                               0xEF, 0xF0, 0xF9, 0xFA, 0xFB, 0xFC};
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> lead(0, int(std::size(kLeads)) - 1);
    QByteArray bytes(length(rng), '\0');
    for (char &b : bytes)
        b = static_cast<char>(kind(rng) < 2 ? kLeads[lead(rng)] : anyByte(rng));
    return bytes;
}

// Every byte string in which no two neighbouring bytes, wherever they stand, form one of
// the non-preferred duplicate codes decodes and encodes back to itself exactly. The random
// strings are made to satisfy that by redrawing any byte that would complete such a pair.
TEST(Cp932Codec, RandomBytesWithoutNonPreferredDuplicatesSurviveARoundTrip)
{
    std::mt19937 rng(932);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes = randomBytes(rng);
        for (qsizetype i = 1; i < bytes.size(); ++i) {
            while (isNonPreferredDuplicate(bytes[i - 1], bytes[i]))
                bytes[i] = static_cast<char>(anyByte(rng));
        }
        const QString decoded = decodeCp932(bytes);
        const Cp932Encoded encoded = encodeCp932(decoded);
        ASSERT_TRUE(encoded.ok()) << ::testing::PrintToString(bytes);
        ASSERT_EQ(encoded.bytes, bytes);
    }
}

// With duplicates left in, the bytes may change, but only to codes of the same characters:
// the text read back is the text first read.
TEST(Cp932Codec, RandomBytesWithDuplicatesKeepTheirText)
{
    std::mt19937 rng(31);
    for (int round = 0; round < 2000; ++round) {
        const QByteArray bytes = randomBytes(rng);
        const QString decoded = decodeCp932(bytes);
        const Cp932Encoded encoded = encodeCp932(decoded);
        ASSERT_TRUE(encoded.ok());
        ASSERT_EQ(decodeCp932(encoded.bytes), decoded) << ::testing::PrintToString(bytes);
    }
}

} // namespace
