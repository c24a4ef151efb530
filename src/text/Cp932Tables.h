#pragma once

// Lookup tables of code page 932, built from ICU's "windows-31j" converter on first use.
// Internal to the text library: the codec and the byte counts share them so that
// cp932ByteLength() always agrees with what encodeCp932() writes.

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace text::detail {

struct Cp932Tables
{
    static constexpr char16_t kNoChar = 0xFFFF;
    static constexpr std::uint16_t kNoCode = 0xFFFF;

    // Character of each single byte, kNoChar where the byte is not a character on its own.
    std::array<char16_t, 256> single{};
    // Character of each double-byte code (lead << 8 | trail), kNoChar where none.
    std::vector<char16_t> pair;
    // Code of each BMP character: below 0x100 one byte, else lead << 8 | trail; kNoCode
    // where the code page has no such character (surrogates included).
    std::vector<std::uint16_t> code;
    // The other codes of characters that have more than one, sorted by character.
    std::vector<std::pair<char16_t, std::uint16_t>> otherCodes;
};

const Cp932Tables &cp932Tables();

} // namespace text::detail
