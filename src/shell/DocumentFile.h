#pragma once
// Reading and writing a pane's document. Files are code page 932 unless they are UTF-8
// (a byte-order mark, or valid UTF-8 with multi-byte sequences); a pane saves in the
// encoding its file came in, with CR LF between lines. Bytes that are not valid text
// survive a load and a save unchanged (see text/Cp932Codec.h).

#include "text/FileEncoding.h"

#include <QList>
#include <QString>
#include <optional>

namespace shell {

struct LoadedDocument
{
    QString text; // lines joined with "\n"
    text::FileEncoding encoding = text::FileEncoding::Cp932;
};

struct FileProblem
{
    QString message; // the system's own words, e.g. "No such file or directory"
};

std::optional<LoadedDocument> readDocument(const QString &path, FileProblem *problem);

// Encodes the text (lines split at any line end, written with CR LF) without substituting:
// characters the encoding cannot hold are returned instead and nothing is written.
struct EncodedDocument
{
    QByteArray bytes;
    QList<char32_t> unencodable;
    // The bytes hold every character but would open as other text: code page 932 bytes
    // that are also valid UTF-8 ("ﾃｩ" is C3 A9, which opens as "é"), or a byte kept from
    // the file that now pairs with its new neighbour.
    bool opensAsOtherText = false;
};
EncodedDocument encodeDocument(const QString &text, text::FileEncoding encoding);

// Writes atomically: a failed write leaves the old file as it was.
bool writeBytes(const QString &path, const QByteArray &bytes, FileProblem *problem);

// "「𠮷」「♥」" — the characters of a list, for telling the user which ones are meant.
QString describeCharacters(const QList<char32_t> &chars, int maxShown = 20);

} // namespace shell
