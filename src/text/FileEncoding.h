#pragma once

// The encoding a document file is read in and saved back in.
//
// Detection on open, first rule that holds:
//   - EF BB BF followed by valid UTF-8                  -> Utf8Bom
//   - FF FE or FE FF and an even number of bytes         -> Utf16Le, Utf16Be
//   - valid UTF-8 with at least one multi-byte sequence  -> Utf8
//   - 7-bit bytes with ISO-2022-JP escapes (ESC $ B ...) -> Iso2022Jp
//   - valid EUC-JP that reads as more Japanese than it does as code page 932 -> EucJp
//   - everything else, pure ASCII included               -> Cp932
// ISO-2022-JP and EUC-JP are chosen only when encoding the decoded text gives the same
// bytes back; otherwise the file opens as code page 932, whose decoding is lossless. So
// whatever encoding is detected, a file opened and saved unchanged keeps its bytes.
// UTF-16 keeps them too: its code units are copied both ways, lone surrogates included.
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

#include <optional>

namespace text {

enum class FileEncoding { Cp932, Utf8, Utf8Bom, Utf16Le, Utf16Be, EucJp, Iso2022Jp };

// Every encoding, in the order the program offers them.
inline constexpr FileEncoding kAllEncodings[] = {
    FileEncoding::Cp932,   FileEncoding::Utf8,  FileEncoding::Utf8Bom,  FileEncoding::Utf16Le,
    FileEncoding::Utf16Be, FileEncoding::EucJp, FileEncoding::Iso2022Jp};

// "Shift_JIS", "UTF-8", "UTF-8 (BOM)", "UTF-16LE", ... as the window shows them.
QString encodingDisplayName(FileEncoding enc);
// "cp932", "utf-8", "utf-8-bom", "utf-16le", "utf-16be", "euc-jp", "iso-2022-jp": the names
// the command-line tool prints and takes.
QString encodingKey(FileEncoding enc);
std::optional<FileEncoding> encodingFromKey(QStringView key);

FileEncoding detectEncoding(QByteArrayView bytes);

// Utf8Bom and Utf16 drop the leading byte-order mark, and only that one: EF BB BF EF BB BF
// 41 is U+FEFF 'A'. The bytes are expected to be what detectEncoding() accepted; should
// other bytes come anyway (the user chose the encoding), each bad sequence becomes U+FFFD
// and an odd last byte of UTF-16 is dropped.
QString decodeText(QByteArrayView bytes, FileEncoding enc);

struct EncodedText
{
    QByteArray bytes;
    // Distinct characters the encoding cannot hold, in order of first appearance, each
    // written as a stand-in: '?' in code page 932, EUC-JP and ISO-2022-JP, U+FFFD in
    // UTF-8. In UTF-8 these can only be lone surrogates (listed as the code unit), which no
    // UTF-8 file may contain.
    QList<char32_t> unencodable;

    bool ok() const { return unencodable.isEmpty(); }
};

// Utf8Bom and Utf16 write the byte-order mark first. A lossless byte U+F00xx kept from a
// code page 932 file is an ordinary character to the Unicode encodings and is written as
// such. In UTF-16 a lone surrogate is written as it is, so UTF-16 holds every QString.
EncodedText encodeText(QStringView text, FileEncoding enc);

} // namespace text
