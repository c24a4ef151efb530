#include "editor/RichEditSx.h"

#include "editor/HorizontalRuby.h"
#include "editor/TextEditing.h"
#include "editor/VerticalTextView.h"
#include "editor/WrappedPlainLayout.h"
#include "text/Ruby.h"
#include "text/TextMetrics.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace editor {

namespace {

constexpr int SelectionBarWidth = 8;

QString normaliseLineBreaks(const QString &s)
{
    QString out = s;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

// The margin at the left of the horizontal view in which a click selects a whole row.
class SelectionBarArea final : public QWidget
{
public:
    SelectionBarArea(QPlainTextEdit *view, TRichEditSx *pane)
        : QWidget(view), m_view(view), m_pane(pane)
    {
        setCursor(Qt::ArrowCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_pane->backgroundColor());
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        if (e->button() != Qt::LeftButton)
            return;
        m_pane->recordAction(ActionMouse);
        const QPoint inView(1, qRound(e->position().y()));
        const int pos = m_view->cursorForPosition(inView).position();
        const int row = m_pane->rowOfPosition(pos);
        const int start = m_pane->rowStart(row);
        const int end = row + 1 < m_pane->rowCount() ? m_pane->rowStart(row + 1)
                                                     : m_pane->document()->characterCount() - 1;
        m_pane->setSelection(start, end - start);
        m_view->setFocus(Qt::MouseFocusReason);
    }

private:
    QPlainTextEdit *m_view;
    TRichEditSx *m_pane;
};

} // namespace

// --- horizontal view -------------------------------------------------------------------

void RichHorizontalView::setLineNotes(std::function<LineNote(const QTextBlock &)> notes)
{
    m_notes = std::move(notes);
    viewport()->update();
}

namespace {
// What a line's user state says of its ruby: revision * 4 + one of these (0: never looked at).
enum RubyState { RubyHidden = 1, NoRuby = 2, NotationShown = 3 };
} // namespace

void RichHorizontalView::setRuby(bool on)
{
    if (on == m_ruby)
        return;
    m_ruby = on;
    // Every line that was given ruby gets its notation back; the visible ones are given
    // ruby again as they are painted.
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next()) {
        if (b.userState() > 0 && (b.userState() & 3) == RubyHidden)
            setRubyShown(b, b.next()); // not the caret's line: shown since ruby is off
        b.setUserState(-1);
    }
    viewport()->update();
}

void RichHorizontalView::setRubyShown(const QTextBlock &block, const QTextBlock &caretBlock)
{
    // Known from the line's state while the line is unchanged: most lines in view are
    // passed over without their text being read.
    const int state = block.userState();
    const bool known = state > 0 && state / 4 == block.revision();
    const bool caret = block == caretBlock;
    const int kind = known ? state & 3 : 0;
    if (m_ruby && ((caret && (kind == NotationShown || kind == NoRuby)) ||
                   (!caret && (kind == RubyHidden || kind == NoRuby))))
        return;
    const QString text = block.text();
    const bool holdsRuby = text::mayHoldRuby(text);
    const bool hide = m_ruby && !caret && holdsRuby;
    const bool wasHidden = known ? kind == RubyHidden : !block.layout()->formats().isEmpty();
    const int newKind = !holdsRuby ? NoRuby : hide ? RubyHidden : NotationShown;
    const_cast<QTextBlock &>(block).setUserState(block.revision() * 4 + newKind);
    if (!hide && !wasHidden)
        return;
    QTextLayout *tl = block.layout();
    const QList<QTextLayout::FormatRange> formats =
        hide ? rubyHidingFormats(text, font()) : QList<QTextLayout::FormatRange>();
    tl->setFormats(formats);
    document()->markContentsDirty(block.position(), block.length());
}

void RichHorizontalView::paintRuby(QPainter &p, const QTextBlock &block)
{
    const QTextLayout *tl = block.layout();
    if (block.userState() <= 0 || (block.userState() & 3) != RubyHidden || !tl)
        return;
    paintRubyAbove(p, *tl, block.text(),
                   blockBoundingGeometry(block).translated(contentOffset()).topLeft(), font(),
                   m_owner->fontColor());
}

QList<QTextBlock> RichHorizontalView::shownBlocks() const
{
    QList<QTextBlock> shown;
    for (QTextBlock b = firstVisibleBlock(); b.isValid(); b = b.next()) {
        if (blockBoundingGeometry(b).translated(contentOffset()).top() > viewport()->height())
            break;
        shown.append(b);
    }
    return shown;
}

void RichHorizontalView::paintEvent(QPaintEvent *e)
{
    if (m_ruby) {
        // The lines in view hide their notation, except the caret's, which shows it for
        // editing.
        const QTextBlock caret = textCursor().block();
        for (const QTextBlock &b : shownBlocks())
            setRubyShown(b, caret);
    }
    QPlainTextEdit::paintEvent(e);
    const QList<QTextBlock> shown = shownBlocks();
    if (shown.isEmpty())
        return;
    if (m_ruby) {
        QPainter p(viewport());
        for (const QTextBlock &b : shown)
            paintRuby(p, b);
    }
    if (m_notes)
        paintNotes(shown);
    // Painted, no layout is in use: lines far from these give theirs back.
    m_owner->rowLayout()->painted(shown.first().blockNumber(), shown.last().blockNumber());
}

void RichHorizontalView::paintNotes(const QList<QTextBlock> &shown)
{
    // Each visible line's note after its end, in its last row: "5・7・5", a ku that is too
    // long or too short in its own colour.
    QPainter p(viewport());
    QFont small = font();
    small.setPixelSize(qMax(1, (font().pixelSize() > 0 ? font().pixelSize() : 16) * 2 / 3));
    p.setFont(small);
    const QFontMetricsF fm(small);
    const QPointF offset = contentOffset();
    const QColor plain = m_owner->fontColor();
    for (const QTextBlock &b : shown) {
        const QRectF box = blockBoundingGeometry(b).translated(offset);
        const QTextLayout *tl = b.layout();
        if (!b.isVisible() || !tl || tl->lineCount() == 0)
            continue;
        const LineNote note = m_notes(b);
        const QTextLine last = tl->lineAt(tl->lineCount() - 1);
        qreal x = box.left() + last.naturalTextWidth() + fm.height();
        const qreal baseline = box.top() + last.y() + last.ascent();
        for (qsizetype i = 0; i < note.values.size(); ++i) {
            const QString part =
                (i > 0 ? QStringLiteral("・") : QString()) + QString::number(note.values[i]);
            const int mark = note.marks.value(i);
            p.setPen(mark > 0   ? QColor(0xd0, 0x20, 0x20)
                     : mark < 0 ? QColor(0x20, 0x60, 0xd0)
                                : plain);
            p.drawText(QPointF(x, baseline), part);
            x += fm.horizontalAdvance(part);
        }
    }
}

RichHorizontalView::RichHorizontalView(TRichEditSx *owner) : QPlainTextEdit(owner), m_owner(owner)
{
    setTabChangesFocus(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
}

bool RichHorizontalView::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride && isWindowKey(*static_cast<QKeyEvent *>(e))) {
        e->ignore();
        return true;
    }
    if (e->type() == QEvent::Resize || e->type() == QEvent::FontChange ||
        e->type() == QEvent::StyleChange)
        m_owner->m_laidOut = 0; // the view lays every line out again
    if (e->type() == QEvent::Resize || e->type() == QEvent::Show) {
        if (auto *bar = findChild<QWidget *>(QStringLiteral("SelectionBar"))) {
            const QRect cr = contentsRect();
            bar->setGeometry(cr.left(), cr.top(), SelectionBarWidth, viewport()->height());
        }
    }
    return QPlainTextEdit::event(e);
}

void RichHorizontalView::keyPressEvent(QKeyEvent *e)
{
    switch (m_owner->editByKey(e)) {
    case TRichEditSx::KeyEdited:
        ensureCursorVisible();
        break;
    case TRichEditSx::KeyMoves:
        QPlainTextEdit::keyPressEvent(e);
        break;
    case TRichEditSx::KeyForTheWindow:
        return;
    }
    Q_EMIT m_owner->keyPressed(e->key(), e->text());
}

void RichHorizontalView::keyReleaseEvent(QKeyEvent *e)
{
    QPlainTextEdit::keyReleaseEvent(e);
    Q_EMIT m_owner->keyReleased(e->key(), e->isAutoRepeat());
}

void RichHorizontalView::mousePressEvent(QMouseEvent *e)
{
    m_owner->recordAction(ActionMouse);
    QPlainTextEdit::mousePressEvent(e);
    Q_EMIT m_owner->mousePressed();
}

void RichHorizontalView::mouseReleaseEvent(QMouseEvent *e)
{
    QPlainTextEdit::mouseReleaseEvent(e);
    Q_EMIT m_owner->mouseReleased();
}

void RichHorizontalView::mouseDoubleClickEvent(QMouseEvent *e)
{
    QPlainTextEdit::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton)
        Q_EMIT m_owner->doubleClicked();
}

void RichHorizontalView::inputMethodEvent(QInputMethodEvent *e)
{
    // (This view draws its own caret in the preedit, from what Qt's edit control keeps of
    // it: the event goes through that control.)
    m_owner->composeByInputMethod(
        e, [this](QInputMethodEvent *coloured) { QPlainTextEdit::inputMethodEvent(coloured); });
}

void RichHorizontalView::contextMenuEvent(QContextMenuEvent *e)
{
    if (QMenu *menu = m_owner->contextMenu())
        menu->exec(e->globalPos());
}

bool RichHorizontalView::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() && !source->hasUrls();
}

void RichHorizontalView::insertFromMimeData(const QMimeData *source)
{
    if (source->hasText())
        textCursor().insertText(normaliseLineBreaks(source->text()));
}

// --- the control -----------------------------------------------------------------------

TRichEditSx::TRichEditSx(QWidget *parent)
    : QWidget(parent), m_document(new QTextDocument(this)),
      m_horizontal(new RichHorizontalView(this)), m_verticalView(new VerticalTextView(this)),
      m_stack(new QStackedLayout(this)), m_imeColors(controlDefaultImeColors())
{
    m_document->setDocumentLayout(new WrappedPlainLayout(m_document));
    m_document->setUndoRedoEnabled(false);
    m_document->setDocumentMargin(2);
    m_horizontal->setDocument(m_document);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_horizontal);
    m_stack->addWidget(m_verticalView);
    m_stack->setCurrentWidget(m_horizontal);
    setFocusProxy(m_horizontal);

    auto *bar = new SelectionBarArea(m_horizontal, this);
    bar->setObjectName(QStringLiteral("SelectionBar"));
    setSelectionBar(true);

    connect(m_document, &QTextDocument::modificationChanged, this,
            &TRichEditSx::modificationChanged);
    connect(m_document, &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        // The lines from the first one changed on are laid out again when asked
        // about.
        m_laidOut = qMin(m_laidOut, m_document->findBlock(position).blockNumber());
        const qsizetype length = m_document->characterCount() - 1;
        m_unchanged.head = qMin<qsizetype>(m_unchanged.head, position);
        m_unchanged.tail =
            qMin<qsizetype>(m_unchanged.tail, qMax<qsizetype>(0, length - position - added));
    });
    connect(m_document, &QTextDocument::contentsChanged, this, [this] {
        if (!m_restoring)
            Q_EMIT textChanged();
    });
    connect(m_horizontal, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_restoring)
            Q_EMIT selectionChanged();
    });
    connect(m_horizontal, &QPlainTextEdit::selectionChanged, this, [this] {
        if (!m_restoring)
            Q_EMIT selectionChanged();
    });
    applyWrapMode();
    applyPalette();
}

TRichEditSx::~TRichEditSx() = default;

QWidget *TRichEditSx::activeView() const
{
    if (m_vertical)
        return m_verticalView;
    return m_horizontal;
}

bool TRichEditSx::hasEditFocus() const
{
    return activeView()->hasFocus();
}

QString TRichEditSx::text() const
{
    QString raw = m_document->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

void TRichEditSx::replaceWholeText(const QString &text)
{
    // Qt's plain layout lays every line out when a whole text goes in under a document
    // margin of less than 4 pixels (all of a 50 MB text, 200 MB of line layouts): the text
    // goes in at that margin, and the pane's own is set back after.
    const qreal margin = m_document->documentMargin();
    m_document->setDocumentMargin(qMax<qreal>(margin, 4));
    QTextCursor c(m_document);
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.setCharFormat(QTextCharFormat());
    c.insertText(text);
    c.endEditBlock();
    m_document->setDocumentMargin(margin);
}

void TRichEditSx::setText(const QString &text)
{
    // One change notice, sent once the caret is at the start, as after a load.
    m_restoring = true;
    replaceWholeText(normaliseLineBreaks(text));
    // (Placed, not moved: moving asks the plain layout for the caret's old line, which
    // measures every line of the text when that view is hidden.)
    m_horizontal->setTextCursor(QTextCursor(m_document));
#ifdef __GLIBC__
    // What a large text left freed on its way in (the decoded file, the document's buffers
    // as they grew) goes back to the system, instead of staying with the process: about a
    // third of what opening 50 MB takes, for some 15 ms.
    if (text.size() > (1 << 20))
        malloc_trim(0);
#endif
    m_restoring = false;
    if (m_verticalView->isVisible())
        m_verticalView->ensureCaretVisible();
    Q_EMIT textChanged();
    Q_EMIT selectionChanged();
}

void TRichEditSx::clear()
{
    setText(QString());
}

WrappedPlainLayout *TRichEditSx::rowLayout() const
{
    return static_cast<WrappedPlainLayout *>(m_document->documentLayout());
}

bool TRichEditSx::isModified() const
{
    return m_document->isModified();
}

void TRichEditSx::setModified(bool modified)
{
    m_document->setModified(modified);
}

int TRichEditSx::selStart() const
{
    return m_horizontal->textCursor().selectionStart();
}

int TRichEditSx::selLength() const
{
    const QTextCursor c = m_horizontal->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TRichEditSx::setSelection(int start, int length)
{
    const int last = m_document->characterCount() - 1;
    start = qBound(0, start, last);
    const int end = qBound(start, start + qMax(0, length), last);
    QTextCursor c(m_document);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    m_horizontal->setTextCursor(c);
}

QString TRichEditSx::selectedText() const
{
    QString s = m_horizontal->textCursor().selectedText();
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return s;
}

void TRichEditSx::layOut(const QTextBlock &block, bool exact) const
{
    // A line that is surely one row keeps the one row every line not laid out counts, and
    // no layout of its own; a longer line of plain Japanese text is counted by the layout's
    // rules without being shaped, unless the question needs where its rows start.
    const WrappedPlainLayout *layout = rowLayout();
    if (layout->surelyOneRow(block) || block.layout()->lineCount() > 0)
        return;
    if (const int rows = exact ? 0 : layout->countedRows(block); rows > 0)
        QTextBlock(block).setLineCount(rows);
    else
        (void)layout->blockBoundingRect(block);
}

void TRichEditSx::ensureLayoutThrough(const QTextBlock &last) const
{
    // The plain layout lays lines out as they are shown and counts every other line as one
    // row; a row query needs the exact rows of the lines before it, and where the rows of
    // its own line start.
    if (!m_wordWrap)
        return;
    for (QTextBlock b = m_document->findBlockByNumber(m_laidOut);
         b.isValid() && b.blockNumber() < last.blockNumber(); b = b.next()) {
        layOut(b, false);
        m_laidOut = b.blockNumber() + 1;
    }
    layOut(last, true);
    m_laidOut = qMax(m_laidOut, last.blockNumber() + 1);
}

void TRichEditSx::ensureLayoutToRow(int row) const
{
    if (!m_wordWrap)
        return;
    const auto reaches = [row](const QTextBlock &b) {
        return b.firstLineNumber() + b.lineCount() > row;
    };
    for (;;) {
        // Lines are counted on until one reaches the row.
        if (m_laidOut == 0 || !reaches(m_document->findBlockByNumber(m_laidOut - 1))) {
            for (QTextBlock b = m_document->findBlockByNumber(m_laidOut); b.isValid();
                 b = b.next()) {
                layOut(b, false);
                m_laidOut = b.blockNumber() + 1;
                if (reaches(b))
                    break;
            }
        }
        // The line that holds the row is laid out, for where its rows start. If it was
        // counted longer than it is, the row moves on to a line after it.
        const QTextBlock holder = m_document->findBlockByLineNumber(row);
        if (!holder.isValid() || holder.lineCount() <= 1 || holder.layout()->lineCount() > 0)
            return;
        layOut(holder, true);
    }
}

int TRichEditSx::rowCount() const
{
    if (m_vertical)
        return m_verticalView->layout().columnCount();
    ensureLayoutThrough(m_document->lastBlock());
    return qMax(1, m_document->lineCount());
}

int TRichEditSx::rowOfPosition(int position) const
{
    if (m_vertical)
        return m_verticalView->layout().columnOfPosition(position);
    QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        block = m_document->lastBlock();
    ensureLayoutThrough(block);
    int row = block.firstLineNumber();
    if (const QTextLayout *layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(position - block.position());
        row += line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
    }
    return row;
}

int TRichEditSx::rowStart(int row) const
{
    if (m_vertical)
        return m_verticalView->layout().columnStart(row);
    ensureLayoutToRow(row);
    const QTextBlock block = m_document->findBlockByLineNumber(qMax(0, row));
    if (!block.isValid())
        return m_document->lastBlock().position();
    const QTextLayout *layout = block.layout();
    const int inBlock = row - block.firstLineNumber();
    if (!layout || inBlock <= 0 || inBlock >= layout->lineCount())
        return block.position();
    return block.position() + layout->lineAt(inBlock).textStart();
}

QStringList TRichEditSx::displayedRows() const
{
    const QString all = text();
    const int rows = rowCount();
    QStringList out;
    out.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const int from = rowStart(r);
        int to = r + 1 < rows ? rowStart(r + 1) : int(all.size());
        if (to > from && to <= all.size() && all.at(to - 1) == QLatin1Char('\n'))
            --to;
        out << all.mid(from, qMax(0, to - from));
    }
    return out;
}

int TRichEditSx::SelX() const
{
    return selStart() - SelLineIndex();
}

int TRichEditSx::SelY() const
{
    return rowOfPosition(selStart());
}

int TRichEditSx::SelLineIndex() const
{
    return rowStart(SelY());
}

int TRichEditSx::SelNextLineIndex() const
{
    const int next = SelY() + 1;
    if (next >= rowCount())
        return -1; // no following line, as the platform control answers
    return rowStart(next);
}

int TRichEditSx::SelTopIndex() const
{
    if (m_vertical)
        return m_verticalView->firstVisibleColumn();
    // The plain view scrolls by rows: its scroll value is the first visible row.
    return m_horizontal->verticalScrollBar()->value();
}

void TRichEditSx::setSelTopIndex(int row)
{
    // Once the lines through that row are counted, the rows before it are exact, and a row
    // past the end has had every line counted: the rest of the text need not be.
    if (m_vertical) {
        VerticalLayout &layout = m_verticalView->layout();
        layout.countToColumn(qMax(0, row));
        m_verticalView->scrollToColumn(qBound(0, row, qMax(0, layout.knownColumnCount() - 1)));
        return;
    }
    // The plain view scrolls by rows: its scroll value is the first visible row.
    ensureLayoutToRow(qMax(0, row));
    m_horizontal->verticalScrollBar()->setValue(
        qBound(0, row, qMax(0, m_document->lineCount() - 1)));
}

QString TRichEditSx::SelTextDelCRLF() const
{
    return text::removeLineBreaks(selectedText());
}

int TRichEditSx::SelTextCount() const
{
    return int(text::cp932ByteLength(SelTextDelCRLF()));
}

int TRichEditSx::SelTextWideCount() const
{
    return int(text::charCount(SelTextDelCRLF()));
}

void TRichEditSx::setVertical(bool vertical)
{
    if (vertical == m_vertical)
        return;
    const bool focused = activeView()->hasFocus();
    setUpdatesEnabled(false);
    m_vertical = vertical;
    rowLayout()->setDeferred(vertical);
    QWidget *view = activeView();
    m_stack->setCurrentWidget(view);
    setFocusProxy(view);
    if (focused)
        view->setFocus();
    setSelectionBar(m_selectionBar);
    if (vertical)
        m_verticalView->ensureCaretVisible();
    else
        m_horizontal->ensureCursorVisible();
    setUpdatesEnabled(true);
    update();
    setImeColors(controlDefaultImeColors());
    Q_EMIT OnVerticalChange();
}

void TRichEditSx::applyWrapMode()
{
    m_laidOut = 0;
    m_horizontal->setLineWrapMode(m_wordWrap ? QPlainTextEdit::WidgetWidth
                                             : QPlainTextEdit::NoWrap);
    m_horizontal->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TRichEditSx::setWordWrap(bool wrap)
{
    if (wrap == m_wordWrap)
        return;
    const int start = selStart();
    const int length = selLength();
    const QTextCursor c = m_horizontal->textCursor();
    const bool caretAtStart = c.position() == c.selectionStart() && c.hasSelection();
    // The text at the top of the view stays there: the row index alone would point
    // elsewhere once rows are rewrapped.
    const int topPosition = rowStart(SelTopIndex());
    m_wordWrap = wrap;
    applyWrapMode();
    m_verticalView->setWordWrap(wrap);
    setSelectionBar(false);
    setSelectionBar(true);
    if (caretAtStart) {
        QTextCursor r(m_document);
        r.setPosition(start + length);
        r.setPosition(start, QTextCursor::KeepAnchor);
        m_horizontal->setTextCursor(r);
    } else {
        setSelection(start, length);
    }
    setSelTopIndex(rowOfPosition(topPosition));
    Q_EMIT OnWrapChange();
}

void TRichEditSx::setSelectionBar(bool on)
{
    m_selectionBar = on;
    if (auto *bar = m_horizontal->findChild<QWidget *>(QStringLiteral("SelectionBar"))) {
        bar->setVisible(on);
        const QRect cr = m_horizontal->contentsRect();
        bar->setGeometry(cr.left(), cr.top(), SelectionBarWidth,
                         m_horizontal->viewport()->height());
    }
    m_horizontal->setLeftMargin(on ? SelectionBarWidth : 0);
    setImeColors(controlDefaultImeColors());
}

void TRichEditSx::setPaneFont(const QFont &font)
{
    m_font = font;
    m_laidOut = 0;
    m_document->setDefaultFont(font);
    m_horizontal->setFont(font);
    m_verticalView->setPaneFont(font);
}

void TRichEditSx::setFontColor(const QColor &color)
{
    m_fontColor = color;
    applyPalette();
}

void TRichEditSx::resetCharacterColors()
{
    QTextCursor c(m_document);
    c.select(QTextCursor::Document);
    QTextCharFormat plain;
    plain.clearForeground();
    c.setCharFormat(plain);
    QTextCharFormat typing = m_horizontal->currentCharFormat();
    typing.clearForeground();
    m_horizontal->setCurrentCharFormat(typing);
}

void TRichEditSx::setBackgroundColor(const QColor &color)
{
    m_background = color;
    applyPalette();
}

void TRichEditSx::applyPalette()
{
    QPalette pal = m_horizontal->palette();
    pal.setColor(QPalette::Base, m_background);
    pal.setColor(QPalette::Window, m_background);
    pal.setColor(QPalette::Text, m_fontColor);
    // The selection stays visible while the pane is not focused.
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    m_horizontal->setPalette(pal);
    m_horizontal->viewport()->update();
    m_verticalView->setPalette(pal);
    m_verticalView->setColors(m_fontColor, m_background);
}

void TRichEditSx::setTypesetting(const Typesetting &typesetting)
{
    m_verticalView->setTypesetting(typesetting);
    m_horizontal->setRuby(typesetting.ruby);
}

const Typesetting &TRichEditSx::typesetting() const
{
    return m_verticalView->layout().typesetting();
}

void TRichEditSx::setLineNotes(const std::function<LineNote(const QString &line)> &notes)
{
    std::function<LineNote(const QTextBlock &)> ofBlock;
    if (notes)
        ofBlock = [notes](const QTextBlock &b) { return notes(b.text()); };
    m_horizontal->setLineNotes(ofBlock);
    m_verticalView->setLineNotes(ofBlock);
}

void TRichEditSx::setImeColors(const ImeColorTable &colors)
{
    m_imeColors = colors;
}

std::unique_ptr<QInputMethodEvent> TRichEditSx::recolouredPreedit(const QInputMethodEvent &e) const
{
    const QString preedit = e.preeditString();
    if (preedit.isEmpty())
        return std::unique_ptr<QInputMethodEvent>(e.clone());
    QList<QInputMethodEvent::Attribute> attributes;
    bool anyFormat = false;
    for (const auto &a : e.attributes()) {
        if (a.type != QInputMethodEvent::TextFormat) {
            attributes << a;
            continue;
        }
        anyFormat = true;
        const QTextCharFormat given = a.value.value<QTextFormat>().toCharFormat();
        const bool highlighted = given.hasProperty(QTextFormat::BackgroundBrush) ||
                                 given.hasProperty(QTextFormat::ForegroundBrush);
        const ImeState state = imeStateOf(QStringView(preedit).mid(a.start, a.length), highlighted);
        const ImeColor &colour = m_imeColors[static_cast<int>(state)];
        QTextCharFormat f;
        f.setForeground(colour.text);
        f.setBackground(colour.background);
        f.setFontUnderline(colour.underline);
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, a.start, a.length,
                                                   f);
    }
    if (!anyFormat) {
        const ImeColor &colour = m_imeColors[static_cast<int>(imeStateOf(preedit, false))];
        QTextCharFormat f;
        f.setForeground(colour.text);
        f.setBackground(colour.background);
        f.setFontUnderline(colour.underline);
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0,
                                                   int(preedit.size()), f);
    }
    auto coloured = std::make_unique<QInputMethodEvent>(preedit, attributes);
    coloured->setCommitString(e.commitString(), e.replacementStart(), e.replacementLength());
    return coloured;
}

void TRichEditSx::copy()
{
    m_horizontal->copy();
}

void TRichEditSx::cut()
{
    recordAction(ActionDelete);
    m_horizontal->cut();
}

void TRichEditSx::paste()
{
    recordAction(ActionPaste);
    m_horizontal->paste();
}

TRichEditSx::KeyUse TRichEditSx::editByKey(QKeyEvent *e)
{
    if (isWindowKey(*e)) {
        e->ignore();
        return KeyForTheWindow;
    }
    if (e->matches(QKeySequence::Paste)) {
        paste();
        return KeyEdited;
    }
    if (e->matches(QKeySequence::Cut)) {
        cut();
        return KeyEdited;
    }
    if (const auto action = undoActionForKey(e->key(), e->modifiers()))
        recordAction(*action);
    QTextCursor c = m_horizontal->textCursor();
    if (!editor::editByKey(c, *e))
        return KeyMoves;
    // The horizontal view's caret has moved with the edit; placed again, it is also shown,
    // which a hidden view need not do.
    const QTextCursor moved = m_horizontal->textCursor();
    if (!m_vertical || moved.position() != c.position() || moved.anchor() != c.anchor())
        m_horizontal->setTextCursor(c);
    e->accept();
    return KeyEdited;
}

void TRichEditSx::composeByInputMethod(QInputMethodEvent *e,
                                       const std::function<void(QInputMethodEvent *)> &compose)
{
    if (!e->preeditString().isEmpty() && !m_composing)
        recordAction(ActionComposition);
    m_composing = !e->preeditString().isEmpty();
    const auto coloured = recolouredPreedit(*e);
    compose(coloured.get());
    e->setAccepted(coloured->isAccepted());
    Q_EMIT inputMethodHandled(e->preeditString(), e->commitString());
}

void TRichEditSx::selectAll()
{
    m_horizontal->selectAll();
}

bool TRichEditSx::canUndo() const
{
    return m_undo.canUndo(*this);
}

bool TRichEditSx::canRedo() const
{
    return m_undo.canRedo();
}

void TRichEditSx::undo()
{
    m_undo.undo(*this);
}

void TRichEditSx::redo()
{
    m_undo.redo(*this);
}

void TRichEditSx::recordAction(int action)
{
    m_undo.record(action, *this);
}

QString TRichEditSx::undoText() const
{
    return text();
}

RichUndoState TRichEditSx::undoState() const
{
    return {text(), SelTopIndex(), selStart(), selLength()};
}

RichUndoState TRichEditSx::undoPlace() const
{
    return {QString(), SelTopIndex(), selStart(), selLength()};
}

qsizetype TRichEditSx::undoTextLength() const
{
    return m_document->characterCount() - 1;
}

QString TRichEditSx::undoTextPart(qsizetype from, qsizetype to) const
{
    // A long part (all of a text just loaded, the first time it is stored) is cut from the
    // whole text, which the document gives in one piece; a cursor gathers it line by line.
    if (to - from > undoTextLength() / 4)
        return text().mid(from, to - from);
    QTextCursor c(m_document);
    c.setPosition(int(from));
    c.setPosition(int(to), QTextCursor::KeepAnchor);
    QString part = c.selectedText();
    part.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return part;
}

void TRichEditSx::markUnchanged()
{
    m_unchanged = {std::numeric_limits<qsizetype>::max(), std::numeric_limits<qsizetype>::max()};
}

void TRichEditSx::restoreUndo(const RichUndoState &place, const std::function<void()> &change)
{
    m_restoring = true;
    const bool signalsWereBlocked = m_horizontal->blockSignals(true);
    setUpdatesEnabled(false);
    change();
    setSelTopIndex(place.firstVisibleLine);
    setSelection(place.selStart, place.selLength);
    setUpdatesEnabled(true);
    m_horizontal->blockSignals(signalsWereBlocked);
    m_restoring = false;
    Q_EMIT textChanged();
    Q_EMIT selectionChanged();
}

void TRichEditSx::restoreUndoState(const RichUndoState &state)
{
    restoreUndo(state, [&] { replaceWholeText(state.text); });
}

void TRichEditSx::restoreUndoChange(const RichUndoState &place, qsizetype start, qsizetype removed,
                                    const QString &text)
{
    // Only the span that differs is replaced: the rest of the text keeps its layout and
    // its colours.
    restoreUndo(place, [&] {
        QTextCursor c(m_document);
        c.setPosition(int(start));
        c.setPosition(int(start + removed), QTextCursor::KeepAnchor);
        c.insertText(text, QTextCharFormat());
    });
}

} // namespace editor
