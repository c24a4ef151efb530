#pragma once

// Code page 932 (Windows "Shift_JIS") with the characters Windows gives each code, decoded
// losslessly so that a file opened and saved unchanged comes back byte for byte.
//
// Decoding, one step at a time from the current byte B:
//   - B is a single-byte character (00-7F, A1-DF half-width katakana): that character.
//     5C is U+005C and 7E is U+007E, as on Windows, not the yen sign and overline.
//   - B and the next byte form a double-byte character: that character (81 60 is U+FF5E,
//     81 5C U+2015, 84 A0 U+2502, F040-F9FC the user-defined area U+E000-U+E757, ...).
//   - otherwise B alone becomes U+F0000 + B (supplementary private use, a surrogate pair in
//     a QString), and decoding goes on with the byte after B. That byte is looked at afresh,
//     so a stray lead byte never swallows a good character behind it:
//         81 20        -> U+F0081 ' '
//         85 40        -> U+F0085 '@'       (85 is a lead byte, but row 85 is empty)
//         85 82 A0     -> U+F0085 'あ'      (82 A0 is still found)
//         .. 82        -> .. U+F0082        (a lead byte at the end)
//   The single bytes 80, A0, FD, FE and FF hold no character. Windows turns them into
//   U+0080 (a C1 control) and U+F8F0-U+F8F3 (private use), none of them a character a user
//   could see or type, so they take the lossless form too: 80 A0 FD -> U+F0080 U+F00A0
//   U+F00FD, and these encode back to 80 A0 FD. U+0080 and U+F8F0-U+F8F3 themselves, should
//   a text hold them, are characters the code page cannot hold.
//
// Encoding writes U+F0000-U+F00FF as their byte and every other character as its code.
// The code page has a few hundred characters with two or three codes (NEC row 13, the IBM
// extension FA-FC and its NEC-selected copy ED-EE): those decode to the one character and
// encode to the code Windows picks, JIS X 0208 before NEC row 13 before IBM before
// NEC-selected IBM. Example: ED 40 and FA 5C both decode to U+7E8A, which encodes to FA 5C;
// 87 90 decodes to U+2252, which encodes to 81 E0. These are the only byte strings that do
// not survive decoding and encoding unchanged, and even they keep their text: right after a
// raw lead byte, a character takes another of its codes when Windows' choice would pair
// with that byte (EE EE 55 stays EE EE 55, since EE FB 71 would read as U+FF07 'q').
//
// Characters the code page cannot hold are never replaced silently: they are listed, and
// written as '?' only so that the byte string has a defined content; the caller decides
// whether to save it.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace text {

QString decodeCp932(QByteArrayView bytes);

struct Cp932Encoded
{
    QByteArray bytes;
    // Distinct characters that code page 932 cannot hold, in order of first appearance.
    // A lone surrogate is listed as its code unit.
    QList<char32_t> unencodable;

    bool ok() const { return unencodable.isEmpty(); }
};

Cp932Encoded encodeCp932(QStringView text);

bool isCp932Encodable(QStringView text);

// The lossless form of a byte that is not part of a character: U+F0000 + byte.
constexpr char32_t kCp932RawByteBase = 0xF0000;

} // namespace text
