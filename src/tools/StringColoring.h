#pragma once
// String colouring: every occurrence of a string in a pane's document takes one text colour.
// Only the character colour changes, never the text, so the pane's undo memory and its saved
// file are untouched. QtGui for QTextDocument and QTextCursor; no widgets.

#include "text/ColorNumber.h"

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

class QTextCursor;

namespace tools {

struct ColoringColor
{
    QString caption;           // the context-menu item's caption ("えんじ")
    text::ColorNumber applied; // the colour given to each occurrence
    text::ColorNumber face;    // the colour the button and the menu item are painted
};

// The twelve colours of SCButton1-12 and N24-N35, in that order (index 0 is colour 1).
const QList<ColoringColor> &coloringColors();

// The colour of "彩" for a press counter: counter 1 is red, 10 is navy, 11 red again.
text::ColorNumber cyclingColor(int pressCounter);

QColor toQColor(text::ColorNumber c);

// Colours every occurrence of text in the cursor's document, searching case-sensitively from
// the start and going on just after each occurrence, so ああ in あああ is found once.
// Afterwards the cursor has no selection, sits after the last occurrence (where it was when
// nothing was found), and its character format, the one text typed next takes, has
// typingColor; an invalid typingColor clears the foreground instead, so typed text follows
// the pane's own font colour even if that changes later.
// Returns nullopt, colouring nothing, when the document is empty: the caller keeps its
// previous count. An empty text matches nothing and gives 0.
// The whole run is one edit block: a text with 100 000 occurrences is coloured in one pass.
std::optional<int> ColorAllMatches(QTextCursor &cursor, const QString &text, const QColor &color,
                                   const QColor &typingColor);

// The counters of the colouring tools; they live as long as the main window.
struct ColoringState
{
    int pressCounter = 0;   // of "彩", never reset
    int lastColorCount = 0; // occurrences of the most recent run, read by "書記"
    int rowCounter = 0;     // last data row of the count grid (it outlives the grid window)

    // Advances the press counter and gives its colour: the first call gives red.
    text::ColorNumber nextCyclingColor();
    // Stores a run's result: a run on an empty pane keeps the previous count.
    int takeRun(std::optional<int> count);
};

// Status panel 2 after a run: "3文字列".
QString coloredCountText(int count);

} // namespace tools
