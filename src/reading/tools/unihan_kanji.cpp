// Build-time tool: the kanji readings and variants of the Unicode Han database (Unihan,
// Debian's unicode-data), as a table compiled into the reading engine. Reads the
// concatenated Unihan_Readings.txt and Unihan_Variants.txt on standard input and writes a
// C++ source holding one line per character:
//   CHARACTER <TAB> ON READINGS <TAB> KUN READINGS <TAB> VARIANTS
// the readings in Unihan's romanisation ("KYOU KEI"), the variants as the characters.
// KANJIDIC gives the readings of the 6 355 kanji of JIS X 0208; this table serves the rest
// (JIS X 0212 and 0213, the vendors' extensions, the ideographs beyond the BMP).

#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

std::string utf8(unsigned long c)
{
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

unsigned long codePoint(const std::string &field)
{
    // "U+5D0E" or "U+5D0E<kMorohashi:Z"
    if (field.size() < 3 || field.compare(0, 2, "U+") != 0)
        return 0;
    return std::stoul(field.substr(2, field.find('<') - 2), nullptr, 16);
}

struct Row
{
    std::string on, kun, variants;
};

} // namespace

int main()
{
    std::map<unsigned long, Row> rows;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string cp, key, value;
        if (!std::getline(fields, cp, '\t') || !std::getline(fields, key, '\t') ||
            !std::getline(fields, value))
            continue;
        const unsigned long c = codePoint(cp);
        if (!c)
            continue;
        if (key == "kJapaneseOn") {
            rows[c].on = value;
        } else if (key == "kJapaneseKun") {
            rows[c].kun = value;
        } else if (key == "kZVariant" || key == "kCompatibilityVariant" ||
                   key == "kSemanticVariant" || key == "kSpecializedSemanticVariant" ||
                   key == "kSpoofingVariant" || key == "kTraditionalVariant" ||
                   key == "kSimplifiedVariant") {
            std::istringstream targets(value);
            std::string t;
            while (targets >> t) {
                if (const unsigned long v = codePoint(t); v && v != c)
                    rows[c].variants += utf8(v);
            }
        }
    }
    std::cout << "// Generated from Unihan by unihan_kanji; do not edit.\n"
                 "extern const char unihanKanjiTable[];\n"
                 "const char unihanKanjiTable[] =\n";
    int inLiteral = 0;
    for (const auto &[c, row] : rows) {
        if (row.on.empty() && row.kun.empty() && row.variants.empty())
            continue;
        // Literals of a few hundred lines each, which any compiler takes.
        if (inLiteral == 0)
            std::cout << "R\"unihan(";
        std::cout << utf8(c) << '\t' << row.on << '\t' << row.kun << '\t' << row.variants << '\n';
        if (++inLiteral == 500) {
            std::cout << ")unihan\"\n";
            inLiteral = 0;
        }
    }
    if (inLiteral)
        std::cout << ")unihan\"\n";
    std::cout << "    \"\";\n";
    return std::cout.good() ? 0 : 1;
}
