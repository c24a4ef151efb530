#include "editor/HorizontalRuby.h"

#include "text/Ruby.h"

#include <QFontMetricsF>
#include <QPainter>

namespace editor {

namespace {
int pixelSize(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : qMax(1, qRound(font.pointSizeF() * 4 / 3));
}
} // namespace

QList<QTextLayout::FormatRange> rubyHidingFormats(const QString &text, const QFont &font)
{
    QList<QTextLayout::FormatRange> formats;
    if (!text::mayHoldRuby(text))
        return formats;
    QFont hidden = font;
    hidden.setPixelSize(pixelSize(font) * 8 / 5);
    const QFontMetricsF fm(hidden);
    auto hideRange = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            QTextLayout::FormatRange r;
            r.start = int(i);
            r.length = 1;
            r.format.setFont(hidden);
            r.format.setForeground(Qt::transparent);
            r.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            r.format.setFontLetterSpacing(-fm.horizontalAdvance(text[i]));
            formats.append(r);
        }
    };
    for (const text::RubyPiece &piece : text::parseRuby(text)) {
        if (!piece.hasRuby())
            continue;
        hideRange(piece.notationStart(), piece.start);
        hideRange(piece.start + piece.text.size(), piece.end);
    }
    return formats;
}

void paintRubyAbove(QPainter &painter, const QTextLayout &layout, const QString &text,
                    QPointF origin, const QFont &font, const QColor &colour)
{
    QFont small = font;
    small.setPixelSize(qMax(1, pixelSize(font) / 2));
    const QFontMetricsF smallMetrics(small, painter.device());
    const QFontMetricsF baseMetrics(font, painter.device());
    painter.save();
    painter.setFont(small);
    painter.setPen(colour);
    for (const text::RubyPiece &piece : text::parseRuby(text)) {
        if (!piece.hasRuby())
            continue;
        const int start = int(piece.start), end = int(piece.start + piece.text.size());
        const QTextLine line = layout.lineForTextPosition(start);
        if (!line.isValid())
            continue;
        drawRubyOver(painter, line, start, end, origin,
                     origin.y() + line.y() + line.ascent() - baseMetrics.ascent() -
                         smallMetrics.descent(),
                     piece.ruby);
    }
    painter.restore();
}

void drawRubyOver(QPainter &painter, const QTextLine &row, int start, int end, QPointF origin,
                  qreal baseline, const QString &ruby)
{
    const qreal left = origin.x() + row.cursorToX(start);
    const qreal right = origin.x() + row.cursorToX(qMin(end, row.textStart() + row.textLength()));
    const qreal width = QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(ruby);
    painter.drawText(QPointF((left + right - width) / 2, baseline), ruby);
}

} // namespace editor
