#include "editor/PaneAccessible.h"

#include "editor/RichEditSx.h"
#include "editor/VerticalAccessible.h"
#include "editor/VerticalTextView.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>
#include <utility>

namespace editor {

namespace {

// A few lines of the text for the base class's word, sentence and character finders, which
// would otherwise copy and scan the whole document for every question. None of those items
// reaches across a line end, so the lines on either side of the offset's line are enough.
class TextWindow final : public QAccessibleTextInterface
{
public:
    explicit TextWindow(QString text) : m_text(std::move(text)) {}
    QString text(int startOffset, int endOffset) const override
    {
        return m_text.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(m_text.size()); }
    // The finders use nothing else.
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return {};
    }

private:
    QString m_text;
};

QAccessibleInterface *paneFactory(const QString &key, QObject *object)
{
    if (key == QLatin1String(VerticalTextView::staticMetaObject.className())) {
        if (auto *view = qobject_cast<VerticalTextView *>(object))
            return new VerticalAccessible(view);
    } else if (key == QLatin1String(RichHorizontalView::staticMetaObject.className())) {
        if (auto *view = qobject_cast<RichHorizontalView *>(object))
            return new HorizontalAccessible(view);
    }
    return nullptr;
}

} // namespace

void installPaneAccessibility()
{
    static const bool registered = [] {
        QAccessible::installFactory(paneFactory);
        return true;
    }();
    Q_UNUSED(registered);
}

PaneAccessible::PaneAccessible(QAbstractScrollArea *view, TRichEditSx *pane)
    : QAccessibleWidget(view, QAccessible::EditableText), m_pane(pane)
{
}

QWidget *PaneAccessible::viewport() const
{
    return static_cast<QAbstractScrollArea *>(widget())->viewport();
}

bool PaneAccessible::readOnly() const
{
    return m_pane->horizontalView()->isReadOnly();
}

QAccessible::Role PaneAccessible::role() const
{
    return readOnly() ? QAccessible::StaticText : QAccessible::EditableText;
}

QAccessible::State PaneAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.multiLine = true;
    s.selectableText = true;
    s.readOnly = readOnly();
    s.editable = !s.readOnly;
    return s;
}

QString PaneAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(t);
}

QList<QWidget *> PaneAccessible::parts() const
{
    QList<QWidget *> list;
    for (QObject *o : widget()->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && w != viewport())
            list << w;
    }
    return list;
}

int PaneAccessible::childCount() const
{
    return int(parts().size());
}

QAccessibleInterface *PaneAccessible::child(int index) const
{
    return QAccessible::queryAccessibleInterface(parts().value(index));
}

int PaneAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(parts().indexOf(qobject_cast<QWidget *>(child->object())));
}

void *PaneAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

// --- caret and selection: the pane's cursor, recorded as the caret keys record it ---------

void PaneAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor c = m_pane->textCursor();
    if (selectionIndex == 0 && c.hasSelection()) {
        *startOffset = c.selectionStart();
        *endOffset = c.selectionEnd();
    }
}

int PaneAccessible::selectionCount() const
{
    return m_pane->textCursor().hasSelection() ? 1 : 0;
}

void PaneAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset); // one selection: a new one replaces it
}

void PaneAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    setCursorPosition(cursorPosition());
}

void PaneAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    m_pane->recordAction(ActionCaret);
    m_pane->setTextCursor(m_pane->placedCursor(startOffset, endOffset)); // clamped there
}

int PaneAccessible::cursorPosition() const
{
    return m_pane->textCursor().position();
}

void PaneAccessible::setCursorPosition(int position)
{
    m_pane->recordAction(ActionCaret);
    m_pane->setSelection(position, 0);
}

// --- text ----------------------------------------------------------------------------------

int PaneAccessible::characterCount() const
{
    return m_pane->document()->characterCount() - 1;
}

QString PaneAccessible::text(int startOffset, int endOffset) const
{
    const int count = characterCount();
    if (endOffset < 0)
        endOffset = count; // -1: to the end
    startOffset = qBound(0, startOffset, count);
    endOffset = qBound(startOffset, endOffset, count);
    return m_pane->textBetween(startOffset, endOffset);
}

QString PaneAccessible::item(Item which, int offset, QAccessible::TextBoundaryType type,
                             int *startOffset, int *endOffset) const
{
    const int count = characterCount();
    if (offset == -2)
        offset = cursorPosition();
    else if (offset == -1)
        offset = count;
    *startOffset = *endOffset = -1;
    if (offset < 0 || offset > count)
        return {};
    QTextDocument *doc = m_pane->document();
    switch (type) {
    case QAccessible::NoBoundary:
        *startOffset = 0;
        *endOffset = count;
        return text(0, count);
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary: {
        // A line is the view's, a paragraph a line of the text; each takes its line end
        // along. Before the first and after the last there is an empty one.
        const auto around = [&](int at) -> std::pair<int, int> {
            if (type == QAccessible::LineBoundary)
                return lineAround(at);
            const QTextBlock block = doc->findBlock(at);
            return {block.position(), qMin(count, block.position() + block.length())};
        };
        std::pair<int, int> line = around(offset);
        if (which == Item::Before)
            line = line.first > 0 ? around(line.first - 1) : std::pair{0, 0};
        else if (which == Item::After)
            line = line.second < count ? around(line.second) : std::pair{count, count};
        std::tie(*startOffset, *endOffset) = line;
        return text(line.first, line.second);
    }
    default: {
        const QTextBlock block = doc->findBlock(offset);
        const QTextBlock before = block.previous().isValid() ? block.previous() : block;
        const QTextBlock after = block.next().isValid() ? block.next() : block;
        const int from = before.position();
        const TextWindow window(text(from, after.position() + after.length()));
        const int local = offset - from;
        QString s =
            which == Item::Before  ? window.textBeforeOffset(local, type, startOffset, endOffset)
            : which == Item::After ? window.textAfterOffset(local, type, startOffset, endOffset)
                                   : window.textAtOffset(local, type, startOffset, endOffset);
        if (*startOffset >= 0) {
            *startOffset += from;
            *endOffset += from;
        }
        return s;
    }
    }
}

QString PaneAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType type,
                                         int *startOffset, int *endOffset) const
{
    return item(Item::Before, offset, type, startOffset, endOffset);
}

QString PaneAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType type,
                                        int *startOffset, int *endOffset) const
{
    return item(Item::After, offset, type, startOffset, endOffset);
}

QString PaneAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType type,
                                     int *startOffset, int *endOffset) const
{
    return item(Item::At, offset, type, startOffset, endOffset);
}

QString PaneAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

// --- geometry ------------------------------------------------------------------------------

QRect PaneAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset > characterCount())
        return {};
    const QRectF b = box(offset);
    return QRectF(viewport()->mapToGlobal(b.topLeft()), b.size()).toRect();
}

int PaneAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPointF local = viewport()->mapFromGlobal(QPointF(point));
    if (!QRectF(viewport()->rect()).contains(local))
        return -1;
    // The hit test finds the caret position nearest to the point: the character under the
    // point follows it, or, past the middle of a character, precedes it.
    const int position = caretPositionAt(local);
    int previous = position - 1;
    if (previous > 0 && m_pane->document()->characterAt(previous).isLowSurrogate())
        --previous;
    const int count = characterCount();
    for (const int candidate : {position, previous}) {
        if (candidate >= 0 && candidate < count && box(candidate).contains(local))
            return candidate;
    }
    return -1; // past the end of a line, or between the lines and the edges
}

// --- editing: as a paste or a deletion would, so that Undo takes it back ------------------

void PaneAccessible::edit(int startOffset, int endOffset, const QString &text, int undoAction)
{
    if (readOnly())
        return;
    const int count = characterCount();
    startOffset = qBound(0, startOffset, count);
    endOffset = qBound(startOffset, endOffset, count);
    if (startOffset == endOffset && text.isEmpty())
        return;
    m_pane->recordAction(undoAction);
    QTextCursor c = m_pane->placedCursor(startOffset, endOffset);
    m_pane->replaceSelection(c, text);
    m_pane->setTextCursor(c);
}

void PaneAccessible::deleteText(int startOffset, int endOffset)
{
    edit(startOffset, endOffset, {}, ActionDelete);
}

void PaneAccessible::insertText(int offset, const QString &text)
{
    edit(offset, offset, text, ActionPaste);
}

void PaneAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    edit(startOffset, endOffset, text, ActionPaste);
}

// --- the horizontal view: rows, and characters as its lines lay them out ------------------

HorizontalAccessible::HorizontalAccessible(RichHorizontalView *view)
    : PaneAccessible(view, view->pane())
{
}

RichHorizontalView *HorizontalAccessible::view() const
{
    return static_cast<RichHorizontalView *>(widget());
}

QRectF HorizontalAccessible::box(int offset) const
{
    return view()->characterBox(offset);
}

int HorizontalAccessible::caretPositionAt(const QPointF &point) const
{
    return view()->cursorForPosition(point.toPoint()).position();
}

std::pair<int, int> HorizontalAccessible::lineAround(int offset) const
{
    QTextDocument *doc = pane()->document();
    const int count = characterCount();
    QTextBlock block = doc->findBlock(offset);
    if (!block.isValid())
        block = doc->lastBlock();
    const int end = qMin(count, block.position() + block.length());
    const QTextLayout *layout = view()->laidOut(block);
    const QTextLine line = layout->lineForTextPosition(offset - block.position());
    if (!line.isValid())
        return {block.position(), end};
    const int next = line.lineNumber() + 1;
    return {block.position() + line.textStart(),
            next < layout->lineCount() ? block.position() + layout->lineAt(next).textStart() : end};
}

void HorizontalAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    if (pane()->Vertical())
        return; // this view is hidden
    const int count = characterCount();
    startIndex = qBound(0, startIndex, count);
    endIndex = qBound(startIndex, endIndex, count);
    const QRectF area = viewport()->rect();
    // The view scrolls by rows: the start's row at the top, unless it is in view already.
    QRectF start = box(startIndex);
    if (start.top() < area.top() || start.bottom() > area.bottom()) {
        pane()->setSelTopIndex(pane()->rowOfPosition(startIndex));
        start = box(startIndex);
    }
    // Across, by pixels, where lines are not wrapped: the whole substring if it fits.
    QRectF across = start.united(box(qMax(startIndex, endIndex - 1)));
    if (across.width() > area.width())
        across = start;
    QScrollBar *h = view()->horizontalScrollBar();
    if (across.left() < area.left())
        h->setValue(h->value() - qCeil(area.left() - across.left()));
    else if (across.right() > area.right())
        h->setValue(h->value() + qCeil(across.right() - area.right()));
}

} // namespace editor
