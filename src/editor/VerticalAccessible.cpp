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
    QString inserted = m_view->pane()->textBetween(position, position + added);
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
    m_nearby = m_view->pane()->textBetween(start, end);
}

} // namespace

void installVerticalAccessibility(VerticalTextView *view)
{
    installPaneAccessibility();
    new Announcer(view);
}

AccessibleEventSink setVerticalAccessibleEventSink(AccessibleEventSink sink)
{
    return std::exchange(eventSink, sink);
}

VerticalAccessible::VerticalAccessible(VerticalTextView *view) : PaneAccessible(view, view->pane())
{
}

VerticalTextView *VerticalAccessible::view() const
{
    return static_cast<VerticalTextView *>(widget());
}

QRectF VerticalAccessible::box(int offset) const
{
    return view()->characterRect(offset);
}

int VerticalAccessible::caretPositionAt(const QPointF &point) const
{
    return view()->positionAtPoint(point);
}

std::pair<int, int> VerticalAccessible::lineAround(int offset) const
{
    VerticalLayout &layout = view()->layout();
    const int column = layout.columnOfPosition(offset);
    const int end =
        column + 1 < layout.columnCount() ? layout.columnStart(column + 1) : characterCount();
    return {layout.columnStart(column), end};
}

void VerticalAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    const int count = characterCount();
    startIndex = qBound(0, startIndex, count);
    endIndex = qBound(startIndex, endIndex, count);
    VerticalTextView *v = view();
    const QRectF area = v->viewport()->rect();
    // The whole substring if it fits the view, otherwise its start.
    QRectF target = v->characterRect(startIndex);
    const QRectF whole = target.united(v->characterRect(qMax(startIndex, endIndex - 1)));
    if (whole.width() <= area.width() && whole.height() <= area.height())
        target = whole;
    // Columns move to the left as the horizontal value grows smaller.
    QScrollBar *h = v->horizontalScrollBar();
    if (target.left() < area.left())
        h->setValue(h->value() + qCeil(area.left() - target.left()));
    else if (target.right() > area.right())
        h->setValue(h->value() - qCeil(target.right() - area.right()));
    QScrollBar *vertical = v->verticalScrollBar();
    if (target.top() < area.top())
        vertical->setValue(vertical->value() - qCeil(area.top() - target.top()));
    else if (target.bottom() > area.bottom())
        vertical->setValue(vertical->value() + qCeil(target.bottom() - area.bottom()));
}

} // namespace editor
