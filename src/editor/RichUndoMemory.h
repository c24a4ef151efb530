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
// No slot holds a whole text. The current slot's text is the pane's own, as it was when the
// memory last stored or restored a step; every other slot holds what differs from the slot
// after it (the span that changed, its text on both sides once known), so fifteen steps
// through a long text keep only what the steps changed.

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
// The memory marks the text after each step it stores or restores. The target keeps what
// its text was when marked, for the part that changed since: the memory reads only that part
// and restores a step by replacing it, never whole texts.
class RichUndoTarget
{
public:
    virtual ~RichUndoTarget() = default;
    virtual QString undoText() const = 0;
    // The caret and top line (its text left empty).
    virtual RichUndoState undoPlace() const = 0;
    virtual void restoreUndoState(const RichUndoState &state) = 0;

    virtual qsizetype undoTextLength() const { return undoText().size(); }
    // The text's part [from, to).
    virtual QString undoTextPart(qsizetype from, qsizetype to) const
    {
        return undoText().mid(from, to - from);
    }
    // What changed since the text was marked: its part [head, length - tail) was `before`.
    // The part may hold more than what differs (a character typed and deleted again).
    struct Change
    {
        bool any = false;
        qsizetype head = 0;
        qsizetype tail = 0;
        QString before;
    };
    virtual Change changeSinceMark() const = 0;
    virtual void markUnchanged() = 0;
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
    // Forgets every step: the target's text, as it is, becomes the only slot. For a text
    // changed in a way the target could not follow.
    void forget(RichUndoTarget &target);

    // The target's text as it is now is the one in its file (just saved or opened). The step
    // that holds it is known at once, or becomes the next step stored when no edit comes
    // first (edited() says one does); an undo or redo back to that step is back at the
    // file's text: atSaved(). Overwriting the step, or an edit after an undo that cuts it
    // off, forgets it.
    void markSaved(const RichUndoTarget &target);
    void edited() { m_savedPending = false; }
    bool atSaved() const { return m_saved >= 0 && m_saved == m_current; }

private:
    // A slot: the caret and top line of its state and, but for the newest, how its text
    // differs from the next slot's: that text's part [start, start + nextLength) is `text`
    // here. `next` is that part, kept from when the next slot is undone until it is redone.
    struct Slot
    {
        int firstVisibleLine = 0;
        int selStart = 0;
        int selLength = 0;
        qsizetype start = 0;
        QString text;
        qsizetype nextLength = 0;
        QString next;
    };
    static Slot placed(const RichUndoState &place); // a newest slot, its caret and top line
    void store(RichUndoTarget &target);
    QString textOf(int index, const RichUndoTarget &target) const;
    // A slot's state, its text made whole.
    RichUndoState slot(int index, const RichUndoTarget &target) const;
    // Whether the target's text differs from the current slot's.
    bool changed(const RichUndoTarget &target) const;

    std::array<Slot, SlotCount> m_slots{};
    int m_current = 0;
    int m_newest = 0;
    int m_oldest = 0;
    int m_lastAction = ActionCaret;
    int m_saved = -1;            // the step holding the file's text, -1 when none does
    bool m_savedPending = false; // the next step stored holds it
};

} // namespace editor
