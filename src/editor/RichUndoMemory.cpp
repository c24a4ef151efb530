#include "editor/RichUndoMemory.h"

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

void RichUndoMemory::store(const RichUndoTarget &target)
{
    m_current = (m_current + 1) % SlotCount;
    m_slots[m_current] = target.undoState();
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
        target.undoText() != m_slots[m_current].text)
        store(target);
    m_lastAction = action;
}

bool RichUndoMemory::canUndo(const RichUndoTarget &target) const
{
    return !(m_current == m_oldest && target.undoText() == m_slots[m_current].text);
}

bool RichUndoMemory::undo(RichUndoTarget &target)
{
    if (!canUndo(target))
        return false;
    if (m_lastAction != ActionUndo) {
        record(ActionUndo, target);
    } else if (target.undoText() != m_slots[m_current].text) {
        // The text changed without being recorded since the last undo or redo (a file was
        // loaded, a copy-all ran). Keep that text as a step of its own; stepping back
        // without it would restore a slot older than the oldest one, or lose the text.
        store(target);
    }
    m_current = m_current == 0 ? SlotCount - 1 : m_current - 1;
    target.restoreUndoState(m_slots[m_current]);
    return true;
}

bool RichUndoMemory::redo(RichUndoTarget &target)
{
    if (!canRedo())
        return false;
    m_current = (m_current + 1) % SlotCount;
    target.restoreUndoState(m_slots[m_current]);
    m_lastAction = ActionUndo;
    return true;
}

} // namespace editor
