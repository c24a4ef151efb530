#pragma once
// Ruby in horizontal writing: the notation of a line's ruby hidden through the line's layout
// formats (the view), and a ruby drawn centred over its base (the view and printing).

#include <QFont>
#include <QList>
#include <QTextLayout>

class QPainter;

namespace editor {

// Formats that hide the notation of a line's ruby: its characters drawn nowhere and taking
// no room, set larger than the text so that the line is tall enough for the ruby above its
// base. Empty for a line without ruby.
QList<QTextLayout::FormatRange> rubyHidingFormats(const QString &text, const QFont &font);

// The ruby of a line laid out with those formats, drawn above each base and centred over it;
// `origin` is where the layout's top left stands.
void paintRubyAbove(QPainter &painter, const QTextLayout &layout, const QString &text,
                    QPointF origin, const QFont &font, const QColor &colour);

// A ruby centred over its base [start, end) of a row, on a baseline; the painter's font and
// pen are the ruby's. A base that goes on into the next row is centred over its part here.
void drawRubyOver(QPainter &painter, const QTextLine &row, int start, int end, QPointF origin,
                  qreal baseline, const QString &ruby);

} // namespace editor
