#pragma once
// Sounds (on, morae) as a poet counts them, and the ku of a line measured against the forms
// of haiku (5-7-5) and tanka (5-7-5-7-7).

#include <QList>
#include <QString>
#include <QStringView>

namespace reading {

// The morae of kana as pronounced: every kana counts one, っ ー and ん too; the small
// ゃ ゅ ょ ぁ ぃ ぅ ぇ ぉ ゎ (and their katakana) join the kana before them. Anything else
// counts nothing.
int moraCount(QStringView kana);

// A line's count: the morae of each ku, and when the line is read as a haiku or a tanka,
// the count each ku should have.
struct LineMeter
{
    QList<int> ku;     // morae of each ku, in order; one entry for a line not parted in ku
    QList<int> target; // 5,7,5 or 5,7,5,7,7; empty when the line is no such poem
    int total() const;
    bool isForm() const { return !target.isEmpty(); }
    // +1 for a ku too long (字余り), -1 for one too short (字足らず), 0 for one that keeps.
    int deviation(qsizetype k) const;
    // "5・7・5"; a single number for a line not parted in ku; empty for a line with no sound.
    QString kuText() const;
};

// One word of a line for the measuring: its morae, whether a ku may start with it (not with
// a particle or an auxiliary), and whether the poet parted the line before it with a blank.
struct MeteredWord
{
    int morae = 0;
    bool mayStartKu = true;
    bool blankBefore = false;
};

// The ku of a line. A line that blanks part into three or five ku keeps them and is read as
// a haiku or tanka. Otherwise the words are grouped into the five or three ku that come
// nearest to the form, each blank a ku boundary, a ku starting with a particle counting as
// a miss of one and a half sounds; a grouping that misses the form by more than three
// sounds in all is no poem, and the line is counted whole (or by its blanks).
LineMeter meterOf(const QList<MeteredWord> &words);

} // namespace reading
