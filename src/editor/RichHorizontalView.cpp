#include "editor/HorizontalRuby.h"
#include "editor/PaneAccessible.h"
#include "editor/QuietScrollBar.h"
#include "editor/RichEditSx.h"
#include "editor/TextEditing.h"
#include "editor/WrappedPlainLayout.h"
#include "text/Ruby.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace editor {

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

void RichHorizontalView::forgetRuby(int position, int added)
{
    const QTextBlock last = document()->findBlock(position + added);
    for (QTextBlock b = document()->findBlock(position); b.isValid(); b = b.next()) {
        b.setUserState(-1);
        if (b == last)
            break;
    }
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
    // Ruby and notes of the lines the paint reaches (after a key, the key's line alone);
    // a line's ruby may stand above its top, over the line before.
    QList<QTextBlock> reached, rubyReached;
    const QPointF offset = contentOffset();
    const qreal room = rubyRoom();
    for (const QTextBlock &b : shown) {
        const QRectF box = blockBoundingGeometry(b).translated(offset);
        if (box.intersects(e->rect()))
            reached.append(b);
        if (box.adjusted(0, -room, 0, 0).intersects(e->rect()))
            rubyReached.append(b);
    }
    if (m_ruby) {
        QPainter p(viewport());
        for (const QTextBlock &b : std::as_const(rubyReached))
            paintRuby(p, b);
    }
    if (m_notes)
        paintNotes(reached);
    // Painted, no layout is in use: lines far from these give theirs back.
    m_owner->rowLayout()->painted(shown.first().blockNumber(), shown.last().blockNumber());
}

qreal RichHorizontalView::rubyRoom() const
{
    return QFontMetricsF(font()).height();
}

void RichHorizontalView::repaintRows(const QTextBlock &block, int row)
{
    // From the row before: an edit at a row's head may take the last character of the row
    // before along (a closing bracket never starts a row), and ruby stands above its row.
    const QTextLayout *tl = block.layout();
    QRectF box = blockBoundingGeometry(block).translated(contentOffset());
    if (tl && row > 0 && row - 1 < tl->lineCount())
        box.setTop(box.top() + tl->lineAt(row - 1).y());
    if (m_ruby)
        box.setTop(box.top() - rubyRoom());
    box.setLeft(0);
    box.setRight(viewport()->width());
    viewport()->update(box.toAlignedRect().adjusted(0, -1, 0, 1));
}

void RichHorizontalView::paintNotes(const QList<QTextBlock> &shown)
{
    // Each visible line's note after its end, in its last row: "5・7・5", a ku that is too
    // long or too short in its own colour; the stretches it marks dotted underneath.
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
        if (!note.dotted.isEmpty()) {
            QPen dots(QColor(0xd0, 0x70, 0x00), qMax<qreal>(1, fm.height() / 12), Qt::DotLine);
            p.setPen(dots);
            for (const text::Span &s : note.dotted) {
                for (int r = 0; r < tl->lineCount(); ++r) {
                    const QTextLine row = tl->lineAt(r);
                    const int from = qMax(s.start, row.textStart());
                    const int to = qMin(s.start + s.length, row.textStart() + row.textLength());
                    if (from >= to)
                        continue;
                    const qreal y = box.top() + row.y() + row.height() - dots.widthF();
                    p.drawLine(QPointF(box.left() + row.cursorToX(from), y),
                               QPointF(box.left() + row.cursorToX(to), y));
                }
            }
        }
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
    setHorizontalScrollBar(new QuietScrollBar(Qt::Horizontal, this));
    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical, this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    installPaneAccessibility();
}

const QTextLayout *RichHorizontalView::laidOut(const QTextBlock &block) const
{
    if (block.layout()->lineCount() == 0)
        (void)document()->documentLayout()->blockBoundingRect(block);
    return block.layout();
}

QRectF RichHorizontalView::characterBox(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    const QTextLayout *layout = laidOut(block);
    const int at = position - block.position();
    const QTextLine line = layout->lineForTextPosition(at);
    if (!line.isValid())
        return {};
    const int next =
        at < line.textStart() + line.textLength() ? layout->nextCursorPosition(at) : at;
    const qreal x1 = line.cursorToX(at);
    const qreal x2 = line.cursorToX(next);
    const QPointF origin =
        blockBoundingGeometry(block).translated(contentOffset()).topLeft() + layout->position();
    return QRectF(origin.x() + qMin(x1, x2), origin.y() + line.y(), qAbs(x2 - x1), line.height());
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
    m_owner->finishLoading();
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
    m_pressOnSelection.reset();
    const QTextCursor c = textCursor();
    if (e->button() == Qt::LeftButton && c.hasSelection()) {
        const int at = cursorForPosition(e->position().toPoint()).position();
        if (at >= c.selectionStart() && at <= c.selectionEnd())
            m_pressOnSelection = e->position().toPoint();
    }
    QPlainTextEdit::mousePressEvent(e);
    Q_EMIT m_owner->mousePressed();
}

void RichHorizontalView::mouseMoveEvent(QMouseEvent *e)
{
    // Qt's edit control drags the selection once the pointer has moved this far from a press
    // on it; a move removes it, here or once dropped elsewhere.
    if (m_pressOnSelection && (e->buttons() & Qt::LeftButton) &&
        (e->position().toPoint() - *m_pressOnSelection).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_pressOnSelection.reset();
        m_owner->willEdit(textCursor());
    }
    QPlainTextEdit::mouseMoveEvent(e);
}

void RichHorizontalView::mouseReleaseEvent(QMouseEvent *e)
{
    m_pressOnSelection.reset();
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

QMimeData *RichHorizontalView::createMimeDataFromSelection() const
{
    return mimeDataOf(textCursor());
}

bool RichHorizontalView::canInsertFromMimeData(const QMimeData *source) const
{
    return canInsertMimeData(source);
}

void RichHorizontalView::insertFromMimeData(const QMimeData *source)
{
    QTextCursor c = textCursor();
    m_owner->willEdit(c);
    insertMimeData(c, source);
}

void RichHorizontalView::dropEvent(QDropEvent *e)
{
    // Text dropped is a paste, a step of its own in the undo memory.
    if (canInsertMimeData(e->mimeData()))
        m_owner->recordAction(ActionPaste);
    QPlainTextEdit::dropEvent(e);
}

} // namespace editor
