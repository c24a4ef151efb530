#pragma once
// The pane's own undo and redo memory: a ring of fifteen snapshots, each taken before a
// burst of like actions. A run of typing, deleting or caret movement is one step; every
// mouse click in the pane, paste and start of an input-method composition begins a new one.
// Fifteen slots hold at most fourteen steps back; older states are overwritten.
//
// Example: type "abc", press Right, type "def", Undo: the ring holds "" (slot 0), "abc"
// (stored when the arrow key broke the typing run) and "abcdef" (stored by the undo itself),
// and the pane goes back to "abc" with the caret where it was; a second Undo gives "".
//
// Only the newest slot holds its whole text; every older one holds what differs from the
// slot after it (the span that changed and its text there), so fifteen steps through a
// long text keep about one copy of it, not fifteen.

#include <QString>
#include <Qt>
#include <array>
#include <optional>

namespace editor {

enum UndoAction : int {
    ActionUndo = 0, // also the state after a redo
    ActionCaret = 1,
    ActionEnter = 2,
    ActionMouse = 3,
    ActionDelete = 4,
    ActionTyping = 5,
    ActionPaste = 6,
    ActionComposition = 9,
};

// Which action a key press records, or none for keys that leave the memory alone
// (Shift, Ctrl, Insert, F3, F4, the input method's own key, and Tab and A to Z with Ctrl held).
std::optional<UndoAction> undoActionForKey(int key, Qt::KeyboardModifiers modifiers);

struct RichUndoState
{
    QString text;
    int firstVisibleLine = 0;
    int selStart = 0;
    int selLength = 0;
};

// What the memory needs of a pane; the edit control implements it, tests use a plain struct.
class RichUndoTarget
{
public:
    virtual ~RichUndoTarget() = default;
    virtual QString undoText() const = 0;
    // Whether the text is this one; a pane answers most cases from the length alone.
    virtual bool hasText(const QString &text) const { return undoText() == text; }
    virtual RichUndoState undoState() const = 0;
    virtual void restoreUndoState(const RichUndoState &state) = 0;
};

class RichUndoMemory
{
public:
    static constexpr int SlotCount = 15;

    void record(int action, const RichUndoTarget &target);
    bool canUndo(const RichUndoTarget &target) const;
    bool canRedo() const { return m_current != m_newest; }
    bool undo(RichUndoTarget &target);
    bool redo(RichUndoTarget &target);

    int current() const { return m_current; }
    int newest() const { return m_newest; }
    int oldest() const { return m_oldest; }
    int lastAction() const { return m_lastAction; }
    // A slot's state, its text made whole.
    RichUndoState slot(int index) const;

private:
    // A slot: the caret and top line of its state, and its text, whole (the newest slot) or
    // as the slot after it with [start, start + removed) replaced by `text`.
    struct Slot
    {
        int firstVisibleLine = 0;
        int selStart = 0;
        int selLength = 0;
        bool whole = true;
        QString text;
        int start = 0;
        int removed = 0;
    };
    void store(const RichUndoTarget &target);
    QString textOf(int index) const;

    std::array<Slot, SlotCount> m_slots{};
    int m_current = 0;
    int m_newest = 0;
    int m_oldest = 0;
    int m_lastAction = ActionCaret;
};

} // namespace editor
