#include "editor/RichUndoMemory.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace editor;

namespace {

// A pane reduced to what the memory sees: text, caret and top line.
struct FakePane final : RichUndoTarget
{
    RichUndoState s;
    int restores = 0;
    QString undoText() const override { return s.text; }
    RichUndoState undoState() const override { return s; }
    void restoreUndoState(const RichUndoState &state) override
    {
        s = state;
        ++restores;
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
