#include "text/DocumentFile.h"

#include <QHash>

#include <cstring>

namespace text {

namespace {

constexpr int kEndCrLf = 0;
constexpr int kEndLf = 1;
constexpr int kEndCr = 2;

struct Signature
{
    const char *bytes;
    int size;
};

// Formats a user might drop on a pane by mistake; each starts with these bytes.
constexpr Signature kBinarySignatures[] = {
    {"\x89PNG\r\n\x1a\n", 8},
    {"GIF87a", 6},
    {"GIF89a", 6},
    {"\xFF\xD8\xFF", 3},
    {"%PDF-", 5},
    {"PK\x03\x04", 4},
    {"PK\x05\x06", 4},
    {"\x1F\x8B", 2},
    {"BZh", 3},
    {"\xFD"
     "7zXZ",
     5},
    {"7z\xBC\xAF\x27\x1C", 6},
    {"\x7F"
     "ELF",
     4},
    {"RIFF", 4},
    {"\xD0\xCF\x11\xE0", 4},
    {"II*", 3},
    {"MM\x00*", 4},
    {"\xCA\xFE\xBA\xBE", 4},
    {"\x28\xB5\x2F\xFD", 4},
    {"Rar!\x1A\x07", 6},
    {"OggS", 4},
    {"fLaC", 4},
    {"ID3", 3},
};

bool isUtf16(FileEncoding e)
{
    return e == FileEncoding::Utf16Le || e == FileEncoding::Utf16Be;
}

const QString &endText(char end)
{
    static const QString crlf = QStringLiteral("\r\n");
    static const QString lf = QStringLiteral("\n");
    static const QString cr = QStringLiteral("\r");
    return end == kEndCrLf ? crlf : end == kEndLf ? lf : cr;
}

char endCode(LineEnd end)
{
    switch (end) {
    case LineEnd::CrLf:
        return kEndCrLf;
    case LineEnd::Lf:
        return kEndLf;
    case LineEnd::Cr:
        return kEndCr;
    }
    return kEndCrLf;
}

} // namespace

QString lineEndName(LineEnd end)
{
    switch (end) {
    case LineEnd::CrLf:
        return QStringLiteral("CR+LF");
    case LineEnd::Lf:
        return QStringLiteral("LF");
    case LineEnd::Cr:
        return QStringLiteral("CR");
    }
    return QString();
}

bool looksBinary(QByteArrayView bytes)
{
    for (const Signature &s : kBinarySignatures) {
        if (bytes.size() >= s.size && std::memcmp(bytes.data(), s.bytes, size_t(s.size)) == 0) {
            // "BZh" and "ID3" and "II*" are short enough to begin a line of text: they
            // count only with a byte that text would not hold right behind them.
            if (s.size == 3 && bytes.size() > 3 && static_cast<unsigned char>(bytes[3]) >= 0x20 &&
                static_cast<unsigned char>(bytes[3]) < 0x7F && s.bytes[0] != '\xFF')
                continue;
            return true;
        }
    }
    if (isUtf16(detectEncoding(bytes)))
        return false;
    return std::memchr(bytes.data(), 0, size_t(bytes.size())) != nullptr;
}

LoadedDocument decodeDocument(QByteArrayView bytes, std::optional<FileEncoding> forced)
{
    LoadedDocument doc;
    doc.format.binary = looksBinary(bytes);
    // Binary bytes are read as code page 932, which keeps every one; but UTF-8 that is
    // valid apart from its NUL bytes stays UTF-8 (a NUL is a character to it).
    const FileEncoding detected = detectEncoding(bytes);
    const bool utf8 = detected == FileEncoding::Utf8 || detected == FileEncoding::Utf8Bom;
    doc.format.encoding = forced                       ? *forced
                          : doc.format.binary && !utf8 ? FileEncoding::Cp932
                                                       : detected;
    const QString decoded = decodeText(bytes, doc.format.encoding);
    if (!decoded.contains(u'\r')) {
        // Every line end a LF already, as in most files: the text as decoded, not copied
        // once more.
        doc.text = decoded;
        if (decoded.contains(u'\n'))
            doc.format.lineEnd = LineEnd::Lf;
        return doc;
    }

    // One pass: the text with "\n" for every line end, and each end as it was.
    QString &out = doc.text;
    out.reserve(decoded.size());
    QByteArray ends;
    qsizetype counts[3] = {0, 0, 0};
    const QChar *p = decoded.constData();
    const qsizetype n = decoded.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(QStringView(p + start, i - start));
        out.append(QLatin1Char('\n'));
        char end = kEndLf;
        if (c == u'\r') {
            end = kEndCr;
            if (i + 1 < n && p[i + 1] == u'\n') {
                end = kEndCrLf;
                ++i;
            }
        }
        ends.append(end);
        ++counts[int(end)];
        start = i + 1;
    }
    out.append(QStringView(p + start, n - start));

    const int kinds = (counts[0] > 0) + (counts[1] > 0) + (counts[2] > 0);
    // The most frequent ending; a tie goes to CR LF, then LF.
    if (counts[kEndLf] > counts[kEndCrLf] && counts[kEndLf] >= counts[kEndCr])
        doc.format.lineEnd = LineEnd::Lf;
    else if (counts[kEndCr] > counts[kEndCrLf] && counts[kEndCr] > counts[kEndLf])
        doc.format.lineEnd = LineEnd::Cr;
    doc.format.mixedLineEnds = kinds > 1;
    if (doc.format.mixedLineEnds) {
        doc.format.exactEnds = std::move(ends);
        doc.format.exactTextHash = qHash(QStringView(out));
    }
    return doc;
}

std::optional<LoadedDocument> readDocument(const QString &path, FileError *problem,
                                           std::optional<FileEncoding> forced, PipePolicy pipes)
{
    std::optional<QByteArray> bytes = readFileBytes(path, problem, pipes);
    if (!bytes)
        return std::nullopt;
    return decodeDocument(*bytes, forced);
}

EncodedDocument encodeDocument(const QString &plain, const DocumentFormat &format)
{
    // The text kept to "\n" line ends by the pane; a stray CR (pasted text) is a line end too.
    const bool unchanged = !format.exactEnds.isEmpty() &&
                           qHash(QStringView(plain)) == format.exactTextHash &&
                           plain.count(QLatin1Char('\n')) == format.exactEnds.size();
    QString joined;
    joined.reserve(plain.size() + plain.size() / 16);
    const QChar *p = plain.constData();
    const qsizetype n = plain.size();
    const char usual = endCode(format.lineEnd);
    qsizetype start = 0;
    qsizetype line = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        joined.append(QStringView(p + start, i - start));
        joined.append(endText(unchanged ? format.exactEnds.at(line) : usual));
        ++line;
        if (c == u'\r' && i + 1 < n && p[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    joined.append(QStringView(p + start, n - start));

    EncodedText encoded = encodeText(joined, format.encoding);
    EncodedDocument doc{std::move(encoded.bytes), std::move(encoded.unencodable)};
    doc.exactLineEnds = unchanged;
    if (doc.unencodable.isEmpty() && !format.binary)
        doc.opensAsOtherText = decodeText(doc.bytes, detectEncoding(doc.bytes)) != joined;
    return doc;
}

EncodedDocument encodeDocument(const QString &text, FileEncoding encoding)
{
    DocumentFormat format;
    format.encoding = encoding;
    return encodeDocument(text, format);
}

QString describeCharacters(const QList<char32_t> &chars, int maxShown)
{
    QString out;
    int shown = 0;
    for (char32_t c : chars) {
        if (shown == maxShown) {
            out += QStringLiteral(" …");
            break;
        }
        out += QStringLiteral("「") + QString::fromUcs4(&c, 1) +
               QStringLiteral("」(U+%1)").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
        ++shown;
    }
    return out;
}

} // namespace text
