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
// A target may also keep count of where its text changed since the memory last marked it
// (after each step stored or restored): the memory then reads and compares only the part
// that changed, and restores a step by replacing that part, instead of whole texts.
class RichUndoTarget
{
public:
    virtual ~RichUndoTarget() = default;
    virtual QString undoText() const = 0;
    virtual RichUndoState undoState() const = 0;
    virtual void restoreUndoState(const RichUndoState &state) = 0;

    // The caret and top line of undoState(), its text left empty.
    virtual RichUndoState undoPlace() const
    {
        RichUndoState s = undoState();
        s.text.clear();
        return s;
    }
    virtual qsizetype undoTextLength() const { return undoText().size(); }
    // The text's part [from, to).
    virtual QString undoTextPart(qsizetype from, qsizetype to) const
    {
        return undoText().mid(from, to - from);
    }
    // How long a start and an end of the text are surely as they were when last marked.
    struct Unchanged
    {
        qsizetype head = 0;
        qsizetype tail = 0;
    };
    virtual Unchanged unchangedSinceMark() const { return {}; }
    virtual void markUnchanged() {}
    // Restores a state whose text is the current one with [start, start + removed)
    // replaced by `text`; `place` holds the caret and top line.
    virtual void restoreUndoChange(const RichUndoState &place, qsizetype start, qsizetype removed,
                                   const QString &text)
    {
        RichUndoState s = place;
        s.text = undoText();
        s.text.replace(start, removed, text);
        restoreUndoState(s);
    }
};

class RichUndoMemory
{
public:
    static constexpr int SlotCount = 15;

    void record(int action, RichUndoTarget &target);
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
    void store(RichUndoTarget &target);
    QString textOf(int index) const;
    // Whether the target's text differs from the current slot's.
    bool changed(const RichUndoTarget &target) const;
    // The lengths of the common start and end of the target's text and `base`, and the
    // target's part between them.
    RichUndoTarget::Unchanged commonEnds(const RichUndoTarget &target, const QString &base,
                                         QString *part) const;

    std::array<Slot, SlotCount> m_slots{};
    int m_current = 0;
    int m_newest = 0;
    int m_oldest = 0;
    int m_lastAction = ActionCaret;
};

} // namespace editor
