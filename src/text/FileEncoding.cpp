#include "text/FileEncoding.h"

#include "text/Cp932Codec.h"

#include <QChar>
#include <QSet>
#include <QStringDecoder>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <memory>

#include <cstdint>
#include <cstring>

namespace text {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr qsizetype kBomSize = 3;

bool startsWithBom(QByteArrayView bytes)
{
    return bytes.size() >= kBomSize && std::memcmp(bytes.data(), kBom, kBomSize) == 0;
}

struct Utf8Scan
{
    bool valid = true;
    bool hasMultiByte = false;
};

// Strict UTF-8 after the table of well-formed byte sequences: the second byte's range
// depends on the first (E0 A0-BF, ED 80-9F, F0 90-BF, F4 80-8F), which rules out overlong
// forms, surrogates and code points above U+10FFFF.
Utf8Scan scanUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    Utf8Scan scan;
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            scan.valid = false;
            return scan;
        }
        if (i + length > n || p[i + 1] < low || p[i + 1] > high) {
            scan.valid = false;
            return scan;
        }
        for (int k = 2; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                scan.valid = false;
                return scan;
            }
        }
        scan.hasMultiByte = true;
        i += length;
    }
    return scan;
}

QString decodeUtf8(QByteArrayView bytes)
{
    // QString::fromUtf8() would also swallow a byte-order mark at the start, which here is
    // text: the file's own mark has already been cut off.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

EncodedText encodeUtf8(QStringView text, bool withBom)
{
    EncodedText result;
    QString repaired;
    QSet<char32_t> seen;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (!QChar::isSurrogate(u))
            continue;
        if (QChar::isHighSurrogate(u) && i + 1 < n &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
            continue;
        }
        if (repaired.isNull())
            repaired = text.toString();
        repaired[i] = QChar::ReplacementCharacter;
        if (!seen.contains(u)) {
            seen.insert(u);
            result.unencodable.append(u);
        }
    }
    const QByteArray body = repaired.isNull() ? text.toUtf8() : repaired.toUtf8();
    if (withBom) {
        result.bytes.reserve(kBomSize + body.size());
        result.bytes.append(kBom, kBomSize);
        result.bytes.append(body);
    } else {
        result.bytes = body;
    }
    return result;
}

constexpr char kIcuEucJp[] = "EUC-JP";
constexpr char kIcuIso2022Jp[] = "ISO-2022-JP";

struct ConverterCloser
{
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openStrict(const char *name)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter cnv(ucnv_open(name, &status));
    if (U_FAILURE(status))
        return nullptr;
    ucnv_setToUCallBack(cnv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(cnv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return U_SUCCESS(status) ? std::move(cnv) : nullptr;
}

// The text, or nullopt at the first sequence the encoding does not define.
std::optional<QString> icuDecodeStrict(QByteArrayView bytes, const char *name)
{
    Converter cnv = openStrict(name);
    if (!cnv)
        return std::nullopt;
    QString out(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_toUChars(cnv.get(), reinterpret_cast<UChar *>(out.data()), int32_t(out.size()),
                      bytes.data(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.truncate(n);
    return out;
}

QString icuDecodeLenient(QByteArrayView bytes, const char *name)
{
    QStringDecoder decoder(name);
    if (!decoder.isValid())
        return decodeCp932(bytes);
    return decoder.decode(bytes);
}

std::optional<QByteArray> icuEncodeStrict(QStringView text, const char *name)
{
    Converter cnv = openStrict(name);
    if (!cnv)
        return std::nullopt;
    QByteArray out;
    out.resize(text.size() * 4 + 16);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(cnv.get(), out.data(), int32_t(out.size()),
                                      reinterpret_cast<const UChar *>(text.data()),
                                      int32_t(text.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.truncate(n);
    return out;
}

EncodedText encodeIcu(QStringView text, const char *name)
{
    EncodedText result;
    if (auto bytes = icuEncodeStrict(text, name)) {
        result.bytes = std::move(*bytes);
        return result;
    }
    // Something cannot be held: find which characters, and write each as '?'.
    QString repaired;
    repaired.reserve(text.size());
    QSet<char32_t> seen;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size() &&
                                      QChar::isLowSurrogate(text[i + 1].unicode())
                                  ? 2
                                  : 1;
        const QStringView one = text.sliced(i, len);
        if (icuEncodeStrict(one, name)) {
            repaired += one;
        } else {
            const char32_t c = len == 2 ? QChar::surrogateToUcs4(one[0], one[1]) : one[0].unicode();
            if (!seen.contains(c)) {
                seen.insert(c);
                result.unencodable.append(c);
            }
            repaired += QLatin1Char('?');
        }
        i += len;
    }
    result.bytes = icuEncodeStrict(repaired, name).value_or(QByteArray());
    return result;
}

bool startsWithUtf16Bom(QByteArrayView bytes, bool littleEndian)
{
    if (bytes.size() < 2)
        return false;
    const auto a = static_cast<unsigned char>(bytes[0]);
    const auto b = static_cast<unsigned char>(bytes[1]);
    return littleEndian ? (a == 0xFF && b == 0xFE) : (a == 0xFE && b == 0xFF);
}

QString decodeUtf16(QByteArrayView bytes, bool littleEndian)
{
    if (startsWithUtf16Bom(bytes, littleEndian))
        bytes = bytes.sliced(2);
    const qsizetype units = bytes.size() / 2;
    QString out(units, Qt::Uninitialized);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    char16_t *q = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < units; ++i, p += 2)
        q[i] = littleEndian ? char16_t(p[0] | (p[1] << 8)) : char16_t((p[0] << 8) | p[1]);
    return out;
}

QByteArray encodeUtf16(QStringView text, bool littleEndian)
{
    QByteArray out((text.size() + 1) * 2, Qt::Uninitialized);
    auto *q = reinterpret_cast<unsigned char *>(out.data());
    auto put = [&](char16_t u) {
        *q++ = littleEndian ? u & 0xFF : u >> 8;
        *q++ = littleEndian ? u >> 8 : u & 0xFF;
    };
    put(0xFEFF);
    for (QChar c : text)
        put(c.unicode());
    return out;
}

bool hasIso2022Escape(QByteArrayView bytes)
{
    for (qsizetype i = 0; i + 2 < bytes.size(); ++i) {
        if (bytes[i] == '\x1b' && (bytes[i + 1] == '$' || bytes[i + 1] == '('))
            return true;
    }
    return false;
}

bool allSevenBit(QByteArrayView bytes)
{
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

// Strict EUC-JP: ASCII, 8E + half-width katakana, 8F + two bytes of JIS X 0212, or two
// bytes A1-FE of JIS X 0208. At least one non-ASCII character is required.
bool isStrictEucJp(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    bool any = false;
    auto high = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
        } else if (b == 0x8E) {
            if (i + 1 >= n || p[i + 1] < 0xA1 || p[i + 1] > 0xDF)
                return false;
            i += 2;
            any = true;
        } else if (b == 0x8F) {
            if (i + 2 >= n || !high(p[i + 1]) || !high(p[i + 2]))
                return false;
            i += 3;
            any = true;
        } else if (high(b)) {
            if (i + 1 >= n || !high(p[i + 1]))
                return false;
            i += 2;
            any = true;
        } else {
            return false;
        }
    }
    return any;
}

// How much a decoded text looks like Japanese: kana, kanji and Japanese punctuation count
// for it; half-width katakana (what EUC-JP kana look like when read as code page 932),
// kept raw bytes and replacement characters count against it.
qsizetype japaneseScore(QStringView text)
{
    qsizetype score = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x3000 && u <= 0x303F))
            score += 2;
        else if (u >= 0x4E00 && u <= 0x9FFF)
            score += 1;
        else if ((u >= 0xFF61 && u <= 0xFF9F) || u == 0xFFFD || QChar::isSurrogate(u) ||
                 (u >= 0xE000 && u <= 0xF8FF))
            score -= 2;
    }
    return score;
}

// Japanese prose and poetry mostly hold kana; text without any is weighed otherwise.
bool containsKana(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x3041 && c.unicode() <= 0x30FA; });
}

// Text with no kana that EUC-JP reads as kanji (with ASCII, ー and full-width punctuation)
// is EUC-JP, unless code page 932 reads the same bytes as plausible half-width katakana:
// every byte a single half-width kana, no voiced mark after a kana that takes none, no
// small kana or ｰ first; then EUC-JP wins only with JIS level-1 kanji and punctuation
// alone, the common ones, where half-width text would give symbols and rarer kanji too,
// and without a voiced mark where one belongs (ｶﾞｸﾞ).
bool kanjiOnlyEucJp(QByteArrayView bytes, QStringView euc)
{
    int kanjiCount = 0;
    for (QChar c : euc) {
        const char16_t u = c.unicode();
        const bool kanji = (u >= 0x4E00 && u <= 0x9FFF) || u == 0x3005;
        kanjiCount += kanji ? 1 : 0;
        if (!kanji && u >= 0x80 && !(u >= 0x3000 && u <= 0x303F) && u != 0x30FC &&
            !(u >= 0xFF01 && u <= 0xFF5E))
            return false;
    }
    // One kanji is two bytes any text may hold (C0 AF is ﾀｯ, or an overlong /).
    if (kanjiCount < 2)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    bool halfWidth = true;
    bool voiced = false; // a ﾞ or ﾟ after a kana that takes it: half-width text for sure
    bool levelOne = true;
    unsigned char before = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            before = b;
            continue;
        }
        if (b < 0xA1 || b > 0xDF) {
            halfWidth = false;
        } else {
            const bool voicedMark = b == 0xDE || b == 0xDF;
            // ｶ-ﾄ and ﾊ-ﾎ take ﾞ (ｳ too), ﾊ-ﾎ take ﾟ.
            const bool takesDakuten = (before >= 0xB6 && before <= 0xC4) ||
                                      (before >= 0xCA && before <= 0xCE) || before == 0xB3;
            const bool takesHandakuten = before >= 0xCA && before <= 0xCE;
            const bool smallOrLong = (b >= 0xA7 && b <= 0xB0);
            const bool first = before < 0xA1 || before > 0xDF;
            if ((b == 0xDE && !takesDakuten) || (b == 0xDF && !takesHandakuten) ||
                (smallOrLong && first) || (voicedMark && first))
                halfWidth = false;
            voiced = voiced || voicedMark;
        }
        before = b;
    }
    // The lead byte of each EUC-JP pair: B0-CF are JIS level 1, A1 the punctuation row.
    for (qsizetype i = 0; i < bytes.size();) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        levelOne = levelOne && ((p[i] >= 0xB0 && p[i] <= 0xCF) || p[i] == 0xA1);
        i += p[i] == 0x8F ? 3 : 2;
    }
    return !halfWidth || (levelOne && !voiced);
}

bool roundTrips(QByteArrayView bytes, const char *name)
{
    const auto decoded = icuDecodeStrict(bytes, name);
    if (!decoded)
        return false;
    const auto encoded = icuEncodeStrict(*decoded, name);
    return encoded && QByteArrayView(*encoded) == bytes;
}

} // namespace

FileEncoding detectEncoding(QByteArrayView bytes)
{
    if (startsWithBom(bytes))
        return scanUtf8(bytes.sliced(kBomSize)).valid ? FileEncoding::Utf8Bom : FileEncoding::Cp932;
    if (bytes.size() % 2 == 0) {
        if (startsWithUtf16Bom(bytes, true))
            return FileEncoding::Utf16Le;
        if (startsWithUtf16Bom(bytes, false))
            return FileEncoding::Utf16Be;
    }
    const Utf8Scan scan = scanUtf8(bytes);
    if (scan.valid && scan.hasMultiByte)
        return FileEncoding::Utf8;
    if (scan.valid) {
        // Pure 7-bit text: ASCII, or ISO-2022-JP when it switches to a Japanese set.
        return allSevenBit(bytes) && hasIso2022Escape(bytes) && roundTrips(bytes, kIcuIso2022Jp)
                   ? FileEncoding::Iso2022Jp
                   : FileEncoding::Cp932;
    }
    if (isStrictEucJp(bytes)) {
        const auto euc = icuDecodeStrict(bytes, kIcuEucJp);
        const bool likelier =
            euc && (containsKana(*euc) ? japaneseScore(*euc) > japaneseScore(decodeCp932(bytes))
                                       : kanjiOnlyEucJp(bytes, *euc));
        if (likelier && roundTrips(bytes, kIcuEucJp))
            return FileEncoding::EucJp;
    }
    return FileEncoding::Cp932;
}

QString decodeText(QByteArrayView bytes, FileEncoding enc)
{
    switch (enc) {
    case FileEncoding::Cp932:
        return decodeCp932(bytes);
    case FileEncoding::Utf8:
        return decodeUtf8(bytes);
    case FileEncoding::Utf8Bom:
        return decodeUtf8(startsWithBom(bytes) ? bytes.sliced(kBomSize) : bytes);
    case FileEncoding::Utf16Le:
        return decodeUtf16(bytes, true);
    case FileEncoding::Utf16Be:
        return decodeUtf16(bytes, false);
    case FileEncoding::EucJp:
        return icuDecodeStrict(bytes, kIcuEucJp).value_or(icuDecodeLenient(bytes, kIcuEucJp));
    case FileEncoding::Iso2022Jp:
        return icuDecodeStrict(bytes, kIcuIso2022Jp)
            .value_or(icuDecodeLenient(bytes, kIcuIso2022Jp));
    }
    Q_UNREACHABLE();
}

EncodedText encodeText(QStringView text, FileEncoding enc)
{
    switch (enc) {
    case FileEncoding::Cp932: {
        Cp932Encoded encoded = encodeCp932(text);
        return {std::move(encoded.bytes), std::move(encoded.unencodable)};
    }
    case FileEncoding::Utf8:
        return encodeUtf8(text, false);
    case FileEncoding::Utf8Bom:
        return encodeUtf8(text, true);
    case FileEncoding::Utf16Le:
        return {encodeUtf16(text, true), {}};
    case FileEncoding::Utf16Be:
        return {encodeUtf16(text, false), {}};
    case FileEncoding::EucJp:
        return encodeIcu(text, kIcuEucJp);
    case FileEncoding::Iso2022Jp:
        return encodeIcu(text, kIcuIso2022Jp);
    }
    Q_UNREACHABLE();
}

namespace {
struct EncodingNames
{
    FileEncoding encoding;
    const char *display;
    const char *key;
};
constexpr EncodingNames kNames[] = {
    {FileEncoding::Cp932, "Shift_JIS", "cp932"},
    {FileEncoding::Utf8, "UTF-8", "utf-8"},
    {FileEncoding::Utf8Bom, "UTF-8 (BOM)", "utf-8-bom"},
    {FileEncoding::Utf16Le, "UTF-16LE", "utf-16le"},
    {FileEncoding::Utf16Be, "UTF-16BE", "utf-16be"},
    {FileEncoding::EucJp, "EUC-JP", "euc-jp"},
    {FileEncoding::Iso2022Jp, "ISO-2022-JP", "iso-2022-jp"},
};
} // namespace

QString encodingDisplayName(FileEncoding enc)
{
    for (const EncodingNames &n : kNames) {
        if (n.encoding == enc)
            return QString::fromLatin1(n.display);
    }
    return QString();
}

QString encodingKey(FileEncoding enc)
{
    for (const EncodingNames &n : kNames) {
        if (n.encoding == enc)
            return QString::fromLatin1(n.key);
    }
    return QString();
}

std::optional<FileEncoding> encodingFromKey(QStringView key)
{
    for (const EncodingNames &n : kNames) {
        if (key.compare(QLatin1String(n.key), Qt::CaseInsensitive) == 0)
            return n.encoding;
    }
    if (key.compare(QLatin1String("utf-16"), Qt::CaseInsensitive) == 0)
        return FileEncoding::Utf16Le;
    if (key.compare(QLatin1String("shift_jis"), Qt::CaseInsensitive) == 0 ||
        key.compare(QLatin1String("sjis"), Qt::CaseInsensitive) == 0)
        return FileEncoding::Cp932;
    return std::nullopt;
}

} // namespace text
