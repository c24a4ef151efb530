#include "editor/HorizontalRuby.h"

#include "text/KanaForms.h"
#include "text/Ruby.h"

#include <QFontMetricsF>
#include <QPainter>

namespace editor {

namespace {
int pixelSize(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : qMax(1, qRound(font.pointSizeF() * 4 / 3));
}

// Ruby is set at half the text's size.
QFont rubyFont(const QFont &font)
{
    QFont small = font;
    small.setPixelSize(qMax(1, pixelSize(font) / 2));
    return small;
}
} // namespace

QList<QTextLayout::FormatRange> rubyHidingFormats(const QString &text, const QFont &font)
{
    QList<QTextLayout::FormatRange> formats;
    if (!text::mayHoldRuby(text))
        return formats;
    // The last hidden character of a run is tall enough for the ruby above the base, the
    // others a pixel high; all are squeezed to a hundredth of their width, so that nothing
    // of them shows even where a selection paints them in its own colour.
    QFont tall = font;
    tall.setPixelSize(pixelSize(font) * 8 / 5);
    tall.setStretch(1);
    QFont tiny = tall;
    tiny.setPixelSize(1);
    const QFontMetricsF tallMetrics(tall), tinyMetrics(tiny);
    const QFontMetricsF baseMetrics(font);
    const QFontMetricsF rubyMetrics(rubyFont(font));
    // Each hidden character takes no room, but what it is given: the spread of a ruby longer
    // than its base, after the base (on the notation's last character) and before it (on
    // the ｜, or on the character before the base).
    auto hideRange = [&](qsizetype from, qsizetype to, qreal room) {
        for (qsizetype i = from; i < to; ++i) {
            QTextLayout::FormatRange r;
            r.start = int(i);
            r.length = 1;
            const bool last = i == to - 1;
            r.format.setFont(last ? tall : tiny);
            r.format.setForeground(Qt::transparent);
            r.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            r.format.setFontLetterSpacing(
                -(last ? tallMetrics : tinyMetrics).horizontalAdvance(text[i]) + (last ? room : 0));
            formats.append(r);
        }
    };
    const auto isKana = [&](qsizetype i) {
        return i >= 0 && i < text.size() && text::isKanaOnly(QStringView(text).sliced(i, 1));
    };
    for (const text::RubyPiece &piece : text::parseRuby(text)) {
        if (!piece.hasRuby())
            continue;
        // A ruby longer than its base stands over a kana beside it by up to one of its
        // characters; beyond that the base is spread apart.
        const qreal rubyWidth = rubyMetrics.horizontalAdvance(piece.ruby);
        const qreal half =
            qMax<qreal>(0, rubyWidth - baseMetrics.horizontalAdvance(piece.text)) / 2;
        const qreal one = rubyWidth / qMax<qsizetype>(1, piece.ruby.size());
        const qsizetype before = piece.notationStart() - 1;
        const qreal roomBefore = qMax<qreal>(0, half - (isKana(before) ? one : 0));
        const qreal roomAfter = qMax<qreal>(0, half - (isKana(piece.end) ? one : 0));
        if (piece.barLength) {
            hideRange(piece.notationStart(), piece.start, roomBefore);
        } else if (before >= 0 && roomBefore > 0) {
            QTextLayout::FormatRange r;
            r.start = int(before);
            r.length = 1;
            r.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            r.format.setFontLetterSpacing(roomBefore);
            formats.append(r);
        }
        hideRange(piece.start + piece.text.size(), piece.end, roomAfter);
    }
    return formats;
}

void paintRubyAbove(QPainter &painter, const QTextLayout &layout, const QString &text,
                    QPointF origin, const QFont &font, const QColor &colour)
{
    const QFont small = rubyFont(font);
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
    // Centred over its base, but within its row: at a row's start or end the ruby is
    // shifted inside instead of being cut by the pane's edge or running into the margin.
    const qreal rowLeft = origin.x() + row.x();
    const qreal rowRight = qMax(rowLeft + width, origin.x() + row.x() + row.width());
    const qreal x = qBound(rowLeft, (left + right - width) / 2, rowRight - width);
    painter.drawText(QPointF(x, baseline), ruby);
}

} // namespace editor
