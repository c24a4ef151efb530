#include "editor/WrappedPlainLayout.h"
#include "text/Ruby.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <climits>
#include <cmath>

namespace editor {

WrappedPlainLayout::WrappedPlainLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document), m_kept([document](int number) {
          // A layout without rows is laid out again before it is drawn or measured; one
          // laid out afresh without rows also lets go of its shaped text.
          const QTextBlock b = document->findBlockByNumber(number);
          if (QTextLayout *layout = b.isValid() ? b.layout() : nullptr;
              layout && layout->lineCount() > 0) {
              layout->beginLayout();
              layout->endLayout();
          }
      })
{
}

void WrappedPlainLayout::painted(int first, int last)
{
    // Without word wrap Qt's layout lays the lines out, unseen.
    if (!wraps())
        m_kept.notePainted(first, last);
    m_kept.keepNear(first, last);
}

bool WrappedPlainLayout::wraps() const
{
    return document()->defaultTextOption().wrapMode() != QTextOption::NoWrap;
}

qreal WrappedPlainLayout::width() const
{
    // Under word wrap no line is wider than the view, so the frame is as wide as the view.
    return QPlainTextDocumentLayout::frameBoundingRect(nullptr).width();
}

QSizeF WrappedPlainLayout::documentSize() const
{
    if (!wraps())
        return QPlainTextDocumentLayout::documentSize();
    return {width(), qreal(document()->lineCount())};
}

QRectF WrappedPlainLayout::blockBoundingRect(const QTextBlock &block) const
{
    // (A cursor asks only to have the line laid out; it reads the layout itself.)
    if (m_deferred && m_cursorsOnly > 0 && block.isValid() && block.layout()->lineCount() == 0)
        return {};
    if (wraps() && block.isValid() && block.layout()->lineCount() == 0)
        const_cast<WrappedPlainLayout *>(this)->layOut(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void WrappedPlainLayout::measureIn(const QFont &font) const
{
    if (font == m_font && !m_advances.empty())
        return;
    m_font = font;
    m_lineHeight = QFontMetricsF(font).height();
    m_advances.assign(0x10000, -1.f);
    m_wideAdvances.clear();
}

qreal WrappedPlainLayout::advance(char32_t c) const
{
    const auto measure = [this, c] {
        return float(QFontMetricsF(m_font).horizontalAdvance(QString::fromUcs4(&c, 1)));
    };
    if (c > 0xFFFF) {
        auto it = m_wideAdvances.find(c);
        if (it == m_wideAdvances.end())
            it = m_wideAdvances.insert(c, measure());
        return *it;
    }
    float &a = m_advances[c];
    if (a < 0)
        a = measure();
    return a;
}

bool WrappedPlainLayout::surelyOneRow(const QTextBlock &block) const
{
    if (!wraps() || block.lineCount() != 1)
        return false;
    const QTextDocument *doc = document();
    const qreal available = width();
    if (available <= 0)
        return true; // nothing wraps before the view has a width
    measureIn(doc->defaultFont());
    // A tab may take up to a whole stop; two lines' height are kept in hand.
    const qreal tab = qMax(doc->defaultTextOption().tabStopDistance(), m_lineHeight);
    const qreal limit = available - 2 * doc->documentMargin() - 2 * m_lineHeight;
    const QString text = block.text();
    const qsizetype n = text.size();
    qreal x = 0;
    for (qsizetype i = 0; i < n && x <= limit; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        x += c == '\t' ? tab : advance(c);
    }
    return x <= limit;
}

namespace {

// Characters whose advance alone sets their width in a row, and between which Qt's layout
// breaks by the line-break rules alone: kanji, kana, Japanese punctuation, full-width forms.
bool isPlainJapanese(char16_t c)
{
    return (c > 0x3000 && c < 0x3099) || (c > 0x309A && c <= 0x30FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xFF01 && c <= 0xFF5E && c != 0xFF5C);
}

} // namespace

int WrappedPlainLayout::countedRows(const QTextBlock &block) const
{
    if (!wraps())
        return 0;
    const QString text = block.text();
    // (Ruby notation may be hidden from view, taking no room.)
    if (text.isEmpty() || text::mayHoldRuby(text) ||
        !std::all_of(text.cbegin(), text.cend(),
                     [](QChar c) { return isPlainJapanese(c.unicode()); }))
        return 0;
    const QTextDocument *doc = document();
    qreal available = width();
    if (available <= 0)
        return 0;
    available -= 2 * doc->documentMargin();
    measureIn(doc->defaultFont());
    int rows = 1;
    qreal x = 0;
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype start = 0;
    for (qsizetype end = breaks.toNextBoundary(); end > 0; end = breaks.toNextBoundary()) {
        qreal piece = 0;
        for (qsizetype i = start; i < end; ++i)
            piece += advance(text[i].unicode());
        if (x > 0 && x + piece > available) {
            ++rows;
            x = 0;
        }
        if (piece <= available) {
            x += piece;
        } else {
            // Longer than a row: broken between characters.
            for (qsizetype i = start; i < end; ++i) {
                const qreal a = advance(text[i].unicode());
                if (x > 0 && x + a > available) {
                    ++rows;
                    x = 0;
                }
                x += a;
            }
        }
        start = end;
    }
    return rows;
}

void WrappedPlainLayout::layOut(const QTextBlock &block)
{
    const QTextDocument *doc = document();
    const qreal margin = doc->documentMargin();
    const QTextOption option = doc->defaultTextOption();
    QTextLayout *layout = block.layout();
    layout->setTextOption(option);
    qreal available = width();
    if (available <= 0)
        available = qreal(INT_MAX);
    available -= 2 * margin;
    if (option.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        available -= QFontMetricsF(block.charFormat().font()).horizontalAdvance(QChar(0x21B5));
    qreal height = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(available);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0)
            height += std::ceil(line.leading());
    }
    layout->endLayout();
    m_kept.note(block.blockNumber());
    const int before = doc->lineCount();
    QTextBlock(block).setLineCount(block.isVisible() ? layout->lineCount() : 0);
    // The view answers by measuring the lines at the text's end, which may lay more lines
    // out here: those tell it nothing new.
    if (doc->lineCount() != before && !m_sizeChanging) {
        m_sizeChanging = true;
        Q_EMIT documentSizeChanged(documentSize());
        m_sizeChanging = false;
    }
}

void WrappedPlainLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    const QTextDocument *doc = document();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(qMax(0, from + charsRemoved + charsAdded - 1));
    // An edit within one line that neither adds nor removes lines: that line alone is laid
    // out again. Everything else goes through Qt's layout, which forgets the changed lines'
    // layouts and keeps its count of lines.
    if (!wraps() || first != last || doc->blockCount() != m_blockCount || !first.isValid() ||
        first.length() == 0) {
        m_blockCount = doc->blockCount();
        QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
        return;
    }
    if (m_deferred) {
        // (A row query counts its rows again: it counts on from the first line changed.)
        QTextBlock(first).clearLayout();
        return;
    }
    const qreal before = blockBoundingRect(first).height();
    layOut(first);
    if (blockBoundingRect(first).height() != before) {
        Q_EMIT update(QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.));
    } else if (m_rowsChanged) {
        const QTextLine row =
            QTextBlock(first).layout()->lineForTextPosition(from - first.position());
        m_rowsChanged(first, row.isValid() ? row.lineNumber() : 0);
    } else {
        Q_EMIT updateBlock(first);
    }
}

} // namespace editor
