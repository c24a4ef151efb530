#include "editor/RichUndoMemory.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace editor;

namespace {

// A pane reduced to what the memory sees: text, caret and top line. With `tracks`, it tells
// exactly where its text changed since marked and restores steps by span; without, it tells
// the whole text as changed and the memory narrows the change itself.
struct FakePane final : RichUndoTarget
{
    RichUndoState s;
    int restores = 0;
    bool tracks = false;
    QString marked;
    QString undoText() const override { return s.text; }
    RichUndoState undoPlace() const override
    {
        return {{}, s.firstVisibleLine, s.selStart, s.selLength};
    }
    void restoreUndoState(const RichUndoState &state) override
    {
        s = state;
        ++restores;
    }
    Change changeSinceMark() const override
    {
        if (s.text == marked)
            return {};
        if (!tracks)
            return {true, 0, 0, marked};
        const qsizetype both = std::min(s.text.size(), marked.size());
        qsizetype head = 0, tail = 0;
        while (head < both && s.text[head] == marked[head])
            ++head;
        while (tail < both - head &&
               s.text[s.text.size() - 1 - tail] == marked[marked.size() - 1 - tail])
            ++tail;
        return {true, head, tail, marked.mid(head, marked.size() - head - tail)};
    }
    void markUnchanged() override { marked = s.text; }
    void restoreUndoChange(const RichUndoState &place, qsizetype start, qsizetype removed,
                           const QString &text) override
    {
        if (!tracks)
            return RichUndoTarget::restoreUndoChange(place, start, removed, text);
        s.text.replace(start, removed, text);
        s.firstVisibleLine = place.firstVisibleLine;
        s.selStart = place.selStart;
        s.selLength = place.selLength;
        ++restores;
    }
    void edit(qsizetype at, qsizetype removed, const QString &text)
    {
        s.text.replace(at, removed, text);
    }
};

// Typing a character the way the pane does it: the key records first, then takes effect.
void type(RichUndoMemory &m, FakePane &p, const QString &chars)
{
    for (QChar c : chars) {
        m.record(ActionTyping, p);
        p.s.text.insert(p.s.selStart, c);
        ++p.s.selStart;
    }
}

void paste(RichUndoMemory &m, FakePane &p, const QString &chars)
{
    m.record(ActionPaste, p);
    p.s.text.insert(p.s.selStart, chars);
    p.s.selStart += int(chars.size());
}

} // namespace

TEST(RichUndoMemory, TypingRunIsOneStepAndCaretMovementSplitsRuns)
{
    RichUndoMemory m;
    FakePane p;
    type(m, p, QStringLiteral("abc"));
    m.record(ActionCaret, p); // Right arrow at the end: caret stays, text stored
    type(m, p, QStringLiteral("def"));
    ASSERT_TRUE(m.undo(p));
    EXPECT_EQ(p.s.text, QStringLiteral("abc"));
    EXPECT_EQ(p.s.selStart, 3);
    ASSERT_TRUE(m.undo(p));
    EXPECT_EQ(p.s.text, QString());
    EXPECT_FALSE(m.undo(p)) << "nothing older than the empty start";
    EXPECT_EQ(p.s.text, QString());
}

TEST(RichUndoMemory, TwoPastesAreTwoSteps)
{
    RichUndoMemory m;
    FakePane p;
    type(m, p, QStringLiteral("x"));
    paste(m, p, QStringLiteral("春"));
    paste(m, p, QStringLiteral("夏"));
    m.undo(p);
    EXPECT_EQ(p.s.text, QStringLiteral("x春"));
    m.undo(p);
    EXPECT_EQ(p.s.text, QStringLiteral("x"));
}

TEST(RichUndoMemory, AtMostFourteenStepsBack)
{
    RichUndoMemory m;
    FakePane p;
    for (int i = 0; i < 20; ++i)
        paste(m, p, QString::number(i % 10));
    int steps = 0;
    while (m.undo(p))
        ++steps;
    EXPECT_EQ(steps, 14);
    // The oldest state kept is six pastes in: the first six were overwritten.
    EXPECT_EQ(p.s.text, QStringLiteral("012345"));
}

TEST(RichUndoMemory, UndoAfterRedoStepsBackWithoutStoring)
{
    RichUndoMemory m;
    FakePane p;
    paste(m, p, QStringLiteral("a"));
    paste(m, p, QStringLiteral("b"));
    m.undo(p);
    const int newest = m.newest();
    ASSERT_TRUE(m.redo(p));
    EXPECT_EQ(p.s.text, QStringLiteral("ab"));
    EXPECT_FALSE(m.canRedo());
    ASSERT_TRUE(m.undo(p));
    EXPECT_EQ(p.s.text, QStringLiteral("a"));
    EXPECT_EQ(m.newest(), newest) << "no snapshot was stored by the undo after the redo";
}

TEST(RichUndoMemory, NothingToUndoOrRedoDoesNothing)
{
    RichUndoMemory m;
    FakePane p;
    EXPECT_FALSE(m.undo(p));
    EXPECT_FALSE(m.redo(p));
    EXPECT_EQ(p.restores, 0);
}

TEST(RichUndoMemory, TypingAfterUndoDropsTheRedoBranchOnNextSnapshot)
{
    RichUndoMemory m;
    FakePane p;
    paste(m, p, QStringLiteral("a"));
    paste(m, p, QStringLiteral("b"));
    m.undo(p);
    type(m, p, QStringLiteral("z"));
    m.record(ActionCaret, p);
    EXPECT_FALSE(m.canRedo());
    m.undo(p);
    EXPECT_EQ(p.s.text, QStringLiteral("a"));
}

// A file load or copy-all changes the text without recording; right after an undo the
// memory used to step past the oldest slot and restore a state that was never older.
TEST(RichUndoMemory, UnrecordedChangeAfterUndoIsKeptAsAStep)
{
    RichUndoMemory m;
    FakePane p;
    paste(m, p, QStringLiteral("a"));
    m.undo(p);
    ASSERT_EQ(p.s.text, QString());
    p.s.text = QStringLiteral("loaded file"); // not recorded
    ASSERT_TRUE(m.undo(p));
    EXPECT_EQ(p.s.text, QString());
    ASSERT_TRUE(m.redo(p));
    EXPECT_EQ(p.s.text, QStringLiteral("loaded file"));
}

TEST(RichUndoMemory, KeysAndTheirActions)
{
    struct Case
    {
        int key;
        Qt::KeyboardModifiers mods;
        std::optional<UndoAction> action;
    };
    const Case cases[] = {
        {Qt::Key_Left, {}, ActionCaret},
        {Qt::Key_PageDown, {}, ActionCaret},
        {Qt::Key_Return, {}, ActionEnter},
        {Qt::Key_Backspace, {}, ActionDelete},
        {Qt::Key_Delete, {}, ActionDelete},
        {Qt::Key_Space, {}, ActionTyping},
        {Qt::Key_Escape, {}, ActionTyping},
        {Qt::Key_5, {}, ActionTyping},
        {Qt::Key_A, {}, ActionTyping},
        {Qt::Key_A, Qt::ControlModifier, std::nullopt},
        {Qt::Key_Tab, Qt::ControlModifier, std::nullopt},
        {Qt::Key_5, Qt::ControlModifier, ActionTyping},
        {Qt::Key_Shift, {}, std::nullopt},
        {Qt::Key_Control, {}, std::nullopt},
        {Qt::Key_Insert, {}, std::nullopt},
        {Qt::Key_F3, {}, std::nullopt},
        {Qt::Key_F4, {}, std::nullopt},
        {Qt::Key_F5, {}, ActionTyping},
    };
    for (const Case &c : cases)
        EXPECT_EQ(undoActionForKey(c.key, c.mods), c.action) << "key " << c.key;
}

namespace {

// The memory as it was first written, every slot a whole copy: the rules the memory keeps.
struct WholeCopies
{
    std::array<RichUndoState, RichUndoMemory::SlotCount> slots{};
    int current = 0, newest = 0, oldest = 0, last = ActionCaret;
    void store(const FakePane &p)
    {
        current = (current + 1) % RichUndoMemory::SlotCount;
        slots[current] = p.s;
        newest = current;
        if (current == oldest)
            oldest = (oldest + 1) % RichUndoMemory::SlotCount;
    }
    void record(int action, const FakePane &p)
    {
        const bool repeatable = action == ActionUndo || action == ActionCaret ||
                                action == ActionEnter || action == ActionDelete ||
                                action == ActionTyping;
        if (!(repeatable && action == last) && last != ActionUndo &&
            p.s.text != slots[current].text)
            store(p);
        last = action;
    }
    bool undo(FakePane &p)
    {
        if (current == oldest && p.s.text == slots[current].text)
            return false;
        if (last != ActionUndo)
            record(ActionUndo, p);
        else if (p.s.text != slots[current].text)
            store(p);
        current = current == 0 ? RichUndoMemory::SlotCount - 1 : current - 1;
        p.s = slots[current];
        return true;
    }
    bool redo(FakePane &p)
    {
        if (current == newest)
            return false;
        current = (current + 1) % RichUndoMemory::SlotCount;
        p.s = slots[current];
        last = ActionUndo;
        return true;
    }
};

} // namespace

// Slots kept as differences from the next give, through long random sessions of typing,
// deleting, pasting, clicking, undoing past the ring's end and redoing, exactly what whole
// copies give: with a pane that compares whole texts, and with one that counts where it
// changed (and sometimes retypes what was there, a change that changes nothing).
TEST(RichUndoMemory, DifferencesKeepExactlyTheRulesOfWholeCopies)
{
    for (const bool tracks : {false, true}) {
        std::mt19937 random(17);
        RichUndoMemory m;
        WholeCopies reference;
        FakePane p, q; // the same pane, under each memory
        p.tracks = tracks;
        const int actions[] = {ActionCaret,  ActionEnter, ActionMouse,      ActionDelete,
                               ActionTyping, ActionPaste, ActionComposition};
        for (int step = 0; step < 4000; ++step) {
            const int what = int(random() % 10);
            if (what < 6) {
                const int action = actions[random() % std::size(actions)];
                m.record(action, p);
                reference.record(action, q);
                // The action's effect on the text, the same in both panes.
                const int at = p.s.text.isEmpty() ? 0 : int(random() % (p.s.text.size() + 1));
                const qsizetype rest = p.s.text.size() - at;
                if (action == ActionDelete && at < p.s.text.size())
                    p.edit(at, std::min<qsizetype>(rest, 1 + int(random() % 3)), QString());
                else if (action == ActionCaret && random() % 4 == 0)
                    p.edit(at, std::min<qsizetype>(rest, 2), p.s.text.mid(at, 2));
                else if (action != ActionCaret && action != ActionMouse)
                    p.edit(at, 0,
                           QString(1 + int(random() % 4), QChar(char16_t(u'あ' + random() % 80))));
                p.s.selStart = int(random() % (p.s.text.size() + 1));
                q.s = p.s;
            } else if (what < 8) {
                ASSERT_EQ(m.undo(p), reference.undo(q)) << step;
            } else {
                ASSERT_EQ(m.redo(p), reference.redo(q)) << step;
            }
            ASSERT_EQ(p.s.text, q.s.text) << step;
            ASSERT_EQ(p.s.selStart, q.s.selStart) << step;
            ASSERT_EQ(m.current(), reference.current) << step;
            ASSERT_EQ(m.newest(), reference.newest) << step;
            ASSERT_EQ(m.oldest(), reference.oldest) << step;
            ASSERT_EQ(m.canUndo(p), !(reference.current == reference.oldest &&
                                      q.s.text == reference.slots[reference.current].text))
                << step;
        }
    }
}
