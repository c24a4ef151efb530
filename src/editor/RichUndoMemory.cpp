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

void RichUndoMemory::store(const RichUndoTarget &target)
{
    const RichUndoState now = target.undoState();
    // The slot the new one follows keeps only what differs from it: the span between their
    // common start and common end.
    const QString before = textOf(m_current);
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(before.size(), now.text.size());
    while (prefix < shorter && before[prefix] == now.text[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == now.text[now.text.size() - 1 - suffix])
        ++suffix;
    Slot &previous = m_slots[m_current];
    previous.whole = false;
    previous.start = int(prefix);
    previous.removed = int(now.text.size() - prefix - suffix);
    previous.text = before.mid(prefix, before.size() - prefix - suffix);

    m_current = (m_current + 1) % SlotCount;
    m_slots[m_current] = {now.firstVisibleLine, now.selStart, now.selLength, true, now.text, 0, 0};
    m_newest = m_current;
    if (m_current == m_oldest)
        m_oldest = (m_oldest + 1) % SlotCount;
}

void RichUndoMemory::record(int action, const RichUndoTarget &target)
{
    const bool repeatable = action == ActionUndo || action == ActionCaret ||
                            action == ActionEnter || action == ActionDelete ||
                            action == ActionTyping;
    if (!(repeatable && action == m_lastAction) && m_lastAction != ActionUndo &&
        !target.hasText(textOf(m_current)))
        store(target);
    m_lastAction = action;
}

bool RichUndoMemory::canUndo(const RichUndoTarget &target) const
{
    return !(m_current == m_oldest && target.hasText(textOf(m_current)));
}

bool RichUndoMemory::undo(RichUndoTarget &target)
{
    if (!canUndo(target))
        return false;
    if (m_lastAction != ActionUndo) {
        record(ActionUndo, target);
    } else if (!target.hasText(textOf(m_current))) {
        // The text changed without being recorded since the last undo or redo (a file was
        // loaded, a copy-all ran). Keep that text as a step of its own; stepping back
        // without it would restore a slot older than the oldest one, or lose the text.
        store(target);
    }
    m_current = m_current == 0 ? SlotCount - 1 : m_current - 1;
    target.restoreUndoState(slot(m_current));
    return true;
}

bool RichUndoMemory::redo(RichUndoTarget &target)
{
    if (!canRedo())
        return false;
    m_current = (m_current + 1) % SlotCount;
    target.restoreUndoState(slot(m_current));
    m_lastAction = ActionUndo;
    return true;
}

} // namespace editor
