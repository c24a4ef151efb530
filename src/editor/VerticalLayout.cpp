#include "editor/VerticalLayout.h"
#include "editor/VerticalBreaks.h"
#include "editor/VerticalPainting.h"
#include "text/KanaForms.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextDocument>
#include <QTextLayout>

#include <span>

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>

namespace editor {

// --- block layouts ----------------------------------------------------------------------

int VerticalBlockLayout::columnOfIndex(int index) const
{
    int lo = 0;
    int hi = int(columns.size()) - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (columns[mid].start <= index)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

struct VerticalLayout::BlockCache : QTextBlockUserData
{
    int generation = 0; // 0: the block changed since it was laid out
    QString preedit;
    int preeditPosition = -1;
    VerticalBlockLayout layout;
};

namespace {
// Ruby is set at half the text's size, and columns with ruby leave this much room between
// them (in em).
constexpr qreal kRubyScale = 0.5;
constexpr qreal kRubyPitch = 1.75;
// A note's numbers, at half the text's size, one below the other.
constexpr qreal kNoteScale = 0.5;
constexpr qreal kNoteStep = 0.6;
constexpr int kNoteLines = 5;

bool hangs(QChar c)
{
    return c == u'、' || c == u'。' || c == u'，' || c == u'．';
}

// The script of a cluster's first character; marks and selectors count as common.
UScriptCode scriptOf(QStringView cluster)
{
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode script =
        uscript_getScript(UChar32(VerticalGlyphCache::baseOf(cluster)), &status);
    return U_FAILURE(status) || script == USCRIPT_INHERITED ? USCRIPT_COMMON : script;
}
} // namespace

VerticalLayout::VerticalLayout(QTextDocument *document)
    : m_document(document), m_glyphs(std::make_unique<VerticalGlyphCache>(document->defaultFont())),
      m_kept([document](int number) {
          if (QTextBlock b = document->findBlockByNumber(number); b.userData())
              b.setUserData(nullptr); // deleted, and made again when next needed
      })
{
    invalidate();
}

VerticalLayout::~VerticalLayout() = default;

void VerticalLayout::setFont(const QFont &font, bool verticalForms)
{
    m_glyphs = std::make_unique<VerticalGlyphCache>(font, verticalForms);
    m_rubyGlyphs.reset();
    m_rubySeen = false;
    invalidate();
}

const QFont &VerticalLayout::font() const
{
    return m_glyphs->font();
}

qreal VerticalLayout::pitch() const
{
    return m_rubySeen ? qMax(m_glyphs->pitch(), m_glyphs->em() * kRubyPitch) : m_glyphs->pitch();
}

void VerticalLayout::setTypesetting(const Typesetting &typesetting)
{
    if (typesetting == m_typesetting)
        return;
    m_typesetting = typesetting;
    m_rubySeen = false;
    invalidate();
}

bool VerticalLayout::showsNotation(const QTextBlock &block) const
{
    return !m_typesetting.ruby || (m_caretBlock && m_caretBlock() == block);
}

void VerticalLayout::caretLineChanged(const QTextBlock &from, const QTextBlock &to)
{
    if (!m_typesetting.ruby || from == to)
        return;
    for (const QTextBlock &b : {from, to}) {
        if (b.isValid() && text::mayHoldRuby(b.text()))
            documentChanged(b.position(), 0, 0);
    }
}

qreal VerticalLayout::noteRoom() const
{
    return m_glyphs->em() * (kNoteStep * kNoteLines + 0.4);
}

qreal VerticalLayout::em() const
{
    return m_glyphs->em();
}

VerticalGlyphCache &VerticalLayout::glyphs()
{
    return *m_glyphs;
}

void VerticalLayout::setColumnHeight(qreal height)
{
    height = qMax(height, m_glyphs->em());
    if (qFuzzyCompare(height, m_columnHeight))
        return;
    m_columnHeight = height;
    if (m_wrap)
        invalidate();
}

void VerticalLayout::setWordWrap(bool wrap)
{
    if (wrap == m_wrap)
        return;
    m_wrap = wrap;
    invalidate();
}

void VerticalLayout::invalidate()
{
    // Generations are unique across layouts: a print layout of the same document keeps
    // its block caches apart from the view's.
    static int generations = 1;
    m_generation = ++generations;
    m_indexValid = false;
}

VerticalLayout::BlockCache *VerticalLayout::cacheOf(const QTextBlock &block)
{
    auto *cache = static_cast<BlockCache *>(block.userData());
    if (!cache) {
        cache = new BlockCache;
        const_cast<QTextBlock &>(block).setUserData(cache);
    }
    const QTextLayout *tl = composingLayout(block);
    const QString preedit = tl ? tl->preeditAreaText() : QString();
    const int preeditPosition = preedit.isEmpty() ? -1 : tl->preeditAreaPosition();
    const bool notationShown = showsNotation(block);
    if (cache->generation != m_generation || cache->preedit != preedit ||
        cache->preeditPosition != preeditPosition || cache->layout.notationShown != notationShown) {
        cache->preedit = preedit;
        cache->preeditPosition = preeditPosition;
        cache->generation = m_generation;
        layoutText(block.text(), preeditPosition, preedit, notationShown, cache->layout);
        m_kept.note(block.blockNumber());
    }
    return cache;
}

void VerticalLayout::layoutText(const QString &text, int preeditPosition, const QString &preedit,
                                bool notationShown, VerticalBlockLayout &l)
{
    l.text = text;
    l.preeditPosition = preeditPosition;
    l.preeditLength = int(preedit.size());
    l.notationShown = notationShown;
    l.rubies.clear();
    l.hidden.clear();
    l.upright.clear();
    if (l.preeditPosition >= 0)
        l.text.insert(qBound(0, l.preeditPosition, int(l.text.size())), preedit);
    const int n = int(l.text.size());
    const float em = float(m_glyphs->em());
    // The ruby notation that is not drawn, and the tate-chū-yoko runs.
    if (!notationShown && l.preeditPosition < 0 && text::mayHoldRuby(l.text)) {
        for (const text::RubyPiece &p : text::parseRuby(l.text)) {
            if (!p.hasRuby())
                continue;
            const int end = int(p.start + p.text.size());
            l.rubies.append({int(p.start), end, p.ruby});
            if (p.barLength)
                l.hidden.append({p.notationStart(), p.barLength});
            l.hidden.append({end, p.end - end});
        }
        m_rubySeen = m_rubySeen || !l.rubies.isEmpty();
    }
    auto isHidden = [&l](qsizetype from, qsizetype to) {
        for (const text::Span &h : l.hidden)
            if (from < h.start + h.length && h.start < to)
                return true;
        return false;
    };
    if (m_typesetting.uprightLength > 0) {
        for (const text::Span &run : text::tateChuYokoRuns(l.text, m_typesetting.uprightLength))
            if (!isHidden(run.start, run.start + run.length))
                l.upright.append(run);
    }
    // Units set apart from the run of text around them: hidden notation and upright runs.
    std::vector<bool> apart;
    if (!l.hidden.isEmpty() || !l.upright.isEmpty()) {
        apart.assign(size_t(n), false);
        for (const QList<text::Span> *spans : {&l.hidden, &l.upright})
            for (const text::Span &sp : *spans)
                std::fill_n(apart.begin() + sp.start, sp.length, true);
    }

    // Each cluster (a character with its selectors and marks) takes one cell: its advance
    // stands at the cluster's last unit, so that every unit of it has the cell's top.
    // `lead` is room left before a unit. Sideways text is shaped a run at a time; anything
    // else a cluster at a time.
    std::vector<float> advance(size_t(n) + 1, 0.f);
    std::vector<float> lead(size_t(n) + 1, 0.f);
    std::vector<bool> insideCluster(size_t(n) + 1, false);
    l.sideways.clear();
    l.sidewaysRuns.clear();
    int runStart = -1;
    quint8 runFace = 0;
    UScriptCode runScript = USCRIPT_COMMON;
    bool runMarked = false; // a cluster of the run holds marks or selectors
    // A run is shaped as one where that may set it otherwise than a cluster at a time.
    const auto endRun = [&](int end) {
        if (runStart >= 0 && end - runStart > 1 && (runMarked || m_glyphs->shapesRuns(runFace))) {
            m_glyphs->shapeSideways(l.text, runStart, end, runFace, advance, l.sideways);
            l.sidewaysRuns.append({runStart, end - runStart});
        }
        runStart = -1;
        runMarked = false;
    };
    for (int i = 0; i < n;) {
        const int units = VerticalGlyphCache::clusterLength(l.text, i);
        const QStringView cluster = QStringView(l.text).mid(i, units);
        advance[size_t(i + units - 1)] = m_glyphs->cluster(cluster).advance;
        for (int k = 1; k < units; ++k)
            insideCluster[size_t(i + k)] = true;
        quint8 face = 0;
        const bool sideways =
            (apart.empty() || !apart[size_t(i)]) && m_glyphs->isSideways(cluster, &face);
        const UScriptCode script = sideways ? scriptOf(cluster) : USCRIPT_COMMON;
        // A run is one font and one script (spaces and punctuation join any).
        const bool joins =
            sideways && runStart >= 0 && face == runFace &&
            (script == USCRIPT_COMMON || runScript == USCRIPT_COMMON || script == runScript);
        if (!joins) {
            endRun(i);
            if (sideways) {
                runStart = i;
                runFace = face;
                runScript = USCRIPT_COMMON;
            }
        }
        if (sideways && script != USCRIPT_COMMON)
            runScript = script;
        if (sideways && units > 1 && !(units == 2 && cluster[0].isHighSurrogate()))
            runMarked = true;
        i += units;
    }
    endRun(n);
    l.halves = m_glyphs->closeUps(l.text, apart);
    for (const HalfCell &h : std::as_const(l.halves))
        advance[size_t(h.at)] = m_glyphs->halfWidth(l.text[h.at].unicode()).advance;
    // The notation takes no room. A ruby longer than its base may stand over a kana beside
    // it by up to one of its own characters on either side; beyond that it spreads the base
    // apart (kanji beside it are never overhung).
    // The character beside [i, ...) in the direction of `step`, past hidden notation.
    const auto kanaBeside = [&](int i, int step) {
        const auto hidden = [&](int k) {
            return std::any_of(l.hidden.begin(), l.hidden.end(), [k](const text::Span &h) {
                return k >= h.start && k < h.start + h.length;
            });
        };
        while (i >= 0 && i < n && hidden(i))
            i += step;
        return i >= 0 && i < n && (apart.empty() || !apart[size_t(i)]) &&
               text::isKanaOnly(QStringView(l.text).sliced(i, 1));
    };
    const float rubyEm = em * float(kRubyScale);
    // How far a ruby reaches before its base, and over the kana after it.
    std::vector<float> rubyBefore, rubyOver;
    for (const VerticalBlockLayout::Ruby &r : std::as_const(l.rubies)) {
        float base = 0;
        for (int i = r.start; i < r.end; ++i)
            base += advance[size_t(i)];
        const float ruby = float(r.text.size()) * rubyEm;
        if (ruby > base) {
            if (rubyBefore.empty()) {
                rubyBefore.assign(size_t(n) + 1, 0.f);
                rubyOver.assign(size_t(n) + 1, 0.f);
            }
            const float half = (ruby - base) / 2;
            const float overBefore = kanaBeside(r.start - 1, -1) ? std::min(half, rubyEm) : 0;
            const float overAfter = kanaBeside(r.end, 1) ? std::min(half, rubyEm) : 0;
            lead[size_t(r.start)] += half - overBefore;
            lead[size_t(r.end)] += half - overAfter;
            rubyBefore[size_t(r.start)] = half;
            rubyOver[size_t(r.end)] = overAfter;
        }
    }
    for (const text::Span &h : l.hidden) {
        for (qsizetype i = h.start; i < h.start + h.length; ++i)
            advance[size_t(i)] = 0;
    }
    // A tate-chū-yoko run stands in one cell, an em high, shared by its characters for the
    // caret.
    for (const text::Span &run : std::as_const(l.upright)) {
        for (qsizetype i = run.start; i < run.start + run.length; ++i)
            advance[size_t(i)] = em / float(run.length);
    }
    l.y.assign(size_t(n) + 1, 0.f);
    float y = 0;
    for (int i = 0; i < n; ++i) {
        y += lead[size_t(i)];
        l.y[size_t(i)] = y;
        y += advance[size_t(i)];
    }
    y += lead[size_t(n)];
    l.y[size_t(n)] = y;
    for (VerticalBlockLayout::Ruby &r : l.rubies) {
        r.top = l.y[size_t(r.start)];
        r.bottom = l.y[size_t(r.end) - 1] + advance[size_t(r.end) - 1];
    }

    // A ruby base that starts a column keeps what its ruby reaches before it inside the
    // column, so that the ruby starts at the column's head instead of above it; a base that
    // ends a column keeps what its ruby would stand over the next kana inside it.
    // (Past the notation that takes no room: ｜ before a base, 《…》 after it.)
    const auto headOf = [&](int at) {
        for (int k = at; !rubyBefore.empty() && k < n; ++k) {
            if (rubyBefore[size_t(k)] > 0)
                return std::max(0.f, rubyBefore[size_t(k)] - (l.y[size_t(k)] - l.y[size_t(at)]));
            if (advance[size_t(k)] > 0)
                break;
        }
        return 0.f;
    };
    const auto footOf = [&](int end) {
        for (int k = end; !rubyOver.empty() && k > 0; --k) {
            if (rubyOver[size_t(k)] > 0)
                return rubyOver[size_t(k)];
            if (advance[size_t(k) - 1] > 0)
                break;
        }
        return 0.f;
    };
    l.columns.clear();
    const float height = float(m_columnHeight);
    if (!m_wrap || y + headOf(0) <= height || n == 0) {
        l.columns.append({0, n, headOf(0)});
        return;
    }
    const char16_t *u = reinterpret_cast<const char16_t *>(l.text.utf16());
    icu::BreakIterator *breaks = japaneseLineBreaks();
    QString quotesCopy;
    const QString &breakText = quotesForBreaking(l.text, quotesCopy);
    icu::UnicodeString utext(false, reinterpret_cast<const UChar *>(breakText.utf16()), n);
    if (breaks)
        breaks->setText(utext);
    // An opening bracket that starts a column keeps the room before it: what it closed up
    // against ends the column before.
    const auto startColumn = [&](int at) {
        const auto h = std::find(l.halves.begin(), l.halves.end(), HalfCell{at, true});
        if (h == l.halves.end())
            return;
        l.halves.erase(h);
        const float room = m_glyphs->glyph(l.text[at].unicode()).advance - advance[size_t(at)];
        for (size_t k = size_t(at) + 1; k <= size_t(n); ++k)
            l.y[k] += room;
        for (VerticalBlockLayout::Ruby &r : l.rubies) {
            r.top += r.start > at ? room : 0;
            r.bottom += r.end > at ? room : 0;
        }
    };
    int start = 0;
    while (start < n) {
        // The furthest end that still fits the column.
        int end = start;
        const float head = headOf(start);
        while (end < n &&
               l.y[size_t(end) + 1] + footOf(end + 1) - l.y[size_t(start)] + head <= height)
            ++end;
        while (end < n && end > start && insideCluster[size_t(end)])
            --end; // never split a cluster (nor a surrogate pair)
        if (end >= n) {
            l.columns.append({start, n - start, head});
            break;
        }
        if (m_typesetting.hanging && end > start && hangs(l.text[end])) {
            // The mark would start the next column: it hangs below this one's end.
            ++end;
            if (end >= n) {
                l.columns.append({start, n - start, head});
                break;
            }
            l.columns.append({start, end - start, head});
            start = end;
            startColumn(start);
            continue;
        }
        int cut = end;
        if (breaks) {
            const int b = breaks->preceding(end + 1);
            if (b > start && b != icu::BreakIterator::DONE)
                cut = b;
        }
        if (cut <= start) // one character taller than the column
            cut = start + (QChar::isHighSurrogate(u[start]) && start + 1 < n ? 2 : 1);
        l.columns.append({start, cut - start, head});
        start = cut;
        startColumn(start);
    }
}

const VerticalBlockLayout &VerticalLayout::blockLayout(const QTextBlock &block)
{
    return cacheOf(block)->layout;
}

const QTextLayout *VerticalLayout::composingLayout(const QTextBlock &block) const
{
    // Asking any other block for its layout would make one for every line of the text.
    return m_caretBlock && m_caretBlock() == block ? block.layout() : nullptr;
}

int VerticalLayout::blockColumnCount(const QTextBlock &block)
{
    if (!m_wrap)
        return 1;
    // A laid-out block knows; a line shorter than a column, the common case, is one column
    // without a layout kept for it (only those near the screen get one, when painted).
    const auto *cache = static_cast<const BlockCache *>(block.userData());
    const QTextLayout *tl = composingLayout(block);
    const bool composing = tl && !tl->preeditAreaText().isEmpty();
    if (!composing && (!cache || cache->generation != m_generation)) {
        const QString text = block.text();
        const qsizetype n = text.size();
        const float height = float(m_columnHeight);
        float y = 0;
        qsizetype i = 0;
        // (A digit or letter that may stand upright alone takes a whole em then: counted so
        // here, the estimate is never shorter than the layout.)
        const bool upright = m_typesetting.uprightLength > 0;
        const float em = float(m_glyphs->em());
        while (i < n && y <= height) {
            const int units = VerticalGlyphCache::clusterLength(text, int(i));
            const float advance = m_glyphs->cluster(QStringView(text).mid(i, units)).advance;
            y += upright && text[i].unicode() < 0x80 && text[i].isLetterOrNumber()
                     ? qMax(advance, em)
                     : advance;
            i += units;
        }
        if (i >= n && y <= height)
            return 1;
        // Laid out to be counted, not kept: only what is painted or asked about keeps a
        // layout.
        static VerticalBlockLayout scratch;
        layoutText(text, -1, QString(), showsNotation(block), scratch);
        return int(scratch.columns.size());
    }
    return int(cacheOf(block)->layout.columns.size());
}

void VerticalLayout::rebuildIndex()
{
    // Every line counts one column until it is counted: lines are counted from the first on,
    // as far as a question needs and, in a shown view, a slice at a time while it is idle.
    m_columns.assign(std::vector<int>(size_t(m_document->blockCount()), 1));
    m_counted = 0;
    m_indexValid = true;
}

void VerticalLayout::ensureIndex()
{
    if (!m_indexValid)
        rebuildIndex();
}

void VerticalLayout::countThrough(int block)
{
    ensureIndex();
    if (!m_wrap || block < m_counted)
        return;
    for (QTextBlock b = m_document->findBlockByNumber(m_counted); b.isValid() && m_counted <= block;
         b = b.next(), ++m_counted)
        m_columns.setRows(m_counted, blockColumnCount(b));
}

void VerticalLayout::countToColumn(int column)
{
    ensureIndex();
    if (!m_wrap)
        return;
    int row = m_columns.firstRow(m_counted);
    for (QTextBlock b = m_document->findBlockByNumber(m_counted); b.isValid() && row <= column;
         b = b.next(), ++m_counted) {
        const int count = blockColumnCount(b);
        m_columns.setRows(m_counted, count);
        row += count;
    }
}

bool VerticalLayout::countMore(int blocks)
{
    countThrough(m_counted + blocks - 1);
    return isCounted();
}

bool VerticalLayout::isCounted() const
{
    return !m_wrap || (m_indexValid && m_counted >= m_columns.blockCount());
}

int VerticalLayout::knownColumnCount()
{
    if (!m_wrap)
        return m_document->blockCount();
    ensureIndex();
    return m_columns.rowCount();
}

void VerticalLayout::documentChanged(int position, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsRemoved);
    // A new text (a file opened, everything replaced) leaves no room for ruby the text
    // before it had: the columns widen again when a line with ruby is laid out.
    if (position == 0 && charsAdded + 1 >= m_document->characterCount() && m_rubySeen) {
        m_rubySeen = false;
        m_indexValid = false;
    }
    // The blocks the change touched are laid out anew when next asked for.
    QTextBlock first = m_document->findBlock(position);
    if (!first.isValid())
        first = m_document->lastBlock();
    QTextBlock last = m_document->findBlock(position + charsAdded);
    if (!last.isValid())
        last = m_document->lastBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        if (auto *cache = static_cast<BlockCache *>(b.userData()))
            cache->generation = 0;
        if (b == last)
            break;
    }
    if (!m_indexValid || !m_wrap)
        return;
    // The edit replaced the blocks it touched: as many as there are now between its ends,
    // less the blocks it added.
    const int span = last.blockNumber() - first.blockNumber() + 1;
    const int oldSpan = span - (m_document->blockCount() - m_columns.blockCount());
    const int at = first.blockNumber();
    if (m_deferred || oldSpan < 1 || at + oldSpan > m_columns.blockCount()) {
        m_indexValid = false;
        return;
    }
    if (at >= m_counted) {
        // Past what is counted: the new lines count one each until they are counted.
        m_columns.replace(at, oldSpan, std::vector<int>(size_t(span), 1));
        return;
    }
    // A typed line is counted now; of many lines pasted or loaded, the first ones, and the
    // others when a question or the idle counting reaches them.
    const int exact = std::min(span, 256);
    std::vector<int> counts(size_t(span), 1);
    QTextBlock b = first;
    for (int i = 0; i < exact && b.isValid(); ++i, b = b.next())
        counts[size_t(i)] = blockColumnCount(b);
    m_columns.replace(at, oldSpan, counts);
    // The lines counted are the edited ones and those before; after an edit that reached
    // past the counted lines, or left some of its own uncounted, those after it are not.
    m_counted =
        exact == span && at + oldSpan <= m_counted ? m_counted + span - oldSpan : at + exact;
}

int VerticalLayout::columnCount()
{
    if (!m_wrap)
        return m_document->blockCount();
    countThrough(m_document->blockCount() - 1);
    return m_columns.rowCount();
}

qreal VerticalLayout::longestColumn()
{
    qreal longest = 0;
    if (m_wrap)
        return m_columnHeight;
    for (QTextBlock b = m_document->begin(); b.isValid(); b = b.next())
        longest = qMax<qreal>(longest, cacheOf(b)->layout.y.back());
    return longest;
}

namespace {
int layoutIndex(const VerticalBlockLayout &l, int blockIndex)
{
    if (l.preeditPosition >= 0 && blockIndex > l.preeditPosition)
        return blockIndex + l.preeditLength;
    return blockIndex;
}
int blockIndexOf(const VerticalBlockLayout &l, int index)
{
    if (l.preeditPosition < 0 || index <= l.preeditPosition)
        return index;
    return qMax(l.preeditPosition, index - l.preeditLength);
}
} // namespace

int VerticalLayout::columnOfPosition(int position)
{
    QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        block = m_document->lastBlock();
    if (!m_wrap)
        return block.blockNumber();
    countThrough(block.blockNumber());
    const VerticalBlockLayout &l = blockLayout(block);
    const int index = layoutIndex(l, position - block.position());
    return m_columns.firstRow(block.blockNumber()) + l.columnOfIndex(index);
}

QTextBlock VerticalLayout::blockOfColumn(int column, int *columnInBlock)
{
    countToColumn(column);
    column = qBound(0, column, qMax(0, knownColumnCount() - 1));
    if (!m_wrap) {
        *columnInBlock = 0;
        return m_document->findBlockByNumber(column);
    }
    const int number = m_columns.blockOfRow(column);
    *columnInBlock = column - m_columns.firstRow(number);
    return m_document->findBlockByNumber(number);
}

int VerticalLayout::columnStart(int column)
{
    int local = 0;
    const QTextBlock b = blockOfColumn(column, &local);
    const VerticalBlockLayout &l = blockLayout(b);
    return b.position() + blockIndexOf(l, l.columns.value(local).start);
}

int VerticalLayout::columnEnd(int column)
{
    int local = 0;
    const QTextBlock b = blockOfColumn(column, &local);
    const VerticalBlockLayout &l = blockLayout(b);
    const VerticalColumn c = l.columns.value(local);
    return b.position() + blockIndexOf(l, c.start + c.length);
}

qreal VerticalLayout::yOfPosition(int position)
{
    QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        block = m_document->lastBlock();
    const VerticalBlockLayout &l = blockLayout(block);
    const int index = qBound(0, layoutIndex(l, position - block.position()), int(l.text.size()));
    const VerticalColumn c = l.columns.value(l.columnOfIndex(index));
    return l.y[size_t(index)] - l.top(c);
}

int VerticalLayout::positionAt(int column, qreal y)
{
    int local = 0;
    const QTextBlock b = blockOfColumn(column, &local);
    const VerticalBlockLayout &l = blockLayout(b);
    const VerticalColumn c = l.columns.value(local);
    const float top = l.top(c);
    const int end = c.start + c.length;
    int best = c.start;
    for (int i = c.start; i < end; ++i) {
        if (l.text.at(i).isLowSurrogate())
            continue;
        int next = i + 1;
        if (next < end && l.text.at(next).isLowSurrogate())
            ++next;
        const float middle = (l.y[size_t(i)] + l.y[size_t(next)]) / 2 - top;
        if (y < middle)
            return b.position() + blockIndexOf(l, i);
        best = next;
    }
    return b.position() + blockIndexOf(l, best);
}

VerticalLayout::Cell VerticalLayout::cellOfPosition(int position)
{
    QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        block = m_document->lastBlock();
    Cell cell;
    cell.column = columnOfPosition(block.position());
    const VerticalBlockLayout &l = blockLayout(block);
    const int n = int(l.text.size());
    int index = qBound(0, position - block.position(), block.length() - 1);
    if (l.preeditPosition >= 0 && index >= l.preeditPosition)
        index += l.preeditLength;
    index = qMin(index, n);
    if (index > 0 && index < n && l.text.at(index).isLowSurrogate())
        --index; // the second half of a pair is the same character
    int next = index;
    if (index < n) {
        next = index + 1;
        if (next < n && l.text.at(next).isLowSurrogate())
            ++next;
    }
    const int local = l.columnOfIndex(index);
    cell.column += local;
    cell.top = l.y[size_t(index)] - l.top(l.columns[local]);
    cell.height = l.y[size_t(next)] - l.y[size_t(index)];
    return cell;
}

// --- painting ---------------------------------------------------------------------------

void VerticalLayout::paint(QPainter *painter, int firstColumn, int lastColumn,
                           const PaintOptions &o)
{
    countToColumn(lastColumn);
    const int total = knownColumnCount();
    if (total == 0)
        return;
    firstColumn = qBound(0, firstColumn, total - 1);
    lastColumn = qBound(0, lastColumn, total - 1);
    VerticalGlyphCache &g = *m_glyphs;
    const qreal em = g.em();
    int local = 0;
    QTextBlock block = blockOfColumn(firstColumn, &local);
    const int firstBlock = block.blockNumber();
    if (m_typesetting.ruby && !m_rubySeen) {
        // The first line with ruby laid out widens the columns: the lines to paint are laid
        // out before any is painted, so that all are painted at the same width.
        const QTextBlock end = blockOfColumn(lastColumn, &local).next();
        for (QTextBlock b = block; b.isValid() && b != end && !m_rubySeen; b = b.next())
            cacheOf(b);
        block = blockOfColumn(firstColumn, &local);
    }
    for (int k = firstColumn; k <= lastColumn && block.isValid();) {
        const VerticalBlockLayout &l = blockLayout(block);
        // Colours of the block's characters from its formats, and the preedit's formats.
        const int n = int(l.text.size());
        std::vector<QColor> ink(size_t(n), o.text);
        std::vector<QColor> paper(static_cast<size_t>(n));
        std::vector<bool> underline(size_t(n), false);
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid() || !f.charFormat().hasProperty(QTextFormat::ForegroundBrush))
                continue;
            const QColor c = f.charFormat().foreground().color();
            const int from = f.position() - block.position();
            for (int i = from; i < from + f.length(); ++i) {
                const int li = layoutIndex(l, i);
                if (li < n)
                    ink[size_t(li)] = c;
            }
        }
        if (l.preeditPosition >= 0 && block.layout()) {
            for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
                for (int i = r.start; i < r.start + r.length && i < n; ++i) {
                    if (i < 0)
                        continue;
                    if (r.format.hasProperty(QTextFormat::ForegroundBrush))
                        ink[size_t(i)] = r.format.foreground().color();
                    if (r.format.hasProperty(QTextFormat::BackgroundBrush))
                        paper[size_t(i)] = r.format.background().color();
                    underline[size_t(i)] = r.format.fontUnderline();
                }
            }
        }
        const int selFrom = layoutIndex(l, o.selectionStart - block.position());
        const int selTo = layoutIndex(l, o.selectionEnd - block.position());
        const int heardFrom =
            o.spokenStart < 0 ? -1 : layoutIndex(l, o.spokenStart - block.position());
        const int heardTo = o.spokenStart < 0 ? -1 : layoutIndex(l, o.spokenEnd - block.position());
        std::vector<bool> hidden;
        if (!l.hidden.isEmpty()) {
            hidden.assign(size_t(n), false);
            for (const text::Span &h : l.hidden)
                std::fill_n(hidden.begin() + h.start, h.length, true);
        }
        // The stretches the note marks, each with a dotted line on the left of its characters
        // (the right is the ruby's).
        const LineNote note = o.note ? o.note(block) : LineNote();
        std::vector<bool> dotted;
        if (!note.dotted.isEmpty()) {
            dotted.assign(size_t(n), false);
            for (const text::Span &s : note.dotted) {
                for (int i = s.start; i < s.start + s.length; ++i) {
                    const int li = layoutIndex(l, i);
                    if (li >= 0 && li < n)
                        dotted[size_t(li)] = true;
                }
            }
        }
        QPen dots(o.noteDotted, qMax<qreal>(1, em / 11), Qt::DotLine);
        qsizetype nextUpright = 0;
        qsizetype nextHalf = 0;
        qsizetype nextRun = 0;
        size_t nextGlyph = 0;
        for (; local < int(l.columns.size()) && k <= lastColumn; ++local, ++k) {
            const VerticalColumn c = l.columns[local];
            const qreal cx = o.columnCentre(k);
            const float top = l.top(c);
            QList<quint32> uprightGlyphs;
            QList<QPointF> uprightPositions;
            QColor runColour;
            quint8 runFace = 0;
            auto flush = [&] {
                if (uprightGlyphs.isEmpty())
                    return;
                QGlyphRun run;
                run.setRawFont(g.rawFont(runFace));
                run.setGlyphIndexes(uprightGlyphs);
                run.setPositions(uprightPositions);
                painter->setPen(runColour);
                painter->drawGlyphRun(QPointF(0, 0), run);
                uprightGlyphs.clear();
                uprightPositions.clear();
            };
            for (int i = c.start, units = 1; i < c.start + c.length; i += units) {
                units = VerticalGlyphCache::clusterLength(l.text, i);
                if (!hidden.empty() && hidden[size_t(i)])
                    continue;
                while (nextUpright < l.upright.size() && l.upright[nextUpright].start < i)
                    ++nextUpright;
                if (nextUpright < l.upright.size() && l.upright[nextUpright].start == i) {
                    // Tate-chū-yoko: the run side by side in one upright cell.
                    flush();
                    units = int(l.upright[nextUpright].length);
                    const qreal y = o.top + l.y[size_t(i)] - top;
                    for (int j = i; j < i + units; ++j) {
                        if (j >= selFrom && j < selTo)
                            painter->fillRect(QRectF(cx - g.pitch() / 2,
                                                     o.top + l.y[size_t(j)] - top, g.pitch(),
                                                     l.y[size_t(j) + 1] - l.y[size_t(j)]),
                                              o.selectionBackground);
                    }
                    const bool selected = i >= selFrom && i < selTo;
                    drawUpright(painter, g.font(), QStringView(l.text).mid(i, units), cx, y, em,
                                selected ? o.selectionText : ink[size_t(i)]);
                    continue;
                }
                const QStringView cluster = QStringView(l.text).mid(i, units);
                const char32_t ch = VerticalGlyphCache::baseOf(cluster);
                while (nextHalf < l.halves.size() && l.halves[nextHalf].at < i)
                    ++nextHalf;
                const bool half = nextHalf < l.halves.size() && l.halves[nextHalf].at == i;
                const VerticalGlyph &vg = half ? g.halfWidth(ch) : g.cluster(cluster);
                const qreal y = o.top + l.y[size_t(i)] - top;
                // A bracket closed up in print keeps its own glyph, turned: an opening
                // one's ink lies in the lower half of its cell, which moves up by the half
                // it lost.
                const qreal raised =
                    half && l.halves[nextHalf].opening && vg.mode == GlyphMode::Rotated
                        ? g.cluster(cluster).advance - vg.advance
                        : 0;
                const bool selected = i >= selFrom && i < selTo;
                QColor colour = ink[size_t(i)];
                const QRectF cell(cx - g.pitch() / 2, y, g.pitch(), vg.advance);
                if (selected) {
                    flush();
                    painter->fillRect(cell, o.selectionBackground);
                    colour = o.selectionText;
                } else if (i >= heardFrom && i < heardTo) {
                    flush();
                    painter->fillRect(cell, o.spokenBackground);
                } else if (paper[size_t(i)].isValid()) {
                    flush();
                    painter->fillRect(cell, paper[size_t(i)]);
                }
                if (underline[size_t(i)]) {
                    painter->setPen(colour);
                    const qreal ux = cx + em / 2 + 1;
                    painter->drawLine(QPointF(ux, y), QPointF(ux, y + vg.advance));
                }
                if (!dotted.empty() && dotted[size_t(i)]) {
                    painter->setPen(dots);
                    const qreal dx = cx - em / 2 - dots.widthF() - 1;
                    painter->drawLine(QPointF(dx, y), QPointF(dx, y + vg.advance));
                }
                while (nextRun < l.sidewaysRuns.size() &&
                       l.sidewaysRuns[nextRun].start + l.sidewaysRuns[nextRun].length <= i)
                    ++nextRun;
                if (nextRun < l.sidewaysRuns.size() && l.sidewaysRuns[nextRun].start <= i) {
                    // Part of a run shaped as one: the cluster's own glyphs.
                    flush();
                    while (nextGlyph < l.sideways.size() && l.sideways[nextGlyph].at < i)
                        ++nextGlyph;
                    size_t end = nextGlyph;
                    while (end < l.sideways.size() && l.sideways[end].at < i + units)
                        ++end;
                    drawSideways(painter, g, {l.sideways.data() + nextGlyph, end - nextGlyph}, cx,
                                 y - raised, colour);
                    nextGlyph = end;
                    continue;
                }
                switch (vg.mode) {
                case GlyphMode::Upright:
                case GlyphMode::UprightShift:
                    if (colour != runColour || vg.face != runFace)
                        flush();
                    runColour = colour;
                    runFace = vg.face;
                    uprightGlyphs << vg.glyph;
                    uprightPositions << QPointF(cx + vg.dx, y + vg.dy);
                    break;
                case GlyphMode::Rotated:
                    flush();
                    drawCell(painter, g, cluster, cx, y - raised, colour);
                    break;
                case GlyphMode::Fallback:
                    if (ch >= 0x20 && ch != 0x7F) {
                        flush();
                        drawCell(painter, g, cluster, cx, y, colour);
                    }
                    break;
                }
            }
            flush();
            if (!l.rubies.isEmpty()) {
                if (!m_rubyGlyphs) {
                    QFont small = g.font();
                    small.setPixelSize(qMax(1, qRound(em * kRubyScale)));
                    m_rubyGlyphs = std::make_unique<VerticalGlyphCache>(small, g.verticalForms());
                }
                for (const VerticalBlockLayout::Ruby &r : l.rubies) {
                    if (r.start >= c.start && r.start < c.start + c.length)
                        paintRuby(painter, *m_rubyGlyphs, r, cx + em / 2 + em * kRubyScale / 2,
                                  o.top - top, ink[size_t(r.start)]);
                }
            }
            if (local == int(l.columns.size()) - 1)
                paintNote(painter, note, l, cx, o);
        }
        block = block.next();
        local = 0;
    }
    // Lines far from those painted give their layouts back.
    m_kept.keepNear(firstBlock, blockOfColumn(lastColumn, &local).blockNumber());
}

void VerticalLayout::paintNote(QPainter *painter, const LineNote &note,
                               const VerticalBlockLayout &l, qreal cx, const PaintOptions &o)
{
    if (note.values.isEmpty())
        return;
    const qreal em = m_glyphs->em();
    // Under word wrap the notes stand at the foot of the columns, in the room kept for
    // them; without it just below the line's end.
    const VerticalColumn last = l.columns.back();
    qreal y = m_wrap ? o.top + m_columnHeight + em * 0.4
                     : o.top + l.y[size_t(last.start + last.length)] - l.top(last) + em * 0.4;
    QFont small = m_glyphs->font();
    small.setPixelSize(qMax(1, qRound(em * kNoteScale)));
    for (qsizetype i = 0; i < note.values.size(); ++i, y += em * kNoteStep) {
        const int mark = note.marks.value(i);
        drawUpright(painter, small, QString::number(note.values[i]), cx, y, em * kNoteStep,
                    mark > 0   ? o.noteLong
                    : mark < 0 ? o.noteShort
                               : o.noteText);
    }
}

} // namespace editor
