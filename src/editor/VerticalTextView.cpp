#include "editor/VerticalTextView.h"
#include "editor/QuietScrollBar.h"

#include "editor/PaneCaret.h"
#include "editor/RichEditSx.h"
#include "editor/TextEditing.h"
#include "editor/VerticalAccessible.h"
#include "editor/WrappedPlainLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace editor {

namespace {
constexpr qreal Margin = 6; // between the first column and the right edge, and at the top
} // namespace

VerticalTextView::VerticalTextView(TRichEditSx *owner)
    : QAbstractScrollArea(owner), m_owner(owner), m_layout(owner->m_document)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBar(new QuietScrollBar(Qt::Horizontal, this));
    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical, this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Scroll value 0 shows the first line at the right; the handle starts at the right.
    horizontalScrollBar()->setInvertedAppearance(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    m_blink.setInterval(qMax(200, QApplication::cursorFlashTime() / 2));
    m_counting.setSingleShot(true);
    m_counting.setInterval(0);
    connect(&m_counting, &QTimer::timeout, this, [this] {
        // About 20 ms of counting at a time keeps the view answering.
        m_layout.countMore(20000);
        updateScrollBars();
    });
    connect(&m_blink, &QTimer::timeout, this, [this] {
        m_caretOn = !m_caretOn;
        updateCaret();
    });
    QTextDocument *doc = owner->m_document;
    // Hidden (the pane writes horizontally), the view only notes what an edit touched.
    m_layout.setDeferred(true);
    m_layout.setCaretBlock([owner] { return owner->textCursor().block(); });
    connect(doc, &QTextDocument::contentsChange, this, [this](int pos, int removed, int added) {
        m_layout.documentChanged(pos, removed, added);
        if (!isVisible())
            return;
        updateScrollBars();
        updateEdited(pos, added);
    });
    connect(owner->caret(), &PaneCaret::cursorPositionChanged, this, [this] {
        // (While a whole text is put in, the caret passes by its end: the pane shows the
        // caret once the text is in.)
        const QTextBlock caretBlock = m_owner->textCursor().block();
        const bool lineChanged = caretBlock.blockNumber() != m_caretLine;
        if (lineChanged) {
            // With ruby shown, the line left hides its notation and the line entered shows it.
            m_layout.caretLineChanged(m_owner->m_document->findBlockByNumber(m_caretLine),
                                      caretBlock);
            m_caretLine = caretBlock.blockNumber();
        }
        if (!isVisible() || m_owner->m_restoring)
            return;
        restartBlink();
        ensureCaretVisible();
        if (lineChanged && m_layout.typesetting().ruby)
            viewport()->update();
        else
            updateCaret();
    });
    connect(owner->caret(), &PaneCaret::selectionChanged, viewport(),
            qOverload<>(&QWidget::update));
    installVerticalAccessibility(this);
}

void VerticalTextView::showEvent(QShowEvent *e)
{
    m_layout.setDeferred(false);
    updateScrollBars();
    QAbstractScrollArea::showEvent(e);
}

void VerticalTextView::hideEvent(QHideEvent *e)
{
    m_layout.setDeferred(true);
    QAbstractScrollArea::hideEvent(e);
}

void VerticalTextView::setPaneFont(const QFont &font)
{
    m_layout.setFont(font);
    updateScrollBars();
    viewport()->update();
}

void VerticalTextView::setWordWrap(bool wrap)
{
    m_layout.setWordWrap(wrap);
    updateScrollBars();
    viewport()->update();
}

void VerticalTextView::setTypesetting(const Typesetting &typesetting)
{
    m_layout.setTypesetting(typesetting);
    updateScrollBars();
    viewport()->update();
}

void VerticalTextView::setLineNotes(std::function<LineNote(const QTextBlock &)> notes)
{
    m_notes = std::move(notes);
    updateScrollBars();
    viewport()->update();
}

qreal VerticalTextView::columnHeight() const
{
    // Under word wrap the notes take room at the foot of the columns.
    const qreal notes = m_notes && m_layout.wordWrap() ? m_layout.noteRoom() : 0;
    return viewport()->height() - 2 * Margin - notes;
}

void VerticalTextView::setColors(const QColor &text, const QColor &background)
{
    m_text = text;
    m_background = background;
    viewport()->update();
}

QRect VerticalTextView::columnsRect(int first, int last) const
{
    const qreal p = m_layout.pitch();
    const qreal right = columnCentre(first) + p / 2;
    const qreal left = columnCentre(last) - p / 2;
    return QRectF(left, 0, right - left, viewport()->height())
        .toAlignedRect()
        .adjusted(-1, 0, 1, 0);
}

void VerticalTextView::updateEdited(int position, int added)
{
    const QTextDocument *doc = m_owner->m_document;
    const QTextBlock block = doc->findBlock(position);
    const int lines = doc->blockCount();
    const int columns = m_layout.knownColumnCount();
    const bool sameShape = block.isValid() && block.contains(position + added) &&
                           lines == m_shownLines && columns == m_shownColumns;
    m_shownLines = lines;
    m_shownColumns = columns;
    // An edit that begins after the last line in view (the parts of a text being loaded)
    // leaves the view as it was, unless it widened the columns.
    if (block.blockNumber() > m_lastLineShown && m_layout.pitch() == m_pitchShown)
        return;
    if (!sameShape) {
        viewport()->update();
        return;
    }
    // The columns before the edit's keep their text, but for the one just before it, whose
    // end may move (a closing bracket typed at a column's head takes the character before
    // it along).
    const int first =
        qMax(m_layout.columnOfPosition(block.position()), m_layout.columnOfPosition(position) - 1);
    const int last = m_layout.columnOfPosition(block.position() + block.length() - 1);
    viewport()->update(columnsRect(first, last));
}

void VerticalTextView::updateCaret()
{
    const QRect now = caretRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    viewport()->update(m_caretShown);
    viewport()->update(now);
    m_caretShown = now;
}

qreal VerticalTextView::columnCentre(int column) const
{
    const qreal p = m_layout.pitch();
    return viewport()->width() - Margin - (column + 0.5) * p + horizontalScrollBar()->value();
}

int VerticalTextView::columnAt(qreal x) const
{
    const qreal p = m_layout.pitch();
    return int(std::floor((viewport()->width() - Margin + horizontalScrollBar()->value() - x) / p));
}

int VerticalTextView::firstVisibleColumn() const
{
    return qMax(0, columnAt(viewport()->width() - Margin - 1));
}

void VerticalTextView::scrollToColumn(int column)
{
    updateScrollBars();
    horizontalScrollBar()->setValue(qRound(column * m_layout.pitch()));
}

int VerticalTextView::positionAtPoint(const QPointF &p)
{
    auto &layout = const_cast<VerticalLayout &>(m_layout);
    layout.countToColumn(columnAt(p.x()));
    const int total = layout.knownColumnCount();
    const int column = qBound(0, columnAt(p.x()), qMax(0, total - 1));
    const qreal y = p.y() - Margin + verticalScrollBar()->value();
    return layout.positionAt(column, y);
}

QRectF VerticalTextView::characterRect(int position)
{
    const VerticalLayout::Cell cell = m_layout.cellOfPosition(position);
    const qreal p = m_layout.pitch();
    return QRectF(columnCentre(cell.column) - p / 2,
                  Margin - verticalScrollBar()->value() + cell.top, p, cell.height);
}

int VerticalTextView::caretPosition() const
{
    return m_owner->textCursor().position();
}

QRectF VerticalTextView::caretRect()
{
    const int pos = caretPosition();
    const int column = m_layout.columnOfPosition(pos);
    qreal y = m_layout.yOfPosition(pos);
    if (m_preeditCursor >= 0) {
        // Inside a composition the caret stands where the input method puts it.
        const QTextBlock block = m_owner->m_document->findBlock(pos);
        const VerticalBlockLayout &l = m_layout.blockLayout(block);
        if (l.preeditPosition >= 0) {
            const int index = qBound(0, l.preeditPosition + m_preeditCursor, int(l.text.size()));
            const int col = l.columnOfIndex(index);
            y = l.y[size_t(index)] - l.top(l.columns[col]);
        }
    }
    return caretBar(column, y);
}

QRectF VerticalTextView::caretBar(int column, qreal y) const
{
    const qreal p = m_layout.pitch();
    const qreal x = columnCentre(column) - p / 2;
    return QRectF(x + 2, Margin - verticalScrollBar()->value() + y - 1, p - 4, 2);
}

void VerticalTextView::ensureCaretVisible()
{
    ensurePositionVisible(caretPosition());
}

void VerticalTextView::ensurePositionVisible(int position)
{
    m_layout.columnOfPosition(position); // counted through the position's line
    updateScrollBars();
    const QRectF caret = position == caretPosition() ? caretRect() : characterRect(position);
    QScrollBar *h = horizontalScrollBar();
    const qreal p = m_layout.pitch();
    const int column = m_layout.columnOfPosition(position);
    const qreal centre = columnCentre(column);
    // A caret out of view brings its whole column in, at the edge it went out by.
    if (centre - p / 2 < 0)
        h->setValue(h->value() + qCeil(Margin + p / 2 - centre));
    else if (centre + p / 2 > viewport()->width())
        h->setValue(h->value() - qCeil(centre - (viewport()->width() - Margin - p / 2)));
    QScrollBar *v = verticalScrollBar();
    if (caret.top() < 0)
        v->setValue(v->value() + qFloor(caret.top()) - 4);
    else if (caret.bottom() + m_layout.em() > viewport()->height())
        v->setValue(v->value() + qCeil(caret.bottom() + m_layout.em() - viewport()->height()) + 4);
}

void VerticalTextView::updateScrollBars()
{
    m_layout.setColumnHeight(columnHeight());
    const qreal p = m_layout.pitch();
    const int width = qCeil(m_layout.knownColumnCount() * p + 2 * Margin);
    // The lines not yet counted are counted a slice at a time while the view is idle; the
    // scroll bar grows to the text's true width as they are.
    if (!m_layout.isCounted() && isVisible() && !m_counting.isActive())
        m_counting.start();
    QScrollBar *h = horizontalScrollBar();
    h->setRange(0, qMax(0, width - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(qRound(p));
    QScrollBar *v = verticalScrollBar();
    if (m_layout.wordWrap()) {
        v->setRange(0, 0);
    } else {
        const int height = qCeil(m_layout.longestColumn() + 2 * Margin + m_layout.em());
        v->setRange(0, qMax(0, height - viewport()->height()));
        v->setPageStep(viewport()->height());
        v->setSingleStep(qRound(m_layout.em()));
    }
}

void VerticalTextView::restartBlink()
{
    m_caretOn = true;
    if (hasFocus())
        m_blink.start();
}

bool VerticalTextView::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        // Ctrl+A, C, V, X, Y and Z belong to the window. Text typed (with Shift at most) and
        // the keys that edit or move are the view's before any shortcut's; with Ctrl, other
        // keys are the window's.
        const auto *key = static_cast<QKeyEvent *>(e);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const QString text = key->text();
        bool ours = !(mods & ~Qt::ShiftModifier) && !text.isEmpty() && text.at(0).isPrint();
        switch (key->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            ours = !(mods & (Qt::AltModifier | Qt::MetaModifier));
            break;
        default:
            break;
        }
        e->setAccepted(ours);
        return true;
    }
    return QAbstractScrollArea::event(e);
}

void VerticalTextView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    if (isVisible())
        updateScrollBars();
    else // hidden: the columns are counted when shown or asked for
        m_layout.setColumnHeight(columnHeight());
}

void VerticalTextView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void VerticalTextView::paintEvent(QPaintEvent *e)
{
    QPainter painter(viewport());
    painter.fillRect(e->rect(), m_background);
    const qreal p = m_layout.pitch();
    m_layout.countToColumn(columnAt(-p));
    const int total = m_layout.knownColumnCount();
    m_shownLines = m_owner->m_document->blockCount();
    m_shownColumns = total;
    // Only the columns the repainted part reaches.
    const int first = qMax(0, columnAt(e->rect().right() + p));
    const int last = qMin(total - 1, columnAt(e->rect().left() - p));
    const QTextCursor cursor = m_owner->textCursor();
    VerticalLayout::PaintOptions o;
    o.text = m_text;
    o.background = m_background;
    o.selectionText = palette().color(QPalette::Active, QPalette::HighlightedText);
    o.selectionBackground = palette().color(QPalette::Active, QPalette::Highlight);
    o.selectionStart = cursor.selectionStart();
    o.selectionEnd = cursor.selectionEnd();
    std::tie(o.spokenStart, o.spokenEnd) = m_owner->spokenRange();
    o.spokenBackground = TRichEditSx::spokenColor();
    o.top = Margin - verticalScrollBar()->value();
    o.columnCentre = [this](int k) { return columnCentre(k); };
    if (m_notes) {
        o.note = m_notes;
        o.noteText = m_text;
        o.noteLong = QColor(0xd0, 0x20, 0x20);
        o.noteShort = QColor(0x20, 0x60, 0xd0);
        o.noteDotted = QColor(0xd0, 0x70, 0x00);
    }
    if (last >= first) {
        m_layout.paint(&painter, first, last, o);
        // Lines laid out in the hidden horizontal view (for a cursor the window placed) are
        // kept only near these.
        int local = 0;
        m_owner->rowLayout()->keepNear(m_layout.blockOfColumn(first, &local).blockNumber(),
                                       m_layout.blockOfColumn(last, &local).blockNumber());
    }
    // (While the text ends in view, whatever follows it comes into view.)
    const int leftmost = columnAt(-p);
    int local = 0;
    m_lastLineShown = leftmost >= total - 1
                          ? std::numeric_limits<int>::max()
                          : m_layout.blockOfColumn(leftmost, &local).blockNumber();
    m_pitchShown = p;
    if (!qFuzzyCompare(m_layout.pitch(), p)) {
        // The first line with ruby widened the columns: lay the view out again.
        updateScrollBars();
        viewport()->update();
    }
    m_caretShown = caretRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (hasFocus() && m_caretOn && !cursor.hasSelection())
        painter.fillRect(caretRect(), m_text);
    if (m_dropPosition >= 0) // where dragged text would go
        painter.fillRect(caretBar(m_layout.columnOfPosition(m_dropPosition),
                                  m_layout.yOfPosition(m_dropPosition)),
                         m_text);
}

// --- keys -------------------------------------------------------------------------------

bool VerticalTextView::moveCaret(QKeyEvent *e)
{
    const bool shift = e->modifiers().testFlag(Qt::ShiftModifier);
    const bool ctrl = e->modifiers().testFlag(Qt::ControlModifier);
    const auto mode = shift ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    QTextCursor c = m_owner->textCursor();
    const int pos = c.position();
    const int column = m_layout.columnOfPosition(pos);
    const int total = m_layout.columnCount();
    qreal keepY = -1; // the height kept across columns
    {
        const WrappedPlainLayout::CursorsOnly measureNothing(m_owner->rowLayout());
        auto acrossColumns = [&](int target) {
            target = qBound(0, target, total - 1);
            keepY = m_wantedY < 0 ? m_layout.yOfPosition(pos) : m_wantedY;
            c.setPosition(m_layout.positionAt(target, keepY), mode);
        };
        const int visible = qMax(1, int(viewport()->width() / m_layout.pitch()) - 1);
        switch (e->key()) {
        case Qt::Key_Up:
            c.movePosition(QTextCursor::PreviousCharacter, mode);
            break;
        case Qt::Key_Down:
            c.movePosition(QTextCursor::NextCharacter, mode);
            break;
        case Qt::Key_Left:
            acrossColumns(column + 1);
            break;
        case Qt::Key_Right:
            acrossColumns(column - 1);
            break;
        case Qt::Key_PageDown:
            acrossColumns(column + visible);
            break;
        case Qt::Key_PageUp:
            acrossColumns(column - visible);
            break;
        case Qt::Key_Home:
            if (ctrl)
                c.movePosition(QTextCursor::Start, mode);
            else
                c.setPosition(m_layout.columnStart(column), mode);
            break;
        case Qt::Key_End:
            if (ctrl)
                c.movePosition(QTextCursor::End, mode);
            else
                c.setPosition(m_layout.columnEnd(column), mode);
            break;
        default:
            return false;
        }
    }
    m_owner->setTextCursor(c);
    m_wantedY = keepY;
    return true;
}

void VerticalTextView::keyPressEvent(QKeyEvent *e)
{
    m_owner->finishLoading();
    const int key = e->key();
    const bool movement = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left ||
                          key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End ||
                          key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (movement && !(e->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) {
        if (const auto action = undoActionForKey(key, e->modifiers()))
            m_owner->recordAction(*action);
        moveCaret(e);
        if (e->modifiers().testFlag(Qt::ShiftModifier))
            offerSelection(m_owner->textCursor());
        e->accept();
    } else {
        // Everything else is edited by the pane's own operations, as in the horizontal view.
        switch (m_owner->editByKey(e)) {
        case TRichEditSx::KeyEdited:
            m_wantedY = -1;
            ensureCaretVisible();
            break;
        case TRichEditSx::KeyMoves:
            e->ignore();
            break;
        case TRichEditSx::KeyForTheWindow:
            return;
        }
    }
    restartBlink();
    Q_EMIT m_owner->keyPressed(key, e->text());
}

void VerticalTextView::keyReleaseEvent(QKeyEvent *e)
{
    Q_EMIT m_owner->keyReleased(e->key(), e->isAutoRepeat());
}

// --- mouse ------------------------------------------------------------------------------

void VerticalTextView::mousePressEvent(QMouseEvent *e)
{
    m_owner->recordAction(ActionMouse);
    setFocus(Qt::MouseFocusReason);
    if (e->button() == Qt::LeftButton) {
        const QTextCursor c = m_owner->textCursor();
        const int pos = positionAtPoint(e->position());
        const bool shift = e->modifiers().testFlag(Qt::ShiftModifier);
        if (!shift && c.hasSelection() && pos > c.selectionStart() && pos < c.selectionEnd()) {
            // On the selection: moving on drags it, letting go puts the caret there.
            m_dragFrom = e->position();
        } else {
            m_owner->setTextCursor(
                cursorAt(e->position(), shift ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor));
            m_dragging = true;
        }
        m_wantedY = -1;
    }
    Q_EMIT m_owner->mousePressed();
}

void VerticalTextView::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    if (m_dragFrom) {
        if ((e->position() - *m_dragFrom).manhattanLength() >= QApplication::startDragDistance())
            dragSelection();
        return;
    }
    if (m_dragging)
        m_owner->setTextCursor(cursorAt(e->position(), QTextCursor::KeepAnchor));
}

void VerticalTextView::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && m_dragFrom) // a click on the selection, not a drag
        m_owner->setTextCursor(cursorAt(e->position()));
    if (e->button() == Qt::LeftButton && (m_dragFrom || m_dragging)) {
        offerSelection(m_owner->textCursor());
    } else if (e->button() == Qt::MiddleButton) {
        // The window system's primary selection, pasted where the middle button was let go.
        const QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection()) {
            QTextCursor c = cursorAt(e->position());
            m_owner->willEdit(c);
            insertMimeData(c, clipboard->mimeData(QClipboard::Selection));
            m_owner->setTextCursor(c);
        }
    }
    m_dragFrom.reset();
    m_dragging = false;
    Q_EMIT m_owner->mouseReleased();
}

QTextCursor VerticalTextView::cursorAt(const QPointF &point, QTextCursor::MoveMode mode)
{
    QTextCursor c = m_owner->textCursor();
    const WrappedPlainLayout::CursorsOnly measureNothing(m_owner->rowLayout());
    c.setPosition(positionAtPoint(point), mode);
    return c;
}

void VerticalTextView::mouseDoubleClickEvent(QMouseEvent *e)
{
    QTextCursor c = m_owner->textCursor();
    {
        const WrappedPlainLayout::CursorsOnly measureNothing(m_owner->rowLayout());
        c.setPosition(positionAtPoint(e->position()));
        c.select(QTextCursor::WordUnderCursor);
    }
    m_owner->setTextCursor(c);
    offerSelection(c);
    if (e->button() == Qt::LeftButton)
        Q_EMIT m_owner->doubleClicked();
}

// --- drag and drop ----------------------------------------------------------------------

void VerticalTextView::dragSelection()
{
    m_dragFrom.reset();
    QTextCursor selection = m_owner->textCursor();
    m_owner->willEdit(selection); // moved, it goes
    auto *drag = new QDrag(this);
    drag->setMimeData(mimeDataOf(selection));
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // Dropped here, the drop itself moved it.
    if (action == Qt::MoveAction && drag->target() != viewport())
        selection.removeSelectedText();
}

void VerticalTextView::dragEnterEvent(QDragEnterEvent *e)
{
    dragMoveEvent(e);
}

void VerticalTextView::dragMoveEvent(QDragMoveEvent *e)
{
    if (!canInsertMimeData(e->mimeData())) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    m_dropPosition = positionAtPoint(e->position());
    viewport()->update();
}

void VerticalTextView::dragLeaveEvent(QDragLeaveEvent *)
{
    m_dropPosition = -1;
    viewport()->update();
}

void VerticalTextView::dropEvent(QDropEvent *e)
{
    m_dropPosition = -1;
    viewport()->update();
    if (!canInsertMimeData(e->mimeData())) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    m_owner->recordAction(ActionPaste);
    QTextCursor at = cursorAt(e->position());
    m_owner->willEdit(at);
    at.beginEditBlock();
    if (e->source() == this && e->dropAction() == Qt::MoveAction) {
        QTextCursor selection = m_owner->textCursor();
        m_owner->willEdit(selection);
        selection.removeSelectedText();
    }
    insertMimeData(at, e->mimeData());
    at.endEditBlock();
    m_owner->setTextCursor(at);
    setFocus(Qt::MouseFocusReason);
}

void VerticalTextView::wheelEvent(QWheelEvent *e)
{
    // The wheel moves across columns: turning it towards you reads on, to the left.
    const int steps = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    QScrollBar *h = horizontalScrollBar();
    h->setValue(h->value() - steps * 3 * qRound(m_layout.pitch()) / 120);
    e->accept();
}

void VerticalTextView::contextMenuEvent(QContextMenuEvent *e)
{
    if (QMenu *menu = m_owner->contextMenu())
        menu->exec(e->globalPos());
}

// --- input method -----------------------------------------------------------------------

void VerticalTextView::inputMethodEvent(QInputMethodEvent *e)
{
    m_owner->composeByInputMethod(e, [this](QInputMethodEvent *coloured) {
        QTextCursor c = m_owner->textCursor();
        m_preeditCursor = editor::composeByInputMethod(c, *coloured);
        m_owner->setTextCursor(c);
        coloured->accept();
    });
    updateScrollBars();
    ensureCaretVisible();
    viewport()->update();
}

QVariant VerticalTextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: {
        // Input methods open their candidate window below the rectangle's bottom left, as
        // for a line of horizontal text. A thin rectangle on the column's right edge at the
        // top of the composition puts the window beside the column, over the text already
        // written, leaving the preedit and the rest of the column in view.
        VerticalLayout &layout = const_cast<VerticalLayout &>(m_layout);
        const int start = caretPosition();
        const qreal x = columnCentre(layout.columnOfPosition(start)) + layout.pitch() / 2;
        const qreal y = Margin - verticalScrollBar()->value() + layout.yOfPosition(start);
        return QRectF(x, y, 1, 1).translated(viewport()->pos()).toRect();
    }
    case Qt::ImFont:
        return m_layout.font();
    default:
        return editor::inputMethodQuery(m_owner->textCursor(), query);
    }
}

void VerticalTextView::focusInEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusInEvent(e);
    restartBlink();
    viewport()->update();
}

void VerticalTextView::focusOutEvent(QFocusEvent *e)
{
    QAbstractScrollArea::focusOutEvent(e);
    m_blink.stop();
    viewport()->update();
}

} // namespace editor
