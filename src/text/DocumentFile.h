#pragma once
// Reading and writing a pane's document: the bytes of a file, its encoding and its line
// ends, so that a file opened and saved unchanged comes back byte for byte.
//
// The text inside the program has "\n" between lines; the file's own line ends (CR LF, LF
// or CR) are remembered and written back. A file whose lines end in more than one way is
// saved with the ending most of its lines have, unless its text is saved unchanged: then
// every line gets its own ending back.

#include "text/FileEncoding.h"
#include "text/SafeFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace text {

enum class LineEnd { CrLf, Lf, Cr };

// "CR+LF", "LF", "CR".
QString lineEndName(LineEnd end);

struct DocumentFormat
{
    FileEncoding encoding = FileEncoding::Cp932;
    LineEnd lineEnd = LineEnd::CrLf; // new files use CR LF
    bool mixedLineEnds = false;
    // The file looked binary (NUL bytes or a known image or archive signature).
    bool binary = false;
    // For mixed line ends only: each line end as read (0 CR LF, 1 LF, 2 CR) and the hash of
    // the text they belong to, so that saving that very text restores them.
    QByteArray exactEnds;
    size_t exactTextHash = 0;
};

struct LoadedDocument
{
    QString text; // lines joined with "\n"
    DocumentFormat format;
};

// True for bytes that are not text: a NUL byte (outside UTF-16), or the signature of a
// common image, archive, document or executable format at the start.
bool looksBinary(QByteArrayView bytes);

// The document in the bytes. `forced` decodes in that encoding instead of the detected one
// (reopening with another encoding); the line ends are found either way. Binary bytes are
// read as code page 932, whose decoding keeps every byte, unless they are valid UTF-8 with
// NUL bytes in it.
LoadedDocument decodeDocument(QByteArrayView bytes, std::optional<FileEncoding> forced = {});

std::optional<LoadedDocument> readDocument(const QString &path, FileError *problem,
                                           std::optional<FileEncoding> forced = {},
                                           PipePolicy pipes = PipePolicy::Refuse);

// Encodes the text with the format's encoding and line ends, without substituting:
// characters the encoding cannot hold are returned and the bytes are not to be written.
struct EncodedDocument
{
    QByteArray bytes;
    QList<char32_t> unencodable;
    // The bytes hold every character but would open as other text: code page 932 bytes
    // that are also valid UTF-8 ("ﾃｩ" is C3 A9, which opens as "é"), or a byte kept from
    // the file that now pairs with its new neighbour.
    bool opensAsOtherText = false;
    // The text was the one read, and every line got its own ending back.
    bool exactLineEnds = false;
};
EncodedDocument encodeDocument(const QString &text, const DocumentFormat &format);
EncodedDocument encodeDocument(const QString &text, FileEncoding encoding);

// "「𠮷」(U+20BB7)「♥」(U+2665)" — the characters of a list, for telling the user which
// ones are meant.
QString describeCharacters(const QList<char32_t> &chars, int maxShown = 20);

} // namespace text
