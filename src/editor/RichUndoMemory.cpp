#include "editor/RichUndoMemory.h"

#include <algorithm>
#include <utility>

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

QString RichUndoMemory::textOf(int index, const RichUndoTarget &target) const
{
    // From the current slot's text (the target's as marked), each slot's change undone or
    // redone in turn.
    QString text = target.undoText();
    const RichUndoTarget::Change change = target.changeSinceMark();
    if (change.any)
        text.replace(change.head, text.size() - change.head - change.tail, change.before);
    const int back = (m_current - index + SlotCount) % SlotCount;
    if (back <= (m_current - m_oldest + SlotCount) % SlotCount) {
        for (int i = m_current; i != index;) {
            i = i == 0 ? SlotCount - 1 : i - 1;
            const Slot &s = m_slots[i];
            text.replace(s.start, s.nextLength, s.text);
        }
    } else {
        for (int i = m_current; i != index; i = (i + 1) % SlotCount) {
            const Slot &s = m_slots[i];
            text.replace(s.start, s.text.size(), s.next);
        }
    }
    return text;
}

RichUndoState RichUndoMemory::slot(int index, const RichUndoTarget &target) const
{
    const Slot &s = m_slots.at(index);
    return {textOf(index, target), s.firstVisibleLine, s.selStart, s.selLength};
}

bool RichUndoMemory::changed(const RichUndoTarget &target) const
{
    const RichUndoTarget::Change change = target.changeSinceMark();
    if (!change.any)
        return false;
    const qsizetype end = target.undoTextLength() - change.tail;
    return end - change.head != change.before.size() ||
           target.undoTextPart(change.head, end) != change.before;
}

RichUndoMemory::Slot RichUndoMemory::placed(const RichUndoState &place)
{
    Slot s;
    s.firstVisibleLine = place.firstVisibleLine;
    s.selStart = place.selStart;
    s.selLength = place.selLength;
    return s;
}

void RichUndoMemory::store(RichUndoTarget &target)
{
    const RichUndoState place = target.undoPlace();
    const RichUndoTarget::Change change = target.changeSinceMark();
    qsizetype start = change.head;
    qsizetype end = target.undoTextLength() - change.tail;
    QString before = change.before;
    // What the changed part begins and ends with as it did before is not kept. The text is
    // read only as far as the part before goes: a text loaded in place of an empty one is
    // not read at all.
    const qsizetype both = std::min(before.size(), end - start);
    if (both > 0) {
        const QString first = target.undoTextPart(start, start + both);
        qsizetype head = 0;
        while (head < both && first[head] == before[head])
            ++head;
        const QString last = target.undoTextPart(end - (both - head), end);
        qsizetype tail = 0;
        while (tail < both - head &&
               last[last.size() - 1 - tail] == before[before.size() - 1 - tail])
            ++tail;
        before = before.mid(head, before.size() - head - tail);
        start += head;
        end -= tail;
    }
    Slot &previous = m_slots[m_current];
    previous.start = start;
    previous.text = before;
    previous.nextLength = end - start;
    previous.next.clear();

    m_current = (m_current + 1) % SlotCount;
    m_slots[m_current] = placed(place);
    m_newest = m_current;
    if (m_saved == m_current)
        m_saved = -1; // overwritten
    if (std::exchange(m_savedPending, false))
        m_saved = m_current;
    if (m_current == m_oldest)
        m_oldest = (m_oldest + 1) % SlotCount;
    target.markUnchanged();
}

void RichUndoMemory::forget(RichUndoTarget &target)
{
    const RichUndoState place = target.undoPlace();
    m_slots = {};
    m_current = m_newest = m_oldest = 0;
    m_slots[0] = placed(place);
    m_lastAction = ActionCaret;
    m_saved = -1;
    m_savedPending = false;
    target.markUnchanged();
}

void RichUndoMemory::markSaved(const RichUndoTarget &target)
{
    if (!target.changeSinceMark().any) {
        m_saved = m_current;
        m_savedPending = false;
        return;
    }
    // The text is not a step yet: the next one stored is it, and the next action stores.
    m_saved = -1;
    m_savedPending = true;
    if (m_lastAction != ActionUndo)
        m_lastAction = ActionMouse;
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
    // in one span; what the span holds now is kept for a redo.
    m_current = m_current == 0 ? SlotCount - 1 : m_current - 1;
    Slot &s = m_slots[m_current];
    s.next = target.undoTextPart(s.start, s.start + s.nextLength);
    target.restoreUndoChange({QString(), s.firstVisibleLine, s.selStart, s.selLength}, s.start,
                             s.nextLength, s.text);
    target.markUnchanged();
    return true;
}

bool RichUndoMemory::redo(RichUndoTarget &target)
{
    if (!canRedo())
        return false;
    Slot &from = m_slots[m_current];
    const int next = (m_current + 1) % SlotCount;
    const Slot &to = m_slots[next];
    if (!changed(target)) {
        // The slot left differs from the next one in one span: the next one's part goes back.
        target.restoreUndoChange({QString(), to.firstVisibleLine, to.selStart, to.selLength},
                                 from.start, from.text.size(), from.next);
    } else {
        target.restoreUndoState(slot(next, target));
    }
    from.next.clear(); // the text holds it again
    m_current = next;
    target.markUnchanged();
    m_lastAction = ActionUndo;
    return true;
}

} // namespace editor
