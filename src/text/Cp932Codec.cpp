#include "text/Cp932Codec.h"

#include "text/Cp932Tables.h"

#include <QChar>
#include <QSet>
#include <QtGlobal>

#include <unicode/ucnv.h>

#include <algorithm>
#include <memory>

namespace text {
namespace detail {

namespace {

struct ConverterCloser
{
    void operator()(UConverter *c) const { ucnv_close(c); }
};

// The character ICU gives for exactly these bytes, or kNoChar. The stop callback turns
// anything unmapped or illegal into an error instead of a substitute.
char16_t icuDecodeOne(UConverter *cnv, const char *bytes, int length)
{
    ucnv_reset(cnv);
    UChar out[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(cnv, out, 4, bytes, length, &status);
    if (U_FAILURE(status) || n != 1)
        return Cp932Tables::kNoChar;
    return out[0];
}

// Windows' choice among duplicate codes, lower wins: JIS X 0208 (and the single bytes and
// the user-defined area, which have no duplicates), NEC row 13, the IBM extension, its
// NEC-selected copy.
int codeRank(std::uint16_t code)
{
    const unsigned lead = code >> 8;
    if (lead == 0x87)
        return 1;
    if (lead >= 0xFA && lead <= 0xFC)
        return 2;
    if (lead == 0xED || lead == 0xEE)
        return 3;
    return 0;
}

Cp932Tables buildTables()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> cnv(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status))
        qFatal("ICU has no windows-31j converter: %s", u_errorName(status));
    ucnv_setToUCallBack(cnv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);

    Cp932Tables t;
    t.pair.assign(0x10000, Cp932Tables::kNoChar);
    t.code.assign(0x10000, Cp932Tables::kNoCode);

    std::vector<std::pair<char16_t, std::uint16_t>> allCodes;
    for (int b = 0; b < 0x100; ++b) {
        const char byte = static_cast<char>(b);
        // ICU's table comes from IBM's code page 943, which rotates the controls 1A, 1C and
        // 7F (1A is U+001C there); Windows maps all of 00-7F to themselves.
        const char16_t ch = b < 0x80 ? char16_t(b) : icuDecodeOne(cnv.get(), &byte, 1);
        t.single[b] = ch;
        if (ch != Cp932Tables::kNoChar)
            allCodes.emplace_back(ch, static_cast<std::uint16_t>(b));
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        if (t.single[lead] != Cp932Tables::kNoChar)
            continue;
        for (int trail = 0; trail < 0x100; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t ch = icuDecodeOne(cnv.get(), bytes, 2);
            if (ch == Cp932Tables::kNoChar)
                continue;
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            t.pair[code] = ch;
            allCodes.emplace_back(ch, code);
        }
    }

    for (const auto &[ch, code] : allCodes) {
        std::uint16_t &slot = t.code[ch];
        if (slot == Cp932Tables::kNoCode || codeRank(code) < codeRank(slot))
            slot = code;
    }
    for (const auto &entry : allCodes) {
        if (t.code[entry.first] != entry.second)
            t.otherCodes.push_back(entry);
    }
    std::sort(t.otherCodes.begin(), t.otherCodes.end());
    return t;
}

} // namespace

const Cp932Tables &cp932Tables()
{
    static const Cp932Tables tables = buildTables();
    return tables;
}

} // namespace detail

namespace {

using detail::Cp932Tables;

constexpr char16_t kRawHighSurrogate = 0xDB80; // U+F0000..U+F00FF are DB80 DC00..DB80 DCFF
constexpr char16_t kRawLowSurrogateBase = 0xDC00;

// Collects distinct unencodable characters in order of first appearance. Most texts have
// none, so the set is only touched on the slow path.
class UnencodableList
{
public:
    void add(char32_t c)
    {
        if (!m_seen.contains(c)) {
            m_seen.insert(c);
            m_list.append(c);
        }
    }
    QList<char32_t> take() { return std::move(m_list); }

private:
    QSet<char32_t> m_seen;
    QList<char32_t> m_list;
};

// A raw byte is written as itself, and when it is a lead byte, whatever follows may pair up
// with it on the next read. With the character's own bytes that cannot happen: they came
// after the raw byte in the file. A character re-encoded with Windows' choice among its
// duplicate codes can, though: in EE EE 55 the first EE is raw and EE 55 is U+769C, which
// Windows writes FB 71; EE FB would be read as U+FF07. So after a raw byte the character
// takes one of its codes that does not pair with it, here EE 55 again.
std::uint16_t codeAfterRawByte(const Cp932Tables &t, char16_t ch, std::uint16_t code,
                               unsigned char raw)
{
    if (t.pair[raw << 8 | code >> 8] == Cp932Tables::kNoChar)
        return code;
    const auto [first, last] =
        std::equal_range(t.otherCodes.begin(), t.otherCodes.end(), std::pair(ch, std::uint16_t(0)),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
    for (auto it = first; it != last; ++it) {
        if (t.pair[raw << 8 | it->second >> 8] == Cp932Tables::kNoChar)
            return it->second;
    }
    return code;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    const Cp932Tables &t = detail::cp932Tables();
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();

    // Every step writes at most one unit per byte consumed, except a raw byte, which writes
    // two for one; the buffer grows only when raw bytes have used up the slack.
    QString result;
    result.resize(n);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    qsizetype o = 0;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = in[i];
        if (b < 0x80) {
            out[o++] = b;
            ++i;
            continue;
        }
        const char16_t single = t.single[b];
        if (single != Cp932Tables::kNoChar) {
            out[o++] = single;
            ++i;
            continue;
        }
        if (i + 1 < n) {
            const char16_t ch = t.pair[b << 8 | in[i + 1]];
            if (ch != Cp932Tables::kNoChar) {
                out[o++] = ch;
                i += 2;
                continue;
            }
        }
        const qsizetype needed = o + 2 + (n - i - 1);
        if (needed > result.size()) {
            result.resize(qMax(needed, result.size() + result.size() / 4));
            out = reinterpret_cast<char16_t *>(result.data());
        }
        out[o++] = kRawHighSurrogate;
        out[o++] = kRawLowSurrogateBase + b;
        ++i;
    }
    result.truncate(o);
    return result;
}

Cp932Encoded encodeCp932(QStringView text)
{
    const Cp932Tables &t = detail::cp932Tables();
    const char16_t *in = text.utf16();
    const qsizetype n = text.size();

    QByteArray bytes;
    bytes.resize(2 * n); // no unit writes more than two bytes
    char *out = bytes.data();
    qsizetype o = 0;
    UnencodableList unencodable;
    bool afterRawByte = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i];
        if (u < 0x80) {
            out[o++] = static_cast<char>(u);
            afterRawByte = false;
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t c = QChar::surrogateToUcs4(u, in[++i]);
            afterRawByte = c - kCp932RawByteBase < 0x100;
            if (afterRawByte) {
                out[o++] = static_cast<char>(c - kCp932RawByteBase);
            } else {
                unencodable.add(c);
                out[o++] = '?';
            }
            continue;
        }
        std::uint16_t code = t.code[u];
        if (code == Cp932Tables::kNoCode) {
            unencodable.add(u);
            out[o++] = '?';
        } else if (code < 0x100) {
            out[o++] = static_cast<char>(code);
        } else {
            if (afterRawByte)
                code = codeAfterRawByte(t, u, code, static_cast<unsigned char>(out[o - 1]));
            out[o++] = static_cast<char>(code >> 8);
            out[o++] = static_cast<char>(code & 0xFF);
        }
        afterRawByte = false;
    }
    bytes.truncate(o);
    return {std::move(bytes), unencodable.take()};
}

bool isCp932Encodable(QStringView text)
{
    const Cp932Tables &t = detail::cp932Tables();
    const char16_t *in = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i];
        if (u < 0x80)
            continue;
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            if (QChar::surrogateToUcs4(u, in[++i]) - kCp932RawByteBase >= 0x100)
                return false;
            continue;
        }
        if (t.code[u] == Cp932Tables::kNoCode)
            return false;
    }
    return true;
}

} // namespace text
