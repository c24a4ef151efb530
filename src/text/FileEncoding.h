#pragma once

// The encoding a document file is read in and saved back in.
//
// Detection on open:
//   - EF BB BF followed by valid UTF-8                 -> Utf8Bom
//   - valid UTF-8 with at least one multi-byte sequence -> Utf8
//   - everything else, pure ASCII included              -> Cp932
// "Valid" is strict UTF-8: no overlong forms, no encoded surrogates, nothing above
// U+10FFFF, no sequence cut off at the end. A file whose bytes break any of these opens as
// code page 932, whose decoding is lossless, so saving it unchanged rewrites the same bytes;
// that holds for a file that starts with a byte-order mark but goes on with invalid UTF-8
// too (EF BB BF 41 FF: decoding that as UTF-8 would turn FF into U+FFFD for good).

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace text {

enum class FileEncoding { Cp932, Utf8, Utf8Bom };

FileEncoding detectEncoding(QByteArrayView bytes);

// Utf8Bom drops the leading byte-order mark, and only that one: EF BB BF EF BB BF 41 is
// U+FEFF 'A'. For Utf8 and Utf8Bom the bytes are expected to be what detectEncoding()
// accepted; should invalid UTF-8 come anyway, each bad sequence becomes U+FFFD.
QString decodeText(QByteArrayView bytes, FileEncoding enc);

struct EncodedText
{
    QByteArray bytes;
    // Distinct characters the encoding cannot hold, in order of first appearance, each
    // written as a stand-in: '?' in code page 932, U+FFFD in UTF-8. In UTF-8 these can
    // only be lone surrogates (listed as the code unit), which no UTF-8 file may contain.
    QList<char32_t> unencodable;

    bool ok() const { return unencodable.isEmpty(); }
};

// Utf8Bom writes the byte-order mark first. A lossless byte U+F00xx kept from a code page
// 932 file is an ordinary character to UTF-8 and is written as its four-byte sequence.
EncodedText encodeText(QStringView text, FileEncoding enc);

} // namespace text
