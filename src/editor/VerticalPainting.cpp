#include "editor/VerticalPainting.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>

namespace editor {

void drawUpright(QPainter *painter, const QFont &font, QStringView run, qreal cx, qreal top,
                 qreal height, const QColor &colour)
{
    const QString text = run.toString();
    const QFontMetricsF fm(font);
    const qreal width = fm.horizontalAdvance(text);
    const qreal room = height * 0.95;
    painter->save();
    painter->setFont(font);
    painter->setPen(colour);
    painter->translate(cx, top + height / 2);
    if (width > room)
        painter->scale(room / width, 1);
    painter->drawText(QRectF(-width / 2, -height / 2, width, height), Qt::AlignCenter, text);
    painter->restore();
}

void drawCell(QPainter *painter, VerticalGlyphCache &g, QStringView cluster, qreal cx, qreal y,
              const QColor &colour)
{
    const VerticalGlyph &vg = g.cluster(cluster);
    painter->setPen(colour);
    QGlyphRun run;
    run.setRawFont(g.rawFont(vg.face));
    run.setGlyphIndexes({vg.glyph});
    switch (vg.mode) {
    case GlyphMode::Upright:
    case GlyphMode::UprightShift:
        run.setPositions({QPointF(cx + vg.dx, y + vg.dy)});
        painter->drawGlyphRun(QPointF(0, 0), run);
        break;
    case GlyphMode::Rotated:
        run.setPositions({QPointF(0, vg.dy)});
        painter->save();
        painter->translate(cx, y);
        painter->rotate(90);
        painter->drawGlyphRun(QPointF(0, 0), run);
        painter->restore();
        break;
    case GlyphMode::Fallback:
        painter->setFont(g.font());
        painter->drawText(QRectF(cx - g.pitch() / 2, y, g.pitch(), vg.advance), Qt::AlignCenter,
                          cluster.toString());
        break;
    }
}

void drawSideways(QPainter *painter, VerticalGlyphCache &g, std::span<const SidewaysGlyph> glyphs,
                  qreal cx, qreal y, const QColor &colour)
{
    if (glyphs.empty())
        return; // joined to the cluster before by a ligature
    QList<quint32> indexes;
    QList<QPointF> positions;
    for (const SidewaysGlyph &s : glyphs) {
        indexes << s.glyph;
        positions << QPointF(s.along, s.across);
    }
    QGlyphRun run;
    run.setRawFont(g.rawFont(glyphs.front().face));
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter->setPen(colour);
    painter->save();
    painter->translate(cx, y);
    painter->rotate(90);
    painter->drawGlyphRun(QPointF(0, 0), run);
    painter->restore();
}

void paintRuby(QPainter *painter, VerticalGlyphCache &g, const VerticalBlockLayout::Ruby &r,
               qreal cx, qreal offset, const QColor &colour)
{
    QList<QStringView> clusters;
    for (int i = 0; i < r.text.size();) {
        const int units = VerticalGlyphCache::clusterLength(r.text, i);
        clusters.append(QStringView(r.text).mid(i, units));
        i += units;
    }
    if (clusters.isEmpty())
        return;
    const qreal step = g.em();
    const qreal base = r.bottom - r.top;
    const qreal slot = qMax(step, base / clusters.size());
    qreal y = offset + (r.top + r.bottom) / 2 - slot * clusters.size() / 2 + (slot - step) / 2;
    for (QStringView cluster : clusters) {
        drawCell(painter, g, cluster, cx, y, colour);
        y += slot;
    }
}

} // namespace editor
