#pragma once
// The horizontal view's line layout. Under word wrap no line is wider than the view, yet
// Qt's plain layout keeps track of the widest line, and when that line narrows it measures
// every line of the text again to find the next widest (and gives each line a layout object
// to do it): a keystroke in a 50 MB text then walks a million lines. Under word wrap this
// layout lays a changed line out itself, in the same way but without that measure; without
// word wrap, where the widest line sets the horizontal scroll bar, Qt's own layout works.
// Either way only lines near the screen keep their layouts.

#include "editor/LayoutKeeper.h"

#include <QFont>
#include <QHash>
#include <QPlainTextDocumentLayout>

#include <functional>
#include <vector>

namespace editor {

class WrappedPlainLayout final : public QPlainTextDocumentLayout
{
public:
    explicit WrappedPlainLayout(QTextDocument *document);

    QRectF blockBoundingRect(const QTextBlock &block) const override;
    QSizeF documentSize() const override;

    // Whether a line is one row for certain without laying it out: its characters' advances
    // add up to less than a row, by more than kerning and rounding could take back. Most
    // lines of verse and many of prose are; a row query counts them at that cost.
    bool surelyOneRow(const QTextBlock &block) const;
    // The rows of a line of plain Japanese text (kanji, kana, Japanese punctuation and
    // full-width forms; no spaces, no Latin, no ruby notation), counted by the rules Qt's
    // layout follows: the line's break opportunities, each row filled while the next
    // piece fits, a piece longer than a row broken anywhere. Without shaping it costs a
    // fraction of a layout. 0 for any other line.
    int countedRows(const QTextBlock &block) const;
    // The lines [first, last] were painted in this view, or are in view in the other one:
    // lines far from them give their layouts back (their rows and shaped glyphs; Qt keeps
    // an empty layout object for each line once laid out).
    void painted(int first, int last);
    void keepNear(int first, int last) { m_kept.keepNear(first, last); }
    // While its view is hidden, a changed line is laid out again only when shown or asked
    // about.
    void setDeferred(bool deferred) { m_deferred = deferred; }
    // Where an edit within one line leaves its height as it was, the view is told the line
    // and the row the edit begins in, to repaint from there, instead of the whole line.
    void setRowsChanged(std::function<void(const QTextBlock &, int row)> rowsChanged)
    {
        m_rowsChanged = std::move(rowsChanged);
    }
    // While its view is hidden and one of these lives, a line is not laid out to be
    // measured. A cursor placed in the text asks for its line's layout to find its x, which
    // only moving up or down in that view needs, and finds it again then. Only for cursor
    // arithmetic: Qt's edit control counts on the lines it measures being laid out.
    class CursorsOnly
    {
    public:
        explicit CursorsOnly(WrappedPlainLayout *layout) : m_layout(layout)
        {
            ++m_layout->m_cursorsOnly;
        }
        ~CursorsOnly() { --m_layout->m_cursorsOnly; }
        CursorsOnly(const CursorsOnly &) = delete;
        CursorsOnly &operator=(const CursorsOnly &) = delete;

    private:
        WrappedPlainLayout *m_layout;
    };

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    bool wraps() const;
    // The view's width, as Qt's layout was last given it.
    qreal width() const;
    void layOut(const QTextBlock &block);

    void measureIn(const QFont &font) const;
    qreal advance(char32_t c) const;

    int m_blockCount = 1; // the lines Qt's layout knows of
    // The advance of each character met, in the text's font (-1: not measured yet).
    mutable QFont m_font;
    mutable qreal m_lineHeight = 0;
    mutable std::vector<float> m_advances;
    mutable QHash<char32_t, float> m_wideAdvances;
    bool m_sizeChanging = false;
    bool m_deferred = false;
    int m_cursorsOnly = 0;
    LayoutKeeper m_kept;
    std::function<void(const QTextBlock &, int)> m_rowsChanged;
};

} // namespace editor
