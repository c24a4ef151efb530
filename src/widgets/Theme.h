// The shared look of the editor's bars: a few colours of paper and ink, and the font that the
// captions of buttons, tabs and check boxes are set in. Every widget of this folder paints from
// here, so a bar built from them reads as one surface.
#pragma once

#include <QColor>
#include <QFont>

namespace widgets::theme {

// Unbleached paper, for bars and tabs.
QColor paper();
// A shade darker than paper: the bars' own background, so raised buttons stand off it.
QColor barBackground();
// Soft brown-grey ink for frames and separators.
QColor frame();
// The ink of captions.
QColor ink();
// Indigo: checked states, hover accents, the filled lozenge.
QColor indigo();

// A Japanese font at the given pixel size, for captions such as "萬", "縦" or "右窓".
// Prefers IPAPMincho (its proportional Latin sets "Parole" or "Color String" naturally, where
// the fixed-pitch IPAMincho looks typewritten), then IPAMincho, then IPAGothic; without any of
// them the application font is used, so a machine without Japanese fonts still gets readable
// Latin captions.
QFont captionFont(int pixelSize);

} // namespace widgets::theme
