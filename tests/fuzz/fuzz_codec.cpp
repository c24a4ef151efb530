// The code page 932 codec and the encoding detection of an opened file, on any bytes.
//
// Decoding never fails, and what it gives encodes back without loss: the same text always,
// the same bytes unless the text holds a character with more than one code. Detection
// agrees with ICU on what strict UTF-8 is, and a file decoded in the detected encoding and
// saved unchanged is the same file. The bytes read as UTF-16 units also go to the encoder,
// whose list of unencodable characters must agree with isCp932Encodable().

#include "FuzzSupport.h"

#include "text/Cp932Codec.h"
#include "text/Cp932Tables.h"
#include "text/DocumentFile.h"
#include "text/FileEncoding.h"

#include <QSet>

#include <unicode/ustring.h>

#include <algorithm>

using fuzz::require;

namespace {

bool hasSeveralCodes(char16_t ch)
{
    const auto &others = text::detail::cp932Tables().otherCodes;
    const auto it = std::lower_bound(others.begin(), others.end(), std::pair(ch, std::uint16_t(0)));
    return it != others.end() && it->first == ch;
}

bool holdsCharacterWithSeveralCodes(const QString &s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return hasSeveralCodes(c.unicode()); });
}

bool isRawByte(char32_t c)
{
    return c - text::kCp932RawByteBase < 0x100;
}

bool holdsRawByte(const QString &s)
{
    for (char32_t c : s.toUcs4()) {
        if (isRawByte(c))
            return true;
    }
    return false;
}

// Strict UTF-8 as ICU reads it: no overlong forms, surrogates or values above U+10FFFF.
bool icuValidUtf8(QByteArrayView bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), int32_t(bytes.size()), &status);
    return status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING ||
           U_SUCCESS(status);
}

void checkDecoding(QByteArrayView bytes)
{
    const QString decoded = text::decodeCp932(bytes);
    require(decoded.size() >= bytes.size() / 2 && decoded.size() <= 2 * bytes.size(),
            "a byte decodes to one or two code units, a pair to at most two");
    require(text::isCp932Encodable(decoded), "decoded text is encodable");
    const text::Cp932Encoded encoded = text::encodeCp932(decoded);
    require(encoded.ok(), "decoded text encodes without unencodable characters");
    require(text::decodeCp932(encoded.bytes) == decoded,
            "decode(encode(decode(b))) keeps the text");
    if (!holdsCharacterWithSeveralCodes(decoded))
        require(encoded.bytes == bytes, "bytes without duplicate codes survive a round trip");
}

void checkDetection(QByteArrayView bytes)
{
    const text::FileEncoding enc = text::detectEncoding(bytes);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const bool multiByte = std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
    switch (enc) {
    case text::FileEncoding::Utf8Bom:
        require(bom && icuValidUtf8(bytes), "Utf8Bom only for a mark and strict UTF-8");
        break;
    case text::FileEncoding::Utf8:
        require(!bom && multiByte && icuValidUtf8(bytes), "Utf8 only for strict UTF-8");
        break;
    case text::FileEncoding::Cp932:
        require(!icuValidUtf8(bytes) || !multiByte, "strict UTF-8 with non-ASCII is not Cp932");
        break;
    case text::FileEncoding::Utf16Le:
    case text::FileEncoding::Utf16Be:
        require(bytes.size() % 2 == 0, "UTF-16 only for an even number of bytes");
        break;
    case text::FileEncoding::EucJp:
    case text::FileEncoding::Iso2022Jp:
        require(!icuValidUtf8(bytes) || !multiByte, "strict UTF-8 is never taken for another");
        break;
    }

    const QString decoded = text::decodeText(bytes, enc);
    if (enc == text::FileEncoding::Cp932)
        require(decoded == text::decodeCp932(bytes), "Cp932 files decode as the codec does");
    const text::EncodedText saved = text::encodeText(decoded, enc);
    require(saved.ok(), "an opened file saves without unencodable characters");
    if (enc != text::FileEncoding::Cp932 || !holdsCharacterWithSeveralCodes(decoded))
        require(saved.bytes == bytes, "an opened file saved unchanged is the same file");

    // The same through the document: line ends found and written back as they were.
    const text::LoadedDocument doc = text::decodeDocument(bytes);
    const text::EncodedDocument again = text::encodeDocument(doc.text, doc.format);
    if (doc.format.encoding != text::FileEncoding::Cp932 ||
        !holdsCharacterWithSeveralCodes(text::decodeCp932(bytes)))
        require(again.bytes == bytes, "a document opened and saved unchanged is the same file");

    // The other readings must not fail either, whatever they make of the bytes.
    for (text::FileEncoding other : text::kAllEncodings)
        (void)text::decodeText(bytes, other);
}

void checkEncoding(QStringView s)
{
    const text::Cp932Encoded encoded = text::encodeCp932(s);
    require(encoded.ok() == text::isCp932Encodable(s), "ok() agrees with isCp932Encodable()");
    QSet<char32_t> seen;
    for (char32_t c : encoded.unencodable) {
        require(!seen.contains(c), "unencodable characters are listed once");
        require(!isRawByte(c), "raw bytes are always encodable");
        seen.insert(c);
    }
    const QString text = s.toString();
    if (encoded.ok() && !holdsRawByte(text))
        require(text::decodeCp932(encoded.bytes) == text, "encodable text decodes back");

    const text::EncodedText utf8 = text::encodeText(s, text::FileEncoding::Utf8);
    if (utf8.ok())
        require(text::decodeText(utf8.bytes, text::FileEncoding::Utf8) == text,
                "text without lone surrogates survives UTF-8");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    checkDecoding(bytes);
    checkDetection(bytes);
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        units[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));
    checkEncoding(units);
    return 0;
}
