#pragma once
// How characters are set in a vertical column, one font at a time: each character (or
// cluster) shaped once with HarfBuzz, with the font's vertical forms where it has them.
//
// Characters take their orientation from Unicode's vertical orientation property: kanji
// and kana stand upright (U); small kana and 、。 (Tu) and brackets, ー and ～ (Tr) use the
// font's vertical glyphs through HarfBuzz's "vert"/"vrt2" features; Latin letters, digits
// and half-width katakana (R) are turned 90 degrees clockwise. A Tr character without a
// vertical glyph is turned too; a Tu character without one is moved towards the top right
// of its cell, where vertical typesetting puts it.

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace editor {

enum class GlyphMode : quint8 {
    Upright,      // drawn as is, centred in the column
    UprightShift, // upright, moved towards the top right (a Tu character without a vertical form)
    Rotated,      // turned 90 degrees clockwise
    Fallback,     // no font has a glyph: drawn upright by the painter's own font fallback
};

// How one character is set in a column, in pixels.
struct VerticalGlyph
{
    quint32 glyph = 0;
    GlyphMode mode = GlyphMode::Upright;
    float advance = 0; // along the column
    float dx = 0;      // from the column's centre to the glyph's drawing origin
    float dy = 0;      // from the top of the character's cell to the drawing origin
    quint8 face = 0;   // the font it comes from: 0 the chosen one, 1 the Japanese fallback
};

// A glyph of sideways text shaped a run at a time, as a row of horizontal text is.
struct SidewaysGlyph
{
    quint32 glyph = 0;
    int at = 0;       // the first unit of the cluster it is drawn with
    float along = 0;  // from the top of that cluster's cell down the column to its origin
    float across = 0; // its baseline, from the column's centre line, in the turned glyph's y
    quint8 face = 0;
};

// A full-width punctuation mark set at half its width, closed up against its neighbour:
// an opening bracket loses the room before it, anything else the room after it.
struct HalfCell
{
    int at = 0; // the mark's index in the text
    bool opening = false;
    bool operator==(const HalfCell &) const = default;
};

// Per-font metrics and glyph choices, each character shaped once. A character the chosen
// font lacks comes from a Japanese font that fontconfig finds for it (a mincho for a serif
// font, a gothic for a sans-serif one), with that font's vertical forms: a Latin-only font
// still writes 「」、。ー and small kana as vertical text does.
class VerticalGlyphCache
{
public:
    // Without vertical forms every character is set with its ordinary glyph, turned or moved
    // into place as for a font that has no vertical forms: what printing uses, so that a PDF
    // reader maps every glyph back to its character.
    explicit VerticalGlyphCache(const QFont &font, bool verticalForms = true);
    ~VerticalGlyphCache();
    VerticalGlyphCache(const VerticalGlyphCache &) = delete;
    VerticalGlyphCache &operator=(const VerticalGlyphCache &) = delete;

    const VerticalGlyph &glyph(char32_t c);
    // A character with the variation selectors and combining marks that follow it, set in
    // one cell: an ideographic variation sequence (葛󠄀) takes the font's variant glyph, a
    // kana with a combining sound mark the composed glyph; what no single glyph shows is
    // drawn by the painter (mode Fallback).
    const VerticalGlyph &cluster(QStringView text);
    // Whether a cluster is turned sideways, from the font its first character comes from:
    // the clusters a run of sideways text is made of.
    bool isSideways(QStringView cluster, quint8 *face);
    // Whether the font shapes a run of sideways text other than a character at a time;
    // where it does not, each cluster is set alone, as it shapes the same.
    bool shapesRuns(quint8 face);
    // Shapes text[from, to), clusters all turned sideways and from one font, in one call, as
    // the same words in a row of horizontal text: kerned (AV closes up), with ligatures and
    // with marks put on their bases. Sets each cluster's advance at its last unit in
    // `advance` (a ligature's shared evenly by the clusters it joins, so that the caret can
    // stand between them) and appends the glyphs. Without vertical forms (printing) no
    // ligature is formed: each character keeps a glyph a PDF reader maps back to it.
    void shapeSideways(QStringView text, int from, int to, quint8 face, std::vector<float> &advance,
                       std::vector<SidewaysGlyph> &glyphs);
    // The full-width punctuation of a line that closes up where marks meet, as CSS sets
    // vertical text: an opening bracket after a bracket, a middle dot or an ideographic
    // space (」「, 　「), and a closing bracket or 、。 before a closing bracket or a middle
    // dot (。」, 』、). Only where the mark's font has half-width forms for vertical text
    // (`vhal`, as Noto CJK has; IPA fonts have none). Units marked in `apart` (hidden
    // notation, upright runs) take no part. Without vertical forms (printing) the same marks
    // close up as on the screen.
    QList<HalfCell> closeUps(QStringView text, const std::vector<bool> &apart);
    // A mark's half-width form, shaped with `vhal`. Without vertical forms, the mark's own
    // glyph with the half-width form's advance: its ink lies in the half it keeps, but for
    // an opening bracket's, which lies in the lower half of its cell.
    const VerticalGlyph &halfWidth(char32_t c);
    // The length in UTF-16 units of the cluster that starts at `index`.
    static int clusterLength(QStringView text, int index);
    // A cluster's first character, the one its marks and selectors belong to (0 if empty).
    static char32_t baseOf(QStringView cluster);
    const QRawFont &rawFont(quint8 face = 0) const;
    const QFont &font() const { return m_font; }
    bool verticalForms() const { return m_verticalForms; }
    qreal pitch() const { return m_pitch; } // distance between columns
    qreal em() const { return m_em; }

    // The orientation class of a character: 'U', 'R', 'u' (Tu) or 'r' (Tr).
    static char orientationOf(char32_t c);

private:
    struct Face;
    VerticalGlyph shape(char32_t c);
    VerticalGlyph shapeCluster(QStringView text);
    VerticalGlyph shapeWith(Face &face, quint8 index, char32_t c);
    // Shapes one character down a column into the face's buffer, with its vertical forms
    // (if on) and, if asked, its half-width form; the number of glyphs.
    unsigned shapeDown(Face &face, char32_t c, bool halfWidth);
    // Where a character stands in its cell as its face sets it, for closing up: 'o'
    // opening, 'c' closing, 'm' middle, 'O' and 'C' narrow (proportional) brackets and
    // quotes, 0 nothing to close up (or a face without half-width forms).
    char sideOf(char32_t c, Face *face);
    bool halves(char32_t c);
    // A run of sideways text shaped alone: advances and glyphs indexed from its start.
    struct ShapedRun
    {
        std::vector<float> advance;
        std::vector<SidewaysGlyph> glyphs;
    };
    ShapedRun shapeRun(QStringView run, quint8 face);
    Face *fallback();
    Face *faceAt(quint8 index); // 0 the chosen font, 1 the Japanese fallback

    QFont m_font;
    bool m_verticalForms = true;
    qreal m_pitch = 0;
    qreal m_em = 0;
    std::unique_ptr<Face> m_primary;
    std::unique_ptr<Face> m_fallback; // made when first needed
    bool m_fallbackSought = false;
    std::vector<VerticalGlyph> m_bmp; // indexed by code point
    std::vector<bool> m_bmpKnown;
    QHash<char32_t, VerticalGlyph> m_astral;
    QHash<QString, VerticalGlyph> m_clusters;
    QHash<char32_t, VerticalGlyph> m_halves;
    // Without vertical forms, the same font with them: which marks close up, and how far.
    std::unique_ptr<VerticalGlyphCache> m_screen;
    VerticalGlyphCache &screen();
    // Runs shaped lately, by the face's number and the run's text; emptied when full.
    static constexpr qsizetype kRunsKept = 4096;
    QHash<QString, ShapedRun> m_runs;
};

} // namespace editor
