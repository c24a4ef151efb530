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

// The syllables of a Latin word as said: its groups of vowels, a final silent e not
// counted (love, make) but a final "le" after a consonant counted (little); a word with
// no vowel (y is one only at a word's end: sky), or of up to four capitals, spelled out
// letter by letter (xyz, NHK).
int latinSyllables(QStringView word);

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

// The forms a poem is counted against. Auto finds it: a haiku or a tanka, a sedoka where
// blanks part six ku; Free counts the ku as the blanks and lines part them, against no form.
enum class PoemForm { Auto, Haiku, Tanka, Sedoka, Free };

// The ku of a line. A line that blanks part into three or five ku keeps them and is read as
// a haiku or tanka. Otherwise the words are grouped into the five or three ku that come
// nearest to the form, each blank a ku boundary, a ku starting with a particle counting as
// a miss of one and a half sounds; a grouping that misses the form by more than three
// sounds in all is no poem, and the line is counted whole (or by its blanks). A line that
// reads as verse (`poetic`) is a poem still when its sounds in all are within three of the
// form's, only its ku fall elsewhere.
LineMeter meterOf(const QList<MeteredWord> &words, bool poetic = false);
// How far words written in one run are from the nearest of a haiku and a tanka, as the
// grouping above measures it (each sound missed two, a ku starting oddly three); 0 for a
// poem that keeps its form.
int meterMiss(const QList<MeteredWord> &words);

// The sounds of consecutive lines, a stanza, that may be one poem: a haiku on three lines,
// a tanka on two or five. Each line break parts ku as a blank does. The stanza is one poem
// where that misses its form by less than its lines do counted each on its own; else every
// line is a poem of its own. In a form other than Auto, every poem is measured against it.
struct StanzaMeter
{
    QList<LineMeter> lines;      // each line's share of its poem's ku, with their targets
    QList<LineMeter> poems;      // each poem whole
    QList<qsizetype> poemOfLine; // for each line, its poem in `poems`
};
StanzaMeter meterOfStanza(const QList<QList<MeteredWord>> &lines, PoemForm form,
                          const QList<bool> &poetic = {});

// The runs of [from, to) of a line between blanks (spaces, ideographic spaces, tabs).
QList<std::pair<qsizetype, qsizetype>> blankParts(QStringView line, qsizetype from, qsizetype to);

// The part of a line that is a poem: all of it, except in a numbered list ("1　poem　poet",
// "12 ku ku ku ku ku poet"), where the number before it and the name after it are not.
std::pair<qsizetype, qsizetype> poemSpan(QStringView line);

} // namespace reading
