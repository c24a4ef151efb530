#pragma once
// Ruby in plain text, as Japanese literature files write it: "｜春日《かすが》" gives the
// run after ｜ the reading in 《》; without ｜, "春日《かすが》" gives it to the run of
// kanji just before 《. A 《 with no base before it, with no closing 》 on its line, or with
// another 《 before its 》, is text as it stands; so is a ｜ with no ruby after it (of two
// ｜ before one ruby, the later one opens the base and the earlier stays text).
//
// And tate-chū-yoko: the short runs of half-width digits and Latin letters that vertical
// writing sets upright, side by side in one cell.

#include <QList>
#include <QString>
#include <QStringView>

namespace text {

// Ideographs, the iteration mark 々 and 〇, and the CJK compatibility ideographs.
bool isKanji(char32_t c);

struct RubyPiece
{
    QString text;        // the base text, or plain text
    QString ruby;        // the reading; empty for plain text
    qsizetype start = 0; // where `text` starts in the line
    qsizetype end = 0;   // where the piece ends in the line, its closing 》 included
    bool hasRuby() const { return !ruby.isEmpty(); }
    // Where the notation before the base starts: its ｜, or the base itself.
    qsizetype notationStart() const { return hasRuby() && end > 0 ? start - barLength : start; }
    qsizetype barLength = 0; // 1 when a ｜ opens the base
};

// The line split into plain text and based ruby, in order; joining every piece's text gives
// the line without the notation.
QList<RubyPiece> parseRuby(QStringView line);

// True when the line holds a 《 at all: what the callers test before parsing.
inline bool mayHoldRuby(QStringView line)
{
    return line.contains(u'《');
}

// The runs of one to `longest` half-width digits or Latin letters that stand between
// characters that are not Latin (or at the line's ends): 12 in 12月, not 2026 in 2026年
// when `longest` is 2, nor 3 and 14 in 3.14. As (start, length) pairs, in order.
struct Span
{
    qsizetype start = 0;
    qsizetype length = 0;
};
QList<Span> tateChuYokoRuns(QStringView line, int longest);

} // namespace text
