#include "editor/RichUndoMemory.h"

#include <algorithm>

namespace editor {

std::optional<UndoAction> undoActionForKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_Insert:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_unknown:
        return std::nullopt;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return ActionCaret;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ActionEnter;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return ActionDelete;
    default:
        break;
    }
    if (key == Qt::Key_Tab || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return ctrl ? std::nullopt : std::optional<UndoAction>(ActionTyping);
    return ActionTyping;
}

QString RichUndoMemory::textOf(int index) const
{
    // Back from the nearest newer slot that is whole, each slot's change undone in turn.
    int whole = index;
    while (!m_slots[whole].whole && whole != m_newest)
        whole = (whole + 1) % SlotCount;
    QString text = m_slots[whole].text;
    for (int i = whole; i != index;) {
        i = i == 0 ? SlotCount - 1 : i - 1;
        const Slot &s = m_slots[i];
        text.replace(s.start, s.removed, s.text);
    }
    return text;
}

RichUndoState RichUndoMemory::slot(int index) const
{
    const Slot &s = m_slots.at(index);
    return {textOf(index), s.firstVisibleLine, s.selStart, s.selLength};
}

RichUndoTarget::Unchanged RichUndoMemory::commonEnds(const RichUndoTarget &target,
                                                     const QString &base, QString *part) const
{
    const qsizetype length = target.undoTextLength();
    const qsizetype shorter = std::min(length, base.size());
    RichUndoTarget::Unchanged ends = target.unchangedSinceMark();
    ends.head = std::min(ends.head, shorter);
    ends.tail = std::min(ends.tail, shorter - ends.head);
    // What the target counts as changed may be more than what differs (a character typed
    // and deleted again): the common start and end are looked for within it.
    *part = target.undoTextPart(ends.head, length - ends.tail);
    const QStringView old = QStringView(base).mid(ends.head, base.size() - ends.head - ends.tail);
    const qsizetype both = std::min(part->size(), old.size());
    qsizetype head = 0;
    while (head < both && (*part)[head] == old[head])
        ++head;
    qsizetype tail = 0;
    while (tail < both - head && (*part)[part->size() - 1 - tail] == old[old.size() - 1 - tail])
        ++tail;
    part->remove(part->size() - tail, tail);
    part->remove(0, head);
    return {ends.head + head, ends.tail + tail};
}

bool RichUndoMemory::changed(const RichUndoTarget &target) const
{
    const QString base = textOf(m_current);
    if (target.undoTextLength() != base.size())
        return true;
    QString part;
    const RichUndoTarget::Unchanged ends = commonEnds(target, base, &part);
    return ends.head + ends.tail < base.size();
}

void RichUndoMemory::store(RichUndoTarget &target)
{
    const RichUndoState place = target.undoPlace();
    // The slot the new one follows keeps only what differs from it: the span between their
    // common start and common end.
    QString text = textOf(m_current);
    QString part;
    const RichUndoTarget::Unchanged ends = commonEnds(target, text, &part);
    const qsizetype oldSpan = text.size() - ends.head - ends.tail;
    Slot &previous = m_slots[m_current];
    previous.whole = false;
    previous.start = int(ends.head);
    previous.removed = int(part.size());
    previous.text = text.mid(ends.head, oldSpan);
    // The new slot's whole text is the old one with that span replaced, made in place (the
    // old slot's copy of it was just let go).
    text.replace(ends.head, oldSpan, part);

    m_current = (m_current + 1) % SlotCount;
    m_slots[m_current] = {
        place.firstVisibleLine, place.selStart, place.selLength, true, std::move(text), 0, 0};
    m_newest = m_current;
    if (m_current == m_oldest)
        m_oldest = (m_oldest + 1) % SlotCount;
    target.markUnchanged();
}

void RichUndoMemory::record(int action, RichUndoTarget &target)
{
    const bool repeatable = action == ActionUndo || action == ActionCaret ||
                            action == ActionEnter || action == ActionDelete ||
                            action == ActionTyping;
    if (!(repeatable && action == m_lastAction) && m_lastAction != ActionUndo && changed(target))
        store(target);
    m_lastAction = action;
}

bool RichUndoMemory::canUndo(const RichUndoTarget &target) const
{
    return !(m_current == m_oldest && !changed(target));
}

bool RichUndoMemory::undo(RichUndoTarget &target)
{
    if (!canUndo(target))
        return false;
    if (m_lastAction != ActionUndo) {
        record(ActionUndo, target);
    } else if (changed(target)) {
        // The text changed without being recorded since the last undo or redo (a file was
        // loaded, a copy-all ran). Keep that text as a step of its own; stepping back
        // without it would restore a slot older than the oldest one, or lose the text.
        store(target);
    }
    // The target now holds the current slot's text, and the slot before differs from it
    // in one span.
    m_current = m_current == 0 ? SlotCount - 1 : m_current - 1;
    const Slot &s = m_slots[m_current];
    target.restoreUndoChange({QString(), s.firstVisibleLine, s.selStart, s.selLength}, s.start,
                             s.removed, s.text);
    target.markUnchanged();
    return true;
}

bool RichUndoMemory::redo(RichUndoTarget &target)
{
    if (!canRedo())
        return false;
    const bool unchanged = !changed(target);
    const Slot &from = m_slots[m_current];
    m_current = (m_current + 1) % SlotCount;
    const Slot &to = m_slots[m_current];
    if (unchanged) {
        // The slot left differs from the next one in one span: the next one's part goes back.
        const QString next = textOf(m_current);
        target.restoreUndoChange({QString(), to.firstVisibleLine, to.selStart, to.selLength},
                                 from.start, from.text.size(), next.mid(from.start, from.removed));
    } else {
        target.restoreUndoState(slot(m_current));
    }
    target.markUnchanged();
    m_lastAction = ActionUndo;
    return true;
}

} // namespace editor
