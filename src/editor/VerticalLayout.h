#pragma once
// Lays a QTextDocument out in vertical columns: each block (a line of the text) is one or
// more columns, read top to bottom; columns run from right to left, the first line
// rightmost. Used by the vertical view and by printing; it knows nothing of widgets.
//
// Each character is set as VerticalGlyphs.h says (upright, in its vertical form, turned);
// sideways text is shaped a run at a time, as a row of horizontal text is.
//
// Column breaks under word wrap follow ICU's strict Japanese line breaking, so no column
// starts with 、。ー or a closing bracket and none ends with an opening bracket. Each
// block's columns are cached until the block changes, and every block's column count is
// kept in a RowIndex: after an edit only the blocks it touched are laid out again, and the
// questions asked per keystroke (the column of a position, the block of a column) cost
// O(log n). Lines are counted from the first on as far as a question needs (a text just
// opened shows its first screen without counting the rest); painting lays out only what is
// visible. While deferred (its view hidden) the layout only notes what changed and counts
// again when next asked. Only lines near those last painted keep their layouts.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QTextBlock>
#include <functional>
#include <memory>
#include <vector>

#include "editor/LayoutKeeper.h"
#include "editor/RowIndex.h"
#include "editor/VerticalGlyphs.h"
#include "text/Ruby.h"

class QPainter;
class QTextDocument;
class QTextLayout;

namespace editor {

// What is set beyond the characters themselves.
struct Typesetting
{
    // Ruby notation (漢字《かんじ》) drawn as ruby beside its base, the notation hidden, on
    // every line but the caret's, which shows the notation for editing.
    bool ruby = false;
    // Runs of up to this many half-width digits or letters set upright in one cell
    // (tate-chū-yoko); 0 sets none.
    int uprightLength = 0;
    // Under word wrap, a 、 or 。 that would start a column hangs below the end of the one
    // before instead (burasage).
    bool hanging = false;
    bool operator==(const Typesetting &) const = default;
};

// A note drawn at the foot of a line's last column: numbers, each with its mark (+1 or -1
// draws it in a warning colour, 0 plainly). The sounds of a line by ku, for instance. And
// stretches of the line marked with a dotted line beside them (under them in horizontal
// writing): words whose reading is a guess.
struct LineNote
{
    QList<int> values;
    QList<int> marks;
    QList<text::Span> dotted; // positions in the line's text
    bool isEmpty() const { return values.isEmpty() && dotted.isEmpty(); }
};

// One column of a block: a run of the block's layout text.
struct VerticalColumn
{
    int start = 0; // index into the block's layout text
    int length = 0;
    float head = 0; // room before its first character: the spread of a ruby longer than
                    // its base, where the base starts the column
};

// The layout of one block. The layout text is the block's text with any input-method
// preedit inserted at its position.
struct VerticalBlockLayout
{
    QString text;
    int preeditPosition = -1;
    int preeditLength = 0;
    std::vector<float> y; // y[i]: top of character i within its column; y[len] the end
    QList<VerticalColumn> columns;
    // Where a column's head stands in y.
    float top(const VerticalColumn &c) const { return y[size_t(c.start)] - c.head; }
    // Ruby drawn beside its base [start, end), the notation that is not drawn, and the
    // tate-chū-yoko runs, all as indexes into the layout text.
    struct Ruby
    {
        int start = 0;
        int end = 0;
        QString text;
        float top = 0; // the base's extent in its column
        float bottom = 0;
    };
    QList<Ruby> rubies;
    QList<text::Span> hidden;
    QList<text::Span> upright;
    // Runs of sideways text shaped as one, and their glyphs in text order. A cluster of
    // such a run without glyphs of its own is joined to one before it by a ligature.
    QList<text::Span> sidewaysRuns;
    std::vector<SidewaysGlyph> sideways;
    // Full-width punctuation closed up against its neighbour, set at half its width.
    QList<HalfCell> halves;
    bool notationShown = false; // laid out as the caret's line, with its ruby notation
    int columnOfIndex(int index) const;
};

class VerticalLayout
{
public:
    explicit VerticalLayout(QTextDocument *document);
    ~VerticalLayout();

    void setFont(const QFont &font, bool verticalForms = true);
    const QFont &font() const;
    // The height available to a column; with wrap off columns are as long as their line.
    void setColumnHeight(qreal height);
    qreal columnHeight() const { return m_columnHeight; }
    void setWordWrap(bool wrap);
    bool wordWrap() const { return m_wrap; }
    // The distance between columns; wider once a line with ruby has been laid out, so that
    // the ruby has room beside its column.
    qreal pitch() const;
    qreal em() const;

    void setTypesetting(const Typesetting &typesetting);
    const Typesetting &typesetting() const { return m_typesetting; }
    // The caret moved from one line to another: with ruby shown, both are laid out again,
    // the one left hiding its notation and the one entered showing it.
    void caretLineChanged(const QTextBlock &from, const QTextBlock &to);
    // Leaves room for ruby between the columns from the start (as printing does for a text
    // that holds ruby), not only once a line with ruby has been laid out.
    void keepRubyRoom() { m_rubySeen = true; }

    // Called for every change of the document's text (contentsChange).
    void documentChanged(int position, int charsRemoved, int charsAdded);
    void invalidate();
    // While deferred, edits only mark what they touched; the count is taken anew when
    // next asked for.
    void setDeferred(bool deferred) { m_deferred = deferred; }
    // The block that holds the caret, where an input method's preedit is shown; without it
    // the layout shows no preedit.
    void setCaretBlock(std::function<QTextBlock()> caretBlock)
    {
        m_caretBlock = std::move(caretBlock);
    }

    // Every column, each line counted (as far as not yet).
    int columnCount();
    // The columns as far as counted, and one for each line not yet counted: what the view
    // sizes its scroll bar by while counting goes on. Exact once isCounted().
    int knownColumnCount();
    bool isCounted() const;
    // Counts the next lines, so many of them; true once every line is counted.
    bool countMore(int blocks);
    // Counts the lines up to and including a block, or up to the one that holds a column.
    void countThrough(int block);
    void countToColumn(int column);
    // The longest column, for the vertical scroll range when wrap is off.
    qreal longestColumn();

    // Document positions and columns. A position at a column break belongs to the
    // later column, except the end of a block, which belongs to its last column.
    int columnOfPosition(int position);
    int columnStart(int column); // document position
    int columnEnd(int column);   // document position after its last character
    QTextBlock blockOfColumn(int column, int *columnInBlock);
    qreal yOfPosition(int position); // top of the character at position, in its column
    // The position nearest to a y within a column: a click on the lower half of a
    // character puts the caret after it.
    int positionAt(int column, qreal y);
    // Where the character at a position is set: its column, its top within the column (as
    // yOfPosition) and its advance. During a composition the text after the caret stands
    // below the preedit. A line end, or the end of the text, has no height.
    struct Cell
    {
        int column = 0;
        qreal top = 0;
        qreal height = 0;
    };
    Cell cellOfPosition(int position);

    const VerticalBlockLayout &blockLayout(const QTextBlock &block);
    VerticalGlyphCache &glyphs();

    // Paints the columns [first, last] with column k's centre at columnCentre(k).
    struct PaintOptions
    {
        QColor text;
        QColor background;
        QColor selectionText;
        QColor selectionBackground;
        int selectionStart = 0;
        int selectionEnd = 0;
        // The words being heard (read-along), behind the text; -1 for none.
        int spokenStart = -1;
        int spokenEnd = -1;
        QColor spokenBackground;
        qreal top = 0; // y of the columns' top
        std::function<qreal(int column)> columnCentre;
        // The note of a line, drawn small below its last column (at the foot of the columns
        // under word wrap), when given.
        std::function<LineNote(const QTextBlock &)> note;
        QColor noteText;
        QColor noteLong;   // a value marked +1
        QColor noteShort;  // a value marked -1
        QColor noteDotted; // the dotted line beside a stretch
    };
    // The room a note needs at the foot of the columns.
    qreal noteRoom() const;
    void paint(QPainter *painter, int firstColumn, int lastColumn, const PaintOptions &options);

private:
    struct BlockCache;
    BlockCache *cacheOf(const QTextBlock &block);
    // Lays a block's text (with a preedit inserted at its position, or none at -1) out;
    // with `notationShown` its ruby notation stays as typed.
    void layoutText(const QString &text, int preeditPosition, const QString &preedit,
                    bool notationShown, VerticalBlockLayout &layout);
    bool showsNotation(const QTextBlock &block) const;
    void paintNote(QPainter *painter, const LineNote &note, const VerticalBlockLayout &l, qreal cx,
                   const PaintOptions &o);
    void rebuildIndex();
    void ensureIndex();
    int blockColumnCount(const QTextBlock &block);
    const QTextLayout *composingLayout(const QTextBlock &block) const;

    QTextDocument *m_document;
    std::unique_ptr<VerticalGlyphCache> m_glyphs;
    qreal m_columnHeight = 400;
    bool m_wrap = true;
    int m_generation = 1; // bumped whenever every block must be laid out again
    bool m_indexValid = false;
    int m_counted = 0; // lines [0, m_counted) have their columns counted
    bool m_deferred = false;
    RowIndex m_columns; // columns per block, while word wrap is on
    std::function<QTextBlock()> m_caretBlock;
    Typesetting m_typesetting;
    bool m_rubySeen = false; // a line with ruby was laid out: columns leave room for it
    std::unique_ptr<VerticalGlyphCache> m_rubyGlyphs; // half size, made when first needed
    LayoutKeeper m_kept;                              // the lines with a layout cached
};

} // namespace editor
