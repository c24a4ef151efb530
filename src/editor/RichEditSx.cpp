#include "editor/RichEditSx.h"

#include "editor/PaneCaret.h"
#include "editor/TextEditing.h"
#include "editor/VerticalTextView.h"
#include "editor/WrappedPlainLayout.h"
#include "text/TextMetrics.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <utility>

namespace editor {

namespace {

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

// --- the control -----------------------------------------------------------------------

TRichEditSx::TRichEditSx(QWidget *parent)
    : QWidget(parent), m_document(new QTextDocument(this)),
      m_horizontal(new RichHorizontalView(this)),
      m_caret(new PaneCaret(m_horizontal, m_document, this)),
      m_verticalView(new VerticalTextView(this)), m_stack(new QStackedLayout(this)),
      m_loadingTimer(new QTimer(this)), m_imeColors(controlDefaultImeColors())
{
    auto *rows = new WrappedPlainLayout(m_document);
    rows->setRowsChanged(
        [this](const QTextBlock &block, int row) { m_horizontal->repaintRows(block, row); });
    m_document->setDocumentLayout(rows);
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

    connect(m_document, &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (!m_loadingPart)
            Q_EMIT modificationChanged(modified);
    });
    m_loadingTimer->setSingleShot(true);
    m_loadingTimer->setInterval(0);
    connect(m_loadingTimer, &QTimer::timeout, this, [this] { loadPart(false); });
    connect(m_document, &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                // The lines from the first one changed on are laid out again when asked
                // about.
                m_laidOut = qMin(m_laidOut, m_document->findBlock(position).blockNumber());
                followChange(position, removed, added);
                m_horizontal->forgetRuby(position, added);
                if (m_hasNotes) {
                    m_horizontal->viewport()->update();
                    m_verticalView->viewport()->update();
                }
            });
    connect(m_document, &QTextDocument::contentsChanged, this, [this] {
        if (!m_restoring)
            Q_EMIT textChanged();
    });
    connect(m_caret, &PaneCaret::cursorPositionChanged, this, [this] {
        if (!m_restoring)
            Q_EMIT selectionChanged();
    });
    connect(m_caret, &PaneCaret::selectionChanged, this, [this] {
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

QTextDocument *TRichEditSx::document() const
{
    loadRest();
    return m_document;
}

QString TRichEditSx::text() const
{
    QString raw = rawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

QString TRichEditSx::rawText() const
{
    loadRest();
    return m_document->toRawText();
}

void TRichEditSx::replaceWholeText(const QString &text)
{
    // Qt's plain layout lays every line out when a whole text goes in under a document
    // margin of less than 4 pixels (all of a 50 MB text, 200 MB of line layouts): the text
    // goes in at that margin, and the pane's own is set back after.
    willEdit(0, undoTextLength());
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
    // Unmodified is the file's text: an undo or redo back to it clears the mark again.
    if (!modified && !m_changeLost)
        m_undo.markSaved(*this);
    m_document->setModified(modified);
}

QTextCursor TRichEditSx::textCursor() const
{
    return m_caret->cursor();
}

void TRichEditSx::setTextCursor(const QTextCursor &cursor)
{
    m_caret->setCursor(cursor);
}

QTextCharFormat TRichEditSx::currentCharFormat() const
{
    return m_caret->typingFormat();
}

void TRichEditSx::setCurrentCharFormat(const QTextCharFormat &format)
{
    m_caret->setTypingFormat(format);
}

int TRichEditSx::selStart() const
{
    return textCursor().selectionStart();
}

int TRichEditSx::selLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

QTextCursor TRichEditSx::placedCursor(int anchor, int position) const
{
    const int last = m_document->characterCount() - 1;
    QTextCursor c(m_document);
    const WrappedPlainLayout::CursorsOnly measureNothing(rowLayout());
    c.setPosition(qBound(0, anchor, last));
    c.setPosition(qBound(0, position, last), QTextCursor::KeepAnchor);
    return c;
}

void TRichEditSx::setSelection(int start, int length)
{
    if (isLoading() && qsizetype(start) + qMax(0, length) >= m_document->characterCount() - 1)
        finishLoading();
    const int last = m_document->characterCount() - 1;
    start = qBound(0, start, last);
    setTextCursor(placedCursor(start, start + qMax(0, length)));
}

QString TRichEditSx::selectedText() const
{
    const QTextCursor c = textCursor();
    return textBetween(c.selectionStart(), c.selectionEnd());
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
    loadRest();
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

void TRichEditSx::setSpokenRange(int from, int to)
{
    const int length = m_document->characterCount() - 1;
    if (from >= 0) {
        from = qBound(0, from, length);
        to = qBound(from, to, length);
    } else {
        from = to = -1;
    }
    if (from == m_spokenFrom && to == m_spokenTo)
        return;
    m_spokenFrom = from;
    m_spokenTo = to;
    QList<QTextEdit::ExtraSelection> marks;
    if (from >= 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_document);
        mark.cursor.setPosition(from);
        mark.cursor.setPosition(to, QTextCursor::KeepAnchor);
        mark.format.setBackground(spokenColor());
        marks << mark;
    }
    m_horizontal->setExtraSelections(marks);
    if (m_vertical)
        m_verticalView->viewport()->update();
    if (from < 0)
        return;
    // The word heard comes into view, the page turning as a reader's would.
    if (m_vertical) {
        m_verticalView->ensurePositionVisible(from);
    } else {
        const int row = rowOfPosition(from);
        const int top = SelTopIndex();
        const int shown = qMax(1, m_horizontal->viewport()->height() /
                                      qMax(1, m_horizontal->fontMetrics().lineSpacing()));
        if (row < top || row >= top + shown)
            setSelTopIndex(qMax(0, row - 1));
    }
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
    m_caret->keep(vertical);
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
    const QTextCursor c = textCursor();
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
        setTextCursor(placedCursor(start + length, start));
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
        bar->setGeometry(cr.left(), cr.top(), RichHorizontalView::SelectionBarWidth,
                         m_horizontal->viewport()->height());
    }
    m_horizontal->setLeftMargin(on ? RichHorizontalView::SelectionBarWidth : 0);
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
    QTextCharFormat typing = currentCharFormat();
    typing.clearForeground();
    setCurrentCharFormat(typing);
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

void TRichEditSx::setLineNotes(const std::function<LineNote(const QTextBlock &line)> &notes)
{
    m_hasNotes = bool(notes);
    m_horizontal->setLineNotes(notes);
    m_verticalView->setLineNotes(notes);
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

// In vertical writing the clipboard is used at the pane's own caret, as the horizontal view
// uses it at its caret.
void TRichEditSx::copy()
{
    if (!m_caret->isKept())
        m_horizontal->copy();
    else if (QMimeData *selection = mimeDataOf(textCursor()))
        QGuiApplication::clipboard()->setMimeData(selection);
}

void TRichEditSx::cut()
{
    recordAction(ActionDelete);
    if (!m_caret->isKept()) {
        willEdit(textCursor());
        m_horizontal->cut();
        return;
    }
    copy();
    QTextCursor c = textCursor();
    replaceSelection(c, {});
    setTextCursor(c);
}

void TRichEditSx::paste()
{
    recordAction(ActionPaste);
    if (!m_caret->isKept()) {
        m_horizontal->paste(); // announced where the view puts the text in
        return;
    }
    QTextCursor c = textCursor();
    willEdit(c);
    {
        const WrappedPlainLayout::CursorsOnly measureNothing(rowLayout());
        insertMimeData(c, QGuiApplication::clipboard()->mimeData());
    }
    setTextCursor(c);
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
    QTextCursor c = textCursor();
    if (!editor::editByKey(c, *e, [this](int from, int to) { willEdit(from, to); }))
        return KeyMoves;
    setTextCursor(c);
    e->accept();
    return KeyEdited;
}

void TRichEditSx::composeByInputMethod(QInputMethodEvent *e,
                                       const std::function<void(QInputMethodEvent *)> &compose)
{
    finishLoading();
    if (!e->preeditString().isEmpty() && !m_composing)
        recordAction(ActionComposition);
    m_composing = !e->preeditString().isEmpty();
    {
        // What the commit may replace: the selection, and the span the event names from
        // where the caret stands once the selection is gone.
        const QTextCursor c = textCursor();
        const int start = e->replacementStart();
        willEdit(c.selectionStart() + qMin(0, start),
                 c.selectionEnd() + qMax(0, start + e->replacementLength()));
    }
    const auto coloured = recolouredPreedit(*e);
    compose(coloured.get());
    e->setAccepted(coloured->isAccepted());
    Q_EMIT inputMethodHandled(e->preeditString(), e->commitString());
}

void TRichEditSx::selectAll()
{
    finishLoading();
    // (The horizontal view selects without scrolling to the caret at the text's end.)
    if (!m_caret->isKept()) {
        m_horizontal->selectAll();
        return;
    }
    QTextCursor c(m_document);
    c.select(QTextCursor::Document);
    setTextCursor(c);
    offerSelection(c);
}

bool TRichEditSx::canUndo() const
{
    loadRest();
    return !m_changeLost && m_undo.canUndo(*this);
}

bool TRichEditSx::canRedo() const
{
    loadRest();
    return !m_changeLost && m_undo.canRedo();
}

void TRichEditSx::undo()
{
    finishLoading();
    forgetLostSteps();
    if (m_undo.undo(*this) && m_undo.atSaved())
        m_document->setModified(false);
}

void TRichEditSx::redo()
{
    finishLoading();
    forgetLostSteps();
    if (m_undo.redo(*this) && m_undo.atSaved())
        m_document->setModified(false);
}

void TRichEditSx::recordAction(int action)
{
    finishLoading();
    forgetLostSteps();
    m_undo.record(action, *this);
}

void TRichEditSx::forgetLostSteps()
{
    if (!m_changeLost)
        return;
    m_changeLost = false;
    m_undo.forget(*this);
}

void TRichEditSx::willEdit(qsizetype from, qsizetype to)
{
    // An announcement stands for the edit that follows it at once: one announced for an
    // edit that then changed nothing (a cut without a selection) does not stand for a later
    // one. The whole text is in before an edit.
    finishLoading();
    m_undo.edited();
    if (!std::exchange(m_announced, true))
        QMetaObject::invokeMethod(
            this, [this] { m_announced = false; }, Qt::QueuedConnection);
    if (m_changeLost)
        return;
    const qsizetype length = undoTextLength();
    from = qBound<qsizetype>(0, from, length);
    to = qBound(from, to, length);
    if (!m_change.any) {
        m_change = {true, from, length - to, undoTextPart(from, to)};
        return;
    }
    // The changed part grows to take the span in; outside it, the text is as marked.
    const qsizetype end = length - m_change.tail;
    if (from < m_change.head) {
        m_change.before.prepend(undoTextPart(from, m_change.head));
        m_change.head = from;
    }
    if (to > end) {
        m_change.before.append(undoTextPart(end, to));
        m_change.tail = length - to;
    }
}

void TRichEditSx::willEdit(const QTextCursor &cursor)
{
    willEdit(cursor.selectionStart(), cursor.selectionEnd());
}

void TRichEditSx::replaceSelection(QTextCursor &cursor, const QString &text)
{
    willEdit(cursor);
    const WrappedPlainLayout::CursorsOnly measureNothing(rowLayout());
    cursor.insertText(text);
}

void TRichEditSx::followChange(int position, int removed, int added)
{
    if (m_loadingPart)
        return;
    const bool announced = std::exchange(m_announced, false);
    // (Qt counts the line break it keeps after the text in a change of the whole text.)
    const qsizetype length = undoTextLength();
    const qsizetype end = qMin<qsizetype>(position + added, length);
    if (m_changeLost ||
        (m_change.any && position >= m_change.head && end <= length - m_change.tail))
        return;
    // Qt tells more than the edit announced when a line's composition or formats changed
    // with it: all of the line. A change of formats alone (string colours) leaves the text
    // as long as it was.
    if (announced || removed == added)
        return;
    qWarning("Kotonami: the text changed where no edit was announced; the undo memory "
             "forgets its steps");
    m_changeLost = true;
    m_change = {};
}

QString TRichEditSx::undoText() const
{
    return text();
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
    return textBetween(int(from), int(to));
}

QString TRichEditSx::textBetween(int from, int to) const
{
    if (from >= to)
        return {};
    if (to >= m_document->characterCount() - 1)
        loadRest();
    // A long part (all of a text just loaded, the first time the undo memory stores it) is
    // cut from the whole text, which the document gives in one piece; a cursor gathers it
    // line by line.
    if (to - from > undoTextLength() / 4)
        return text().mid(from, to - from);
    QString part = placedCursor(from, to).selectedText();
    part.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return part;
}

void TRichEditSx::markUnchanged()
{
    m_change = {};
}

void TRichEditSx::restoreUndo(const RichUndoState &place, const std::function<void()> &change)
{
    m_restoring = true;
    const bool signalsWereBlocked = m_caret->blockSignals(true);
    setUpdatesEnabled(false);
    change();
    setSelTopIndex(place.firstVisibleLine);
    setSelection(place.selStart, place.selLength);
    setUpdatesEnabled(true);
    m_caret->blockSignals(signalsWereBlocked);
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
    // its colours. The caret goes where the change was: to the step's own caret where that
    // stands on the lines the span spans, else after the span's restored text (restoreUndo
    // places it from `at` once the change is made).
    RichUndoState at = place;
    restoreUndo(at, [&] {
        willEdit(start, start + removed);
        QTextCursor c = placedCursor(int(start), int(start + removed));
        const WrappedPlainLayout::CursorsOnly measureNothing(rowLayout());
        c.insertText(text, QTextCharFormat());
        const int end = int(start + text.size());
        const int first = m_document->findBlock(int(start)).blockNumber();
        const int last = m_document->findBlock(end).blockNumber();
        const int from = m_document->findBlock(at.selStart).blockNumber();
        const int to = m_document->findBlock(at.selStart + at.selLength).blockNumber();
        if (from < first || to > last) {
            at.selStart = end;
            at.selLength = 0;
        }
    });
}

} // namespace editor
