#include "editor/VerticalAccessible.h"

#include "editor/PaneCaret.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtMath>
#include <tuple>
#include <utility>

namespace editor {

namespace {

// The document's text in [from, to), line ends as "\n".
QString rangeText(QTextDocument *doc, int from, int to)
{
    if (from >= to)
        return {};
    QTextCursor c(doc);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// Drops what the old and the new text of a change have in common at either end, never
// halving a surrogate pair, and returns how much went from the front.
qsizetype trimCommon(QString &removed, QString &inserted)
{
    const qsizetype shorter = qMin(removed.size(), inserted.size());
    qsizetype head = 0;
    while (head < shorter && removed[head] == inserted[head])
        ++head;
    if (head > 0 && removed[head - 1].isHighSurrogate())
        --head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           removed[removed.size() - 1 - tail] == inserted[inserted.size() - 1 - tail])
        ++tail;
    if (tail > 0 && removed[removed.size() - tail].isLowSurrogate())
        --tail;
    removed = removed.mid(head, removed.size() - head - tail);
    inserted = inserted.mid(head, inserted.size() - head - tail);
    return head;
}

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

AccessibleEventSink eventSink = nullptr;

void announce(QAccessibleEvent *e)
{
    if (eventSink)
        eventSink(e);
    else
        QAccessible::updateAccessibility(e);
}

// Tells assistive technology what the pane's caret, selection and text do while the view
// shows them; the horizontal view speaks for itself.
class Announcer final : public QObject
{
public:
    explicit Announcer(VerticalTextView *view);

private:
    bool listening() const { return (eventSink || QAccessible::isActive()) && m_view->isVisible(); }
    QTextCursor cursor() const { return m_view->pane()->textCursor(); }
    void textChanged(int position, int removed, int added);
    void keepNearbyText();

    VerticalTextView *m_view;
    // The text around the caret and the selection before the latest change: a deletion is
    // reported after the fact, and this is where the removed text can still be read.
    QString m_nearby;
    int m_nearbyStart = -1;
};

Announcer::Announcer(VerticalTextView *view) : QObject(view), m_view(view)
{
    PaneCaret *caret = view->pane()->caret();
    connect(caret, &PaneCaret::cursorPositionChanged, this, [this] {
        if (!listening())
            return;
        QAccessibleTextCursorEvent e(m_view, cursor().position());
        announce(&e);
        keepNearbyText();
    });
    connect(caret, &PaneCaret::selectionChanged, this, [this] {
        if (!listening())
            return;
        const QTextCursor c = cursor();
        QAccessibleTextSelectionEvent e(m_view, c.selectionStart(), c.selectionEnd());
        e.setCursorPosition(c.position());
        announce(&e);
        keepNearbyText();
    });
    connect(view->pane()->document(), &QTextDocument::contentsChange, this,
            &Announcer::textChanged);
}

void Announcer::textChanged(int position, int removed, int added)
{
    if (!listening()) {
        m_nearbyStart = -1;
        return;
    }
    QTextDocument *doc = m_view->pane()->document();
    const int count = doc->characterCount() - 1;
    // A new text as a whole is reported with the final line end, which no offset reaches.
    const int excess = qMax(0, position + added - count);
    added -= excess;
    removed = qMax(0, removed - excess);
    QString inserted = rangeText(doc, position, position + added);
    QString old;
    if (m_nearbyStart >= 0 && position >= m_nearbyStart &&
        position + removed <= m_nearbyStart + m_nearby.size()) {
        old = m_nearby.mid(position - m_nearbyStart, removed);
        // Qt reports some changes by whole lines (the end of a composition, a change of
        // colour): only what differs is news, and nothing at all may be.
        position += int(trimCommon(old, inserted));
    } else {
        old = QString(removed, QLatin1Char(' ')); // unknown, but of the right length
    }
    keepNearbyText();
    if (old.isEmpty() && inserted.isEmpty())
        return;
    if (old.isEmpty()) {
        QAccessibleTextInsertEvent e(m_view, position, inserted);
        announce(&e);
    } else if (inserted.isEmpty()) {
        QAccessibleTextRemoveEvent e(m_view, position, old);
        announce(&e);
    } else {
        QAccessibleTextUpdateEvent e(m_view, position, old, inserted);
        announce(&e);
    }
}

void Announcer::keepNearbyText()
{
    // The caret's line with the line end before it, for Backspace at a line start, grown
    // to the selection's lines unless that would copy a large part of a long text.
    constexpr int Limit = 1 << 16;
    QTextDocument *doc = m_view->pane()->document();
    const int count = doc->characterCount() - 1;
    const QTextCursor c = cursor();
    auto span = [&](int from, int to) {
        const int start = qMax(0, doc->findBlock(from).position() - 1);
        const QTextBlock last = doc->findBlock(to);
        return std::pair{start, qMin(count, last.position() + last.length())};
    };
    auto [start, end] = span(c.selectionStart(), c.selectionEnd());
    if (end - start > Limit)
        std::tie(start, end) = span(c.position(), c.position());
    if (end - start > Limit) {
        m_nearbyStart = -1;
        m_nearby.clear();
        return;
    }
    m_nearbyStart = start;
    m_nearby = rangeText(doc, start, end);
}

QAccessibleInterface *verticalFactory(const QString &key, QObject *object)
{
    if (key != QLatin1String(VerticalTextView::staticMetaObject.className()))
        return nullptr;
    if (auto *view = qobject_cast<VerticalTextView *>(object))
        return new VerticalAccessible(view);
    return nullptr;
}

} // namespace

void installVerticalAccessibility(VerticalTextView *view)
{
    static const bool registered = [] {
        QAccessible::installFactory(verticalFactory);
        return true;
    }();
    Q_UNUSED(registered);
    new Announcer(view);
}

AccessibleEventSink setVerticalAccessibleEventSink(AccessibleEventSink sink)
{
    return std::exchange(eventSink, sink);
}

VerticalAccessible::VerticalAccessible(VerticalTextView *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

VerticalTextView *VerticalAccessible::view() const
{
    return static_cast<VerticalTextView *>(widget());
}

TRichEditSx *VerticalAccessible::pane() const
{
    return view()->pane();
}

bool VerticalAccessible::readOnly() const
{
    return pane()->horizontalView()->isReadOnly();
}

QAccessible::Role VerticalAccessible::role() const
{
    return readOnly() ? QAccessible::StaticText : QAccessible::EditableText;
}

QAccessible::State VerticalAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.multiLine = true;
    s.selectableText = true;
    s.readOnly = readOnly();
    s.editable = !s.readOnly;
    return s;
}

QString VerticalAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(t);
}

QList<QWidget *> VerticalAccessible::parts() const
{
    QList<QWidget *> list;
    for (QObject *o : view()->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && w != view()->viewport())
            list << w;
    }
    return list;
}

int VerticalAccessible::childCount() const
{
    return int(parts().size());
}

QAccessibleInterface *VerticalAccessible::child(int index) const
{
    return QAccessible::queryAccessibleInterface(parts().value(index));
}

int VerticalAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(parts().indexOf(qobject_cast<QWidget *>(child->object())));
}

void *VerticalAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

// --- caret and selection: the pane's cursor, recorded as the caret keys record it ---------

void VerticalAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor c = pane()->textCursor();
    if (selectionIndex == 0 && c.hasSelection()) {
        *startOffset = c.selectionStart();
        *endOffset = c.selectionEnd();
    }
}

int VerticalAccessible::selectionCount() const
{
    return pane()->textCursor().hasSelection() ? 1 : 0;
}

void VerticalAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset); // one selection: a new one replaces it
}

void VerticalAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    setCursorPosition(cursorPosition());
}

void VerticalAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int count = characterCount();
    QTextCursor c = pane()->textCursor();
    c.setPosition(qBound(0, startOffset, count));
    c.setPosition(qBound(0, endOffset, count), QTextCursor::KeepAnchor);
    pane()->recordAction(ActionCaret);
    pane()->setTextCursor(c);
}

int VerticalAccessible::cursorPosition() const
{
    return pane()->textCursor().position();
}

void VerticalAccessible::setCursorPosition(int position)
{
    QTextCursor c = pane()->textCursor();
    c.setPosition(qBound(0, position, characterCount()));
    pane()->recordAction(ActionCaret);
    pane()->setTextCursor(c);
}

// --- text ----------------------------------------------------------------------------------

int VerticalAccessible::characterCount() const
{
    return pane()->document()->characterCount() - 1;
}

QString VerticalAccessible::text(int startOffset, int endOffset) const
{
    const int count = characterCount();
    if (endOffset < 0)
        endOffset = count; // -1: to the end
    startOffset = qBound(0, startOffset, count);
    return rangeText(pane()->document(), startOffset, qBound(startOffset, endOffset, count));
}

QString VerticalAccessible::item(Item which, int offset, QAccessible::TextBoundaryType type,
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
    QTextDocument *doc = pane()->document();
    const int step = which == Item::Before ? -1 : which == Item::After ? 1 : 0;
    switch (type) {
    case QAccessible::NoBoundary:
        *startOffset = 0;
        *endOffset = count;
        return text(0, count);
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary: {
        // A line is a column of the view, a paragraph a line of the text; each takes its
        // line end along.
        VerticalLayout &layout = view()->layout();
        const bool columns = type == QAccessible::LineBoundary;
        const int total = columns ? layout.columnCount() : doc->blockCount();
        const int k = step + (columns ? layout.columnOfPosition(offset)
                                      : doc->findBlock(offset).blockNumber());
        auto startOf = [&](int i) {
            if (i >= total)
                return count;
            return columns ? layout.columnStart(i) : doc->findBlockByNumber(i).position();
        };
        *startOffset = *endOffset = k < 0 ? 0 : count;
        if (k < 0 || k >= total)
            return {};
        *startOffset = startOf(k);
        *endOffset = startOf(k + 1);
        return text(*startOffset, *endOffset);
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

QString VerticalAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType type,
                                             int *startOffset, int *endOffset) const
{
    return item(Item::Before, offset, type, startOffset, endOffset);
}

QString VerticalAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType type,
                                            int *startOffset, int *endOffset) const
{
    return item(Item::After, offset, type, startOffset, endOffset);
}

QString VerticalAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType type,
                                         int *startOffset, int *endOffset) const
{
    return item(Item::At, offset, type, startOffset, endOffset);
}

QString VerticalAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

// --- geometry ------------------------------------------------------------------------------

QRect VerticalAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset > characterCount())
        return {};
    const QRectF box = view()->characterRect(offset);
    return QRectF(view()->viewport()->mapToGlobal(box.topLeft()), box.size()).toRect();
}

int VerticalAccessible::offsetAtPoint(const QPoint &point) const
{
    VerticalTextView *v = view();
    const QPointF local = v->viewport()->mapFromGlobal(QPointF(point));
    if (!QRectF(v->viewport()->rect()).contains(local))
        return -1;
    // The hit test finds the caret position nearest to the point: the character under the
    // point follows it, or, on a character's lower half, precedes it.
    const int position = v->positionAtPoint(local);
    int previous = position - 1;
    QTextDocument *doc = pane()->document();
    if (previous > 0 && doc->characterAt(previous).isLowSurrogate())
        --previous;
    const int count = characterCount();
    for (const int candidate : {position, previous}) {
        if (candidate >= 0 && candidate < count && v->characterRect(candidate).contains(local))
            return candidate;
    }
    return -1; // beyond the end of a column, or between the columns and the edges
}

void VerticalAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    const int count = characterCount();
    startIndex = qBound(0, startIndex, count);
    endIndex = qBound(startIndex, endIndex, count);
    VerticalTextView *v = view();
    const QRectF area = v->viewport()->rect();
    // The whole substring if it fits the view, otherwise its start.
    QRectF box = v->characterRect(startIndex);
    const QRectF whole = box.united(v->characterRect(qMax(startIndex, endIndex - 1)));
    if (whole.width() <= area.width() && whole.height() <= area.height())
        box = whole;
    // Columns move to the left as the horizontal value grows smaller.
    QScrollBar *h = v->horizontalScrollBar();
    if (box.left() < area.left())
        h->setValue(h->value() + qCeil(area.left() - box.left()));
    else if (box.right() > area.right())
        h->setValue(h->value() - qCeil(box.right() - area.right()));
    QScrollBar *vertical = v->verticalScrollBar();
    if (box.top() < area.top())
        vertical->setValue(vertical->value() - qCeil(area.top() - box.top()));
    else if (box.bottom() > area.bottom())
        vertical->setValue(vertical->value() + qCeil(box.bottom() - area.bottom()));
}

// --- editing: as a paste or a deletion would, so that Undo takes it back ------------------

void VerticalAccessible::edit(int startOffset, int endOffset, const QString &text, int undoAction)
{
    if (readOnly())
        return;
    const int count = characterCount();
    startOffset = qBound(0, startOffset, count);
    endOffset = qBound(startOffset, endOffset, count);
    if (startOffset == endOffset && text.isEmpty())
        return;
    pane()->recordAction(undoAction);
    QTextCursor c = pane()->textCursor();
    c.setPosition(startOffset);
    c.setPosition(endOffset, QTextCursor::KeepAnchor);
    pane()->willEdit(c);
    if (text.isEmpty())
        c.removeSelectedText();
    else
        c.insertText(text);
    pane()->setTextCursor(c);
}

void VerticalAccessible::deleteText(int startOffset, int endOffset)
{
    edit(startOffset, endOffset, {}, ActionDelete);
}

void VerticalAccessible::insertText(int offset, const QString &text)
{
    edit(offset, offset, text, ActionPaste);
}

void VerticalAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    edit(startOffset, endOffset, text, ActionPaste);
}

} // namespace editor
