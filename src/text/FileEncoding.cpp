#include "text/FileEncoding.h"

#include "text/Cp932Codec.h"

#include <QChar>
#include <QSet>
#include <QStringDecoder>

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

} // namespace

FileEncoding detectEncoding(QByteArrayView bytes)
{
    if (startsWithBom(bytes))
        return scanUtf8(bytes.sliced(kBomSize)).valid ? FileEncoding::Utf8Bom : FileEncoding::Cp932;
    const Utf8Scan scan = scanUtf8(bytes);
    return scan.valid && scan.hasMultiByte ? FileEncoding::Utf8 : FileEncoding::Cp932;
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
    }
    Q_UNREACHABLE();
}

} // namespace text
