#pragma once
// Drawing a column's pieces: an upright cell, a turned run, a ruby beside its base. What the
// vertical layout paints with, one cell or run at a time.

#include "editor/VerticalLayout.h"

#include <QColor>
#include <QStringView>
#include <span>

class QPainter;

namespace editor {

// A short run of text set side by side in one upright cell `height` high, its centre on the
// column's centre line, narrowed to the em if it is wider.
void drawUpright(QPainter *painter, const QFont &font, QStringView run, qreal cx, qreal top,
                 qreal height, const QColor &colour);
// One character set in a column as the text is: upright, turned, or by the painter.
void drawCell(QPainter *painter, VerticalGlyphCache &g, QStringView cluster, qreal cx, qreal y,
              const QColor &colour);
// Glyphs of a run of sideways text, turned clockwise, from the top of their cell at y.
void drawSideways(QPainter *painter, VerticalGlyphCache &g, std::span<const SidewaysGlyph> glyphs,
                  qreal cx, qreal y, const QColor &colour);
// A ruby beside its base, centred on it: its characters one after the other where the
// ruby is as long as the base or longer, spread evenly over a longer base.
void paintRuby(QPainter *painter, VerticalGlyphCache &g, const VerticalBlockLayout::Ruby &r,
               qreal cx, qreal offset, const QColor &colour);

} // namespace editor
