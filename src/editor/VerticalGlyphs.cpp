#include "editor/VerticalGlyphs.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cstring>

namespace editor {

// A font with its HarfBuzz face, for shaping one character at a time.
struct VerticalGlyphCache::Face
{
    QRawFont raw;
    hb_face_t *face = nullptr;
    hb_font_t *font = nullptr;
    hb_buffer_t *buffer = nullptr;
    unsigned upem = 1000;
    // Whether a run of horizontal text may come out other than its characters one by one:
    // the font kerns, forms ligatures or places marks.
    bool shapesRuns = false;
    // Half-width punctuation down a column, learnt when first asked: whether the font has
    // it (`vhal`), and where its comma and full stop, colon, semicolon and quotes stand in
    // their cells (as VerticalGlyphCache::sideOf says).
    bool punctuationKnown = false;
    bool halves = false;
    char dot = 0;
    char colon = 0;
    char semicolon = 0;
    bool fullWidthQuotes = false;
    void learnPunctuation();
    explicit Face(const QFont &qfont);
    ~Face()
    {
        if (buffer)
            hb_buffer_destroy(buffer);
        if (font)
            hb_font_destroy(font);
        if (face)
            hb_face_destroy(face);
    }
};

namespace {

hb_blob_t *tableOfRawFont(hb_face_t *, hb_tag_t tag, void *userData)
{
    const auto *raw = static_cast<const QRawFont *>(userData);
    const char name[4] = {char((tag >> 24) & 0xFF), char((tag >> 16) & 0xFF),
                          char((tag >> 8) & 0xFF), char(tag & 0xFF)};
    auto *data = new QByteArray(raw->fontTable(name));
    return hb_blob_create(data->constData(), unsigned(data->size()), HB_MEMORY_MODE_READONLY, data,
                          [](void *p) { delete static_cast<QByteArray *>(p); });
}

// The Japanese font fontconfig gives for the font's kind: a gothic for a sans-serif font, a
// mincho otherwise; empty when the machine has none.
QString japaneseFallbackFamily(const QFont &font)
{
    const QString name = QFontInfo(font).family().toLower();
    const bool sans = font.styleHint() == QFont::SansSerif || name.contains(u"sans") ||
                      name.contains(u"gothic") || name.contains(u"ゴシック");
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8 *>(sans ? "sans-serif" : "serif"));
    FcLangSet *japanese = FcLangSetCreate();
    FcLangSetAdd(japanese, reinterpret_cast<const FcChar8 *>("ja"));
    FcPatternAddLangSet(pattern, FC_LANG, japanese);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    QString family;
    FcChar8 *value = nullptr;
    FcLangSet *languages = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch &&
        FcPatternGetLangSet(match, FC_LANG, 0, &languages) == FcResultMatch &&
        FcLangSetHasLang(languages, reinterpret_cast<const FcChar8 *>("ja")) == FcLangEqual)
        family = QString::fromUtf8(reinterpret_cast<const char *>(value));
    if (match)
        FcPatternDestroy(match);
    FcLangSetDestroy(japanese);
    FcPatternDestroy(pattern);
    return family;
}

// Whether a font holds anything that shapes a run of horizontal text other than one
// character at a time: positioning (kerning, marks), a kerning or AAT table, or glyph
// substitutions beyond the vertical forms and the composition of marks within a cluster,
// which a cluster shaped alone gets too. Japanese fonts such as IPA Mincho have none.
// The feature tags a layout table (GSUB or GPOS) of a face lists.
std::vector<hb_tag_t> featureTags(hb_face_t *face, hb_tag_t table)
{
    unsigned count = hb_ot_layout_table_get_feature_tags(face, table, 0, nullptr, nullptr);
    std::vector<hb_tag_t> tags(count);
    hb_ot_layout_table_get_feature_tags(face, table, 0, &count, tags.data());
    tags.resize(count);
    return tags;
}

bool shapesRunsOf(hb_face_t *face, const QRawFont &raw)
{
    for (const char *table : {"kern", "morx", "kerx"})
        if (!raw.fontTable(table).isEmpty())
            return true;
    if (!featureTags(face, HB_OT_TAG_GPOS).empty())
        return true;
    const hb_tag_t alone[] = {HB_TAG('c', 'c', 'm', 'p'), HB_TAG('v', 'e', 'r', 't'),
                              HB_TAG('v', 'r', 't', '2'), HB_TAG('v', 'r', 't', 'r'),
                              HB_TAG('v', 'k', 'n', 'a'), HB_TAG('l', 'o', 'c', 'l')};
    const std::vector<hb_tag_t> tags = featureTags(face, HB_OT_TAG_GSUB);
    return std::any_of(tags.begin(), tags.end(), [&](hb_tag_t tag) {
        return std::find(std::begin(alone), std::end(alone), tag) == std::end(alone);
    });
}

bool isSmallPunctuation(char32_t c)
{
    return c == U'、' || c == U'。' || c == U'，' || c == U'．' || c == U'､' || c == U'｡';
}

bool hasFeature(hb_face_t *face, hb_tag_t feature)
{
    for (const hb_tag_t table : {HB_OT_TAG_GSUB, HB_OT_TAG_GPOS}) {
        const std::vector<hb_tag_t> tags = featureTags(face, table);
        if (std::find(tags.begin(), tags.end(), feature) != tags.end())
            return true;
    }
    return false;
}

// What closing up asks of a character before its font is known: 'o' and 'c' full-width
// opening and closing brackets, 'O' and 'C' narrow ones, 'm' a middle dot or an ideographic
// space, 'd' a comma or full stop, ':' and ';', 'q' and 'Q' opening and closing quotes; 0
// anything else.
char punctuationClass(char32_t c)
{
    switch (c) {
    case 0x2018:
    case 0x201C:
        return 'q';
    case 0x2019:
    case 0x201D:
        return 'Q';
    case 0x3000:
    case 0x00B7:
    case 0x2027:
    case 0x30FB:
        return 'm';
    case 0x3001:
    case 0x3002:
    case 0xFF0C:
    case 0xFF0E:
        return 'd';
    case 0xFF1A:
        return ':';
    case 0xFF1B:
        return ';';
    default:
        break;
    }
    const int type = u_charType(UChar32(c));
    if (type != U_START_PUNCTUATION && type != U_END_PUNCTUATION)
        return 0;
    const bool wide = (c >= 0x3000 && c <= 0x303F) ||
                      u_getIntPropertyValue(UChar32(c), UCHAR_EAST_ASIAN_WIDTH) == U_EA_FULLWIDTH;
    if (type == U_START_PUNCTUATION)
        return wide ? 'o' : 'O';
    return wide ? 'c' : 'C';
}

// Where a glyph stands in a cell `advance` high, from the top and bottom of its outline:
// in the upper half as a closing mark ('c'), in the lower half as an opening one ('o'),
// small and about the middle ('m'), or across the middle (0).
char sideInCell(float advance, float top, float bottom)
{
    const float half = advance / 2;
    if (bottom <= half)
        return 'c';
    if (top >= half)
        return 'o';
    if (bottom - top <= half && top >= half / 2)
        return 'm';
    return 0;
}

} // namespace

VerticalGlyphCache::Face::Face(const QFont &qfont) : raw(QRawFont::fromFont(qfont))
{
    if (!raw.isValid())
        return;
    face = hb_face_create_for_tables(tableOfRawFont, &raw, nullptr);
    upem = hb_face_get_upem(face);
    font = hb_font_create(face);
    hb_ot_font_set_funcs(font);
    hb_font_set_scale(font, int(upem), int(upem));
    buffer = hb_buffer_create();
    shapesRuns = shapesRunsOf(face, raw);
}

void VerticalGlyphCache::Face::learnPunctuation()
{
    punctuationKnown = true;
    if (!raw.isValid() || !hasFeature(face, HB_TAG('v', 'h', 'a', 'l')))
        return;
    // The marks whose side differs from font to font (a full stop in the corner for
    // Japanese, in the middle for Chinese), set down a column as text is.
    const char16_t marks[] = u"、。，．：；“‘”’";
    constexpr unsigned kMarks = 10;
    hb_buffer_clear_contents(buffer);
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t *>(marks), int(kMarks), 0,
                        int(kMarks));
    hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
    hb_buffer_set_script(buffer, HB_SCRIPT_HAN);
    hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
    hb_shape(font, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(buffer, &count);
    if (count != kMarks)
        return;
    for (unsigned k = 0; k < kMarks; ++k) {
        if (info[k].cluster != k)
            return; // a mark drawn with more than one glyph
    }
    // The side the marks [from, to) share, if they share their advance and their side.
    const auto sideOfMarks = [&](unsigned from, unsigned to) {
        char side = 0;
        float advance = -1;
        for (unsigned k = from; k < to; ++k) {
            if (info[k].codepoint == 0)
                continue;
            hb_glyph_extents_t e{};
            hb_font_get_glyph_extents(font, info[k].codepoint, &e);
            // From the top of the cell down to the outline's top and bottom.
            const float top = -float(pos[k].y_offset + e.y_bearing);
            const float bottom = top - float(e.height);
            const float a = -float(pos[k].y_advance);
            if (advance < 0) {
                advance = a;
                side = sideInCell(a, top, bottom);
            } else if (a != advance || sideInCell(advance, top, bottom) != side) {
                return char(0);
            }
        }
        return side;
    };
    halves = true;
    dot = sideOfMarks(0, 4);
    colon = sideOfMarks(4, 5);
    semicolon = sideOfMarks(5, 6);
    fullWidthQuotes = sideOfMarks(6, 8) == 'o' && sideOfMarks(8, 10) == 'c';
}

VerticalGlyphCache::VerticalGlyphCache(const QFont &font, bool verticalForms)
    : m_font(font), m_verticalForms(verticalForms), m_primary(std::make_unique<Face>(font)),
      m_bmp(0x10000), m_bmpKnown(0x10000, false)
{
    const QFontMetricsF fm(font);
    m_em = font.pixelSize() > 0 ? font.pixelSize() : fm.height();
    // Columns are as far apart as horizontal lines would be.
    m_pitch = qMax(m_em * 1.25, fm.lineSpacing());
}

const QRawFont &VerticalGlyphCache::rawFont(quint8 face) const
{
    return face == 1 && m_fallback ? m_fallback->raw : m_primary->raw;
}

VerticalGlyphCache::Face *VerticalGlyphCache::fallback()
{
    if (!m_fallbackSought) {
        m_fallbackSought = true;
        const QString family = japaneseFallbackFamily(m_font);
        if (!family.isEmpty() && family != m_primary->raw.familyName()) {
            QFont f(family);
            if (m_font.pixelSize() > 0)
                f.setPixelSize(m_font.pixelSize());
            else
                f.setPointSizeF(m_font.pointSizeF());
            m_fallback = std::make_unique<Face>(f);
            if (!m_fallback->raw.isValid())
                m_fallback.reset();
        }
    }
    return m_fallback.get();
}

VerticalGlyphCache::Face *VerticalGlyphCache::faceAt(quint8 index)
{
    return index == 1 ? fallback() : m_primary.get();
}

VerticalGlyphCache::~VerticalGlyphCache() = default;

char VerticalGlyphCache::orientationOf(char32_t c)
{
    // Unicode 17 moved the curly quotes from R to Tr, as Japanese fonts set them: their
    // vertical forms where the font has them, else turned. Older ICU still says R.
    if (c == 0x2018 || c == 0x2019 || c == 0x201C || c == 0x201D)
        return 'r';
    switch (u_getIntPropertyValue(UChar32(c), UCHAR_VERTICAL_ORIENTATION)) {
    case U_VO_UPRIGHT:
        return 'U';
    case U_VO_TRANSFORMED_UPRIGHT:
        return 'u';
    case U_VO_TRANSFORMED_ROTATED:
        return 'r';
    default:
        return 'R';
    }
}

namespace {

// Marks and selectors that belong to the character before them.
bool extendsCluster(char32_t c)
{
    if ((c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) || c == 0x200D)
        return true;
    const int type = u_charType(UChar32(c));
    return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK;
}

// The features that set characters down a column with or without their vertical forms,
// and with their half-width forms if asked. HarfBuzz turns vertical forms on for vertical
// text by itself, so off is said explicitly; and where it finds no `vert` to apply it puts
// the vertical presentation forms (U+FE10 and on) in the characters' place, where the font
// has them, as Noto CJK does: a PDF reader would read those back. Off, `vert` is therefore
// named once more, on, for no character at all.
struct VerticalFeatures
{
    VerticalFeatures(bool forms, bool halfWidth)
    {
        const unsigned on = forms ? 1 : 0;
        const unsigned all = HB_FEATURE_GLOBAL_END, none = all - 1;
        add(HB_TAG('v', 'e', 'r', 't'), on, 0, all);
        add(HB_TAG('v', 'r', 't', '2'), on, 0, all);
        add(HB_TAG('v', 'h', 'a', 'l'), halfWidth ? 1 : 0, 0, all);
        if (!forms)
            add(HB_TAG('v', 'e', 'r', 't'), 1, none, none);
    }
    void add(hb_tag_t tag, unsigned value, unsigned start, unsigned end)
    {
        list[count++] = {tag, value, start, end};
    }
    hb_feature_t list[4];
    unsigned count = 0;
};

bool isVariationSelector(char32_t c)
{
    return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

} // namespace

int VerticalGlyphCache::clusterLength(QStringView text, int index)
{
    const int n = int(text.size());
    const auto codePointAt = [&](int i, int *units) {
        char32_t c = text[i].unicode();
        *units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            *units = 2;
        }
        return c;
    };
    int units = 0;
    codePointAt(index, &units);
    int end = index + units;
    while (end < n && extendsCluster(codePointAt(end, &units)))
        end += units;
    return end - index;
}

char32_t VerticalGlyphCache::baseOf(QStringView cluster)
{
    if (cluster.isEmpty())
        return 0;
    if (cluster.size() > 1 && cluster[0].isHighSurrogate() && cluster[1].isLowSurrogate())
        return QChar::surrogateToUcs4(cluster[0], cluster[1]);
    return cluster[0].unicode();
}

const VerticalGlyph &VerticalGlyphCache::cluster(QStringView text)
{
    const int units = text.size() == 2 && text[0].isHighSurrogate() ? 2 : 1;
    if (text.size() <= units)
        return glyph(baseOf(text));
    const QString key = text.toString();
    auto it = m_clusters.find(key);
    if (it == m_clusters.end())
        it = m_clusters.insert(key, shapeCluster(text));
    return *it;
}

VerticalGlyph VerticalGlyphCache::shapeCluster(QStringView text)
{
    const QList<uint> points = text.toUcs4();
    const char32_t base = points.value(0);
    VerticalGlyph g = glyph(base); // the base's font, orientation and cell
    const bool onlySelectors = std::all_of(points.begin() + 1, points.end(),
                                           [](uint c) { return isVariationSelector(c); });
    Face *face = faceAt(g.face);
    if (g.mode == GlyphMode::Fallback || !face || !face->raw.isValid())
        return g;
    const bool sideways = g.mode == GlyphMode::Rotated;
    hb_buffer_clear_contents(face->buffer);
    hb_buffer_add_utf16(face->buffer, reinterpret_cast<const uint16_t *>(text.utf16()),
                        int(text.size()), 0, int(text.size()));
    hb_buffer_set_direction(face->buffer, sideways ? HB_DIRECTION_LTR : HB_DIRECTION_TTB);
    hb_buffer_guess_segment_properties(face->buffer);
    hb_buffer_set_language(face->buffer, hb_language_from_string("ja", -1));
    const VerticalFeatures features(m_verticalForms && !sideways, false);
    hb_shape(face->font, face->buffer, features.list, features.count);
    unsigned count = 0;
    const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(face->buffer, &count);
    // One glyph (a composed kana, a variant), or a base whose selectors the font ignores:
    // that glyph in the base's place. Anything else is left to the painter.
    if (count == 0 || info[0].codepoint == 0 || (count > 1 && !onlySelectors)) {
        g.mode = GlyphMode::Fallback;
        return g;
    }
    g.glyph = info[0].codepoint;
    return g;
}

bool VerticalGlyphCache::shapesRuns(quint8 index)
{
    const Face *face = faceAt(index);
    return face && face->shapesRuns;
}

bool VerticalGlyphCache::isSideways(QStringView cluster, quint8 *face)
{
    if (cluster.isEmpty())
        return false;
    const VerticalGlyph &g = glyph(baseOf(cluster));
    *face = g.face;
    return g.mode == GlyphMode::Rotated;
}

void VerticalGlyphCache::shapeSideways(QStringView text, int from, int to, quint8 index,
                                       std::vector<float> &advance,
                                       std::vector<SidewaysGlyph> &glyphs)
{
    if (to <= from)
        return;
    // A line is laid out again at every key typed into it, and words recur: runs are
    // shaped once, each on its own (the Japanese around a run does not change its shape).
    const QStringView run = text.mid(from, to - from);
    QString key = run.toString();
    key.prepend(QChar(u'0' + index));
    auto it = m_runs.constFind(key);
    if (it == m_runs.cend()) {
        if (m_runs.size() >= kRunsKept)
            m_runs.clear();
        it = m_runs.insert(key, shapeRun(run, index));
    }
    std::copy(it->advance.begin(), it->advance.end(), advance.begin() + from);
    for (SidewaysGlyph g : it->glyphs) {
        g.at += from;
        glyphs.push_back(g);
    }
}

VerticalGlyphCache::ShapedRun VerticalGlyphCache::shapeRun(QStringView run, quint8 index)
{
    ShapedRun shaped;
    const int n = int(run.size());
    shaped.advance.assign(size_t(n), 0.f);
    Face *face = faceAt(index);
    if (!face || !face->raw.isValid())
        return shaped;
    hb_buffer_clear_contents(face->buffer);
    hb_buffer_add_utf16(face->buffer, reinterpret_cast<const uint16_t *>(run.utf16()), n, 0, n);
    hb_buffer_set_direction(face->buffer, HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(face->buffer);
    const uint32_t ligatures = m_verticalForms ? 1 : 0;
    const hb_feature_t features[] = {{HB_TAG('l', 'i', 'g', 'a'), ligatures, 0, unsigned(-1)},
                                     {HB_TAG('c', 'l', 'i', 'g'), ligatures, 0, unsigned(-1)}};
    hb_shape(face->font, face->buffer, features, 2);
    unsigned count = 0;
    const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(face->buffer, &count);
    const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(face->buffer, &count);
    const float scale = float(m_em) / float(face->upem);
    // Turned clockwise, the baseline runs down the column and the text's middle lies on
    // the column's centre line.
    const float baseline = float((face->raw.ascent() - face->raw.descent()) / 2);
    // The clusters [start, end) share `width`: each gets its part at its last unit.
    const auto share = [&](int start, int end, float width) {
        int clusters = 0;
        for (int i = start; i < end; i += clusterLength(run, i))
            ++clusters;
        for (int i = start; i < end;) {
            const int units = clusterLength(run, i);
            shaped.advance[size_t(qMin(i + units, end) - 1)] = width / float(qMax(1, clusters));
            i += units;
        }
    };
    int start = 0;
    float pen = 0; // from the start of the cluster `start`
    for (unsigned k = 0; k < count; ++k) {
        const int at = int(info[k].cluster);
        if (at != start) {
            share(start, at, pen);
            start = at;
            pen = 0;
        }
        shaped.glyphs.push_back({info[k].codepoint, at, pen + float(pos[k].x_offset) * scale,
                                 baseline - float(pos[k].y_offset) * scale, index});
        pen += float(pos[k].x_advance) * scale;
    }
    share(start, n, pen);
    return shaped;
}

const VerticalGlyph &VerticalGlyphCache::glyph(char32_t c)
{
    if (c < 0x10000) {
        if (!m_bmpKnown[c]) {
            m_bmp[c] = shape(c);
            m_bmpKnown[c] = true;
        }
        return m_bmp[c];
    }
    auto it = m_astral.find(c);
    if (it == m_astral.end())
        it = m_astral.insert(c, shape(c));
    return *it;
}

VerticalGlyph VerticalGlyphCache::shape(char32_t c)
{
    VerticalGlyph g = shapeWith(*m_primary, 0, c);
    if (g.mode == GlyphMode::Fallback && c >= 0x20 && c != 0x7F) {
        if (Face *japanese = fallback()) {
            const VerticalGlyph other = shapeWith(*japanese, 1, c);
            if (other.mode != GlyphMode::Fallback)
                return other;
        }
    }
    return g;
}

VerticalGlyph VerticalGlyphCache::shapeWith(Face &face, quint8 index, char32_t c)
{
    VerticalGlyph g;
    g.face = index;
    const float em = float(m_em);
    if (c == U'\t') {
        g.mode = GlyphMode::Fallback;
        g.advance = 2 * em;
        return g;
    }
    if (c < 0x20 || c == 0x7F) {
        g.mode = GlyphMode::Fallback;
        g.advance = em / 2;
        return g;
    }
    const QString s = QString::fromUcs4(&c, 1);
    const QList<quint32> plain =
        face.raw.isValid() ? face.raw.glyphIndexesForString(s) : QList<quint32>{};
    const quint32 horizontal = plain.isEmpty() ? 0 : plain.constFirst();
    const char orientation = orientationOf(c);
    if (!face.raw.isValid() || horizontal == 0) {
        // Not in the primary font: the painter finds a font that has it.
        g.mode = GlyphMode::Fallback;
        const QFontMetricsF fm(m_font);
        g.advance = orientation == 'R' ? float(fm.horizontalAdvance(s)) : em;
        return g;
    }
    const float scale = em / float(face.upem);
    if (orientation == 'R') {
        const QList<QPointF> adv = face.raw.advancesForGlyphIndexes(plain);
        g.glyph = horizontal;
        g.mode = GlyphMode::Rotated;
        g.advance = adv.isEmpty() ? em / 2 : float(adv.constFirst().x());
        // Turned clockwise, the baseline runs down the column and the text's middle
        // lies on the column's centre line.
        g.dx = 0;
        g.dy = float((face.raw.ascent() - face.raw.descent()) / 2);
        return g;
    }
    unsigned count = shapeDown(face, c, false);
    const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(face.buffer, &count);
    const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(face.buffer, &count);
    if (count == 0) {
        g.mode = GlyphMode::Fallback;
        g.advance = em;
        return g;
    }
    const bool hasVerticalForm = info[0].codepoint != horizontal;
    if (orientation == 'r' && !hasVerticalForm) {
        // A bracket or dash the font has no vertical form of: turn it like Latin text.
        const QList<QPointF> adv = face.raw.advancesForGlyphIndexes(plain);
        g.glyph = horizontal;
        g.mode = GlyphMode::Rotated;
        g.advance = adv.isEmpty() ? em : float(adv.constFirst().x());
        g.dy = float((face.raw.ascent() - face.raw.descent()) / 2);
        return g;
    }
    g.glyph = info[0].codepoint;
    g.advance = float(-pos[0].y_advance) * scale;
    if (g.advance <= 0)
        g.advance = em;
    // HarfBuzz's offsets lead from the vertical origin (top centre of the cell, y up) to
    // the glyph's drawing origin; screen y runs down.
    g.dx = float(pos[0].x_offset) * scale;
    g.dy = -float(pos[0].y_offset) * scale;
    g.mode = GlyphMode::Upright;
    if (orientation == 'u' && !hasVerticalForm) {
        // 、。 and small kana without vertical forms sit in the top right of the cell.
        g.mode = GlyphMode::UprightShift;
        const float shift = isSmallPunctuation(c) ? 0.6f * em : 0.12f * em;
        g.dx += shift;
        g.dy -= shift;
    }
    return g;
}

unsigned VerticalGlyphCache::shapeDown(Face &face, char32_t c, bool halfWidth)
{
    hb_buffer_clear_contents(face.buffer);
    hb_buffer_add_utf32(face.buffer, reinterpret_cast<const uint32_t *>(&c), 1, 0, 1);
    hb_buffer_set_direction(face.buffer, HB_DIRECTION_TTB);
    hb_buffer_set_script(face.buffer, HB_SCRIPT_HAN);
    hb_buffer_set_language(face.buffer, hb_language_from_string("ja", -1));
    const VerticalFeatures features(m_verticalForms, halfWidth);
    hb_shape(face.font, face.buffer, features.list, features.count);
    return hb_buffer_get_length(face.buffer);
}

char VerticalGlyphCache::sideOf(char32_t c, Face *face)
{
    const char kind = punctuationClass(c);
    if (!kind || !face)
        return 0;
    if (!face->punctuationKnown)
        face->learnPunctuation();
    if (!face->halves)
        return 0;
    switch (kind) {
    case 'd':
        return face->dot;
    case ':':
        return face->colon;
    case ';':
        return face->semicolon;
    case 'q':
        return face->fullWidthQuotes ? 'o' : 'O';
    case 'Q':
        return face->fullWidthQuotes ? 'c' : 'C';
    default:
        return kind;
    }
}

const VerticalGlyph &VerticalGlyphCache::halfWidth(char32_t c)
{
    auto it = m_halves.constFind(c);
    if (it != m_halves.cend())
        return *it;
    VerticalGlyph g = glyph(c);
    Face *face = faceAt(g.face);
    if (!m_verticalForms) {
        g.advance = screen().halfWidth(c).advance;
    } else if (face && face->raw.isValid() && g.mode != GlyphMode::Rotated &&
               g.mode != GlyphMode::Fallback && shapeDown(*face, c, true) == 1) {
        unsigned count = 0;
        const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(face->buffer, &count);
        const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(face->buffer, &count);
        const float scale = float(m_em) / float(face->upem);
        g.glyph = info[0].codepoint;
        g.advance = float(-pos[0].y_advance) * scale;
        g.dx = float(pos[0].x_offset) * scale;
        g.dy = -float(pos[0].y_offset) * scale;
        g.mode = GlyphMode::Upright;
    }
    return *m_halves.insert(c, g);
}

VerticalGlyphCache &VerticalGlyphCache::screen()
{
    if (!m_screen)
        m_screen = std::make_unique<VerticalGlyphCache>(m_font, true);
    return *m_screen;
}

bool VerticalGlyphCache::halves(char32_t c)
{
    const VerticalGlyph &full = glyph(c);
    return full.mode != GlyphMode::Rotated && full.mode != GlyphMode::Fallback &&
           halfWidth(c).advance < full.advance - 0.01f;
}

QList<HalfCell> VerticalGlyphCache::closeUps(QStringView text, const std::vector<bool> &apart)
{
    QList<HalfCell> cells;
    const auto mayClose = [](QChar u) {
        return (u >= QChar(0x2018) && u <= QChar(0x301F)) ||
               (u >= QChar(0xFF08) && u <= QChar(0xFF60));
    };
    if (std::none_of(text.begin(), text.end(), mayClose))
        return cells;
    if (!m_verticalForms)
        return screen().closeUps(text, apart);
    // The line's characters are set already, so any fallback face they need is made.
    const auto halvesAny = [](Face *face) {
        if (face && !face->punctuationKnown)
            face->learnPunctuation();
        return face && face->halves;
    };
    if (!halvesAny(m_primary.get()) && !halvesAny(m_fallback.get()))
        return cells;
    const auto faceOf = [this](char32_t c) { return faceAt(glyph(c).face); };
    int before = -1; // the cluster before, if it takes part
    char32_t previous = 0;
    for (int i = 0; i < int(text.size());) {
        const int units = clusterLength(text, i);
        const char32_t c = text[i].unicode();
        const bool takesPart = units == 1 && (apart.empty() || !apart[size_t(i)]);
        if (takesPart && before >= 0) {
            // Each side is asked of the font of the mark that would close up.
            Face *previousFace = faceOf(previous);
            Face *face = faceOf(c);
            const auto among = [](char side, const char *sides) {
                return side != 0 && std::strchr(sides, side) != nullptr;
            };
            if (sideOf(previous, previousFace) == 'c' && among(sideOf(c, previousFace), "cmC") &&
                halves(previous))
                cells.append({before, false});
            else if (sideOf(c, face) == 'o' && among(sideOf(previous, face), "omcO") && halves(c))
                cells.append({i, true});
        }
        before = takesPart ? i : -1;
        previous = c;
        i += units;
    }
    return cells;
}

} // namespace editor
