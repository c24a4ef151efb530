// Either view of a pane as a screen reader sees it, through QAccessible's own look-up.
#include "VerticalPaneFixture.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalAccessible.h"
#include "editor/VerticalTextView.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <functional>
#include <gtest/gtest.h>

using namespace editor;

namespace {

struct AccessibleFixture : testsupport::VerticalPaneTest
{
    QAccessibleInterface *iface = nullptr;
    QAccessibleTextInterface *text = nullptr;

    void SetUp() override
    {
        VerticalPaneTest::SetUp();
        if (HasFatalFailure())
            return;
        pane.setText(QStringLiteral("春過ぎて\n夏来にけらし")); // two columns
        iface = QAccessible::queryAccessibleInterface(view);
        ASSERT_NE(iface, nullptr);
        text = iface->textInterface();
        ASSERT_NE(text, nullptr);
        ASSERT_NE(iface->editableTextInterface(), nullptr);
    }
    // Given forty lines, the view's interface scrolls the end of the last into view.
    void expectTheEndScrolledIn(QAbstractScrollArea *shown, QAccessibleTextInterface *t)
    {
        pane.setText(QStringList(40, QStringLiteral("春過ぎて")).join(QLatin1Char('\n')));
        const int last = t->characterCount() - 1;
        const QRect screen(shown->viewport()->mapToGlobal(QPoint(0, 0)), shown->viewport()->size());
        EXPECT_FALSE(screen.contains(t->characterRect(last)));
        t->scrollToSubstring(last - 2, last + 1);
        EXPECT_TRUE(screen.contains(t->characterRect(last)));
        EXPECT_TRUE(screen.contains(t->characterRect(last - 2)));
    }
};

using Range = std::pair<int, int>;

} // namespace

TEST_F(AccessibleFixture, TextCaretSelectionAndEditsAreThePanes)
{
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    const QAccessible::State state = iface->state();
    EXPECT_TRUE(state.focusable && state.focused && state.multiLine && state.editable);
    EXPECT_FALSE(state.readOnly);
    EXPECT_EQ(text->characterCount(), 11);
    EXPECT_EQ(text->text(0, 11), pane.text());
    EXPECT_EQ(text->text(3, 6), QStringLiteral("て\n夏"));

    // The view's caret keys move the interface's cursor; with Shift they select.
    pane.setSelection(0, 0);
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int caret;
        Range selection;
    } moves[] = {
        {Qt::Key_Down, {}, 1, {0, 0}},
        {Qt::Key_Left, {}, 6, {0, 0}}, // the next column, at the same height
        {Qt::Key_End, {}, 11, {0, 0}},
        {Qt::Key_Up, Qt::ShiftModifier, 10, {10, 11}},
        {Qt::Key_Home, Qt::ShiftModifier, 5, {5, 11}},
    };
    for (const auto &m : moves) {
        QTest::keyClick(view, m.key, m.modifiers);
        EXPECT_EQ(text->cursorPosition(), m.caret) << m.key;
        Range selection{-1, -1};
        text->selection(0, &selection.first, &selection.second);
        EXPECT_EQ(selection, m.selection) << m.key;
        EXPECT_EQ(text->selectionCount(), int(m.selection.second > m.selection.first)) << m.key;
    }

    // And the other way round.
    text->setSelection(0, 1, 3);
    EXPECT_EQ(pane.selectedText(), QStringLiteral("過ぎ"));
    text->removeSelection(0);
    EXPECT_EQ(pane.selLength(), 0);
    text->setCursorPosition(8);
    EXPECT_EQ(caret(), 8);

    // Edits are steps of the pane's undo memory, like a paste or a deletion.
    QAccessibleEditableTextInterface *editable = iface->editableTextInterface();
    editable->replaceText(0, 1, QStringLiteral("秋"));
    editable->insertText(4, QStringLiteral("、"));
    editable->deleteText(6, 7);
    EXPECT_EQ(pane.text(), QStringLiteral("秋過ぎて、\n来にけらし"));
    for (const QString &back :
         {QStringLiteral("秋過ぎて、\n夏来にけらし"), QStringLiteral("秋過ぎて\n夏来にけらし"),
          QStringLiteral("春過ぎて\n夏来にけらし")}) {
        pane.undo();
        EXPECT_EQ(pane.text(), back);
    }

    pane.horizontalView()->setReadOnly(true);
    EXPECT_EQ(iface->role(), QAccessible::StaticText);
    EXPECT_TRUE(iface->state().readOnly);
    editable->insertText(0, QStringLiteral("秋"));
    EXPECT_EQ(pane.text(), QStringLiteral("春過ぎて\n夏来にけらし"));
}

TEST_F(AccessibleFixture, CharacterBoxesAreTheCellsOfTheColumns)
{
    VerticalLayout &layout = view->layout();
    // 春 and て open and close the first column, 夏 来 し the second; て is before a line end.
    for (const int i : {0, 3, 5, 6, 10}) {
        const QRect r = text->characterRect(i);
        ASSERT_FALSE(r.isEmpty()) << i;
        const QPointF local = view->viewport()->mapFromGlobal(QPointF(r.topLeft()));
        EXPECT_NEAR(local.x() + r.width() / 2.0, view->columnCentre(layout.columnOfPosition(i)), 1)
            << i;
        EXPECT_NEAR(local.y(), 6 + layout.yOfPosition(i), 1) << i;
        EXPECT_NEAR(r.height(), layout.yOfPosition(i + 1) - layout.yOfPosition(i), 1) << i;
        EXPECT_EQ(text->offsetAtPoint(r.center()), i) << i;
        EXPECT_EQ(text->offsetAtPoint(r.topLeft() + QPoint(2, r.height() - 2)), i) << i;
    }
    EXPECT_LT(text->characterRect(5).right(), text->characterRect(0).left())
        << "the second column lies left of the first";
    const QRect te = text->characterRect(3);
    EXPECT_EQ(text->offsetAtPoint(te.center() + QPoint(0, 3 * te.height())), -1)
        << "below the end of a column there is no character";
    EXPECT_EQ(iface->childAt(te.center().x(), te.center().y()), nullptr)
        << "the viewport is the text itself, not a child of it";

    // Screen coordinates: the boxes go with the window.
    const QRect before = text->characterRect(6);
    pane.move(pane.pos() + QPoint(40, 30));
    EXPECT_TRUE(QTest::qWaitFor([&] { return text->characterRect(6) != before; }));
    EXPECT_EQ(text->characterRect(6), before.translated(40, 30));

    // A column out of view is scrolled in.
    expectTheEndScrolledIn(view, text);
}

TEST_F(AccessibleFixture, LinesAreColumnsAndParagraphsAreLinesOfText)
{
    const int n = int(view->layout().columnHeight() / view->layout().em());
    // A line of two columns, its line end at n + 3, then 夏来に from n + 4.
    pane.setText(QString(n + 3, QChar(u'あ')) + QStringLiteral("\n夏来に"));
    const int count = n + 7;
    ASSERT_EQ(text->characterCount(), count);
    enum Which { Before, At, After };
    const struct
    {
        QAccessible::TextBoundaryType type;
        Which which;
        int offset;
        Range item;
    } cases[] = {
        {QAccessible::LineBoundary, At, 2, {0, n}},
        {QAccessible::LineBoundary, At, n + 1, {n, n + 4}},
        {QAccessible::LineBoundary, Before, n + 5, {n, n + 4}},
        {QAccessible::LineBoundary, After, 0, {n, n + 4}},
        {QAccessible::LineBoundary, At, count, {n + 4, count}},
        {QAccessible::LineBoundary, Before, 0, {0, 0}},
        {QAccessible::LineBoundary, After, count, {count, count}},
        {QAccessible::ParagraphBoundary, At, 2, {0, n + 4}},
        {QAccessible::ParagraphBoundary, After, 2, {n + 4, count}},
        {QAccessible::CharBoundary, Before, n + 4, {n + 3, n + 4}},
        {QAccessible::CharBoundary, After, n + 2, {n + 3, n + 4}},
        {QAccessible::CharBoundary, At, n + 5, {n + 5, n + 6}},
    };
    for (const auto &c : cases) {
        Range item{-9, -9};
        const auto call = c.which == Before ? &QAccessibleTextInterface::textBeforeOffset
                          : c.which == At   ? &QAccessibleTextInterface::textAtOffset
                                            : &QAccessibleTextInterface::textAfterOffset;
        const QString s = (text->*call)(c.offset, c.type, &item.first, &item.second);
        EXPECT_EQ(item, c.item) << c.type << ' ' << c.which << ' ' << c.offset;
        EXPECT_EQ(s, pane.text().mid(c.item.first, c.item.second - c.item.first)) << c.offset;
    }
}

// The horizontal view is the same text, read in rows; its boxes are where its caret goes.
TEST_F(AccessibleFixture, TheHorizontalViewIsTheSameTextInRows)
{
    pane.setVertical(false);
    pane.setWordWrap(true);
    pane.setText(QString(30, QChar(u'あ')) + QStringLiteral("\n夏来に"));
    QPlainTextEdit *h = pane.horizontalView();
    QAccessibleInterface *hi = QAccessible::queryAccessibleInterface(h);
    ASSERT_NE(hi, nullptr);
    QAccessibleTextInterface *t = hi->textInterface();
    ASSERT_NE(t, nullptr);
    ASSERT_NE(hi->editableTextInterface(), nullptr);
    EXPECT_EQ(t->text(0, -1), pane.text());

    const int count = 34;
    const int second = pane.rowStart(1); // where the long line wraps
    ASSERT_GT(second, 1);
    ASSERT_LT(second, 30);
    enum Which { Before, At, After };
    const struct
    {
        Which which;
        int offset;
        Range row;
    } rows[] = {
        {At, 2, {0, second}},       {At, second + 1, {second, 31}}, {After, 2, {second, 31}},
        {Before, 32, {second, 31}}, {At, count, {31, count}},       {After, count, {count, count}},
        {Before, 1, {0, 0}},
    };
    for (const auto &r : rows) {
        Range item{-9, -9};
        const auto call = r.which == Before ? &QAccessibleTextInterface::textBeforeOffset
                          : r.which == At   ? &QAccessibleTextInterface::textAtOffset
                                            : &QAccessibleTextInterface::textAfterOffset;
        const QString s =
            (t->*call)(r.offset, QAccessible::LineBoundary, &item.first, &item.second);
        EXPECT_EQ(item, r.row) << r.which << ' ' << r.offset;
        EXPECT_EQ(s, pane.text().mid(r.row.first, r.row.second - r.row.first)) << r.offset;
    }

    for (const int i : {0, 5, second, 32}) {
        const QRect box = t->characterRect(i);
        ASSERT_FALSE(box.isEmpty()) << i;
        const QRect caret(
            h->viewport()->mapToGlobal(h->cursorRect(pane.placedCursor(i, i)).topLeft()),
            h->cursorRect().size());
        EXPECT_NEAR(box.left(), caret.left(), 1) << i;
        EXPECT_NEAR(box.top(), caret.top(), 1) << i;
        EXPECT_EQ(t->offsetAtPoint(box.center()), i) << i;
    }
    const QRect ni = t->characterRect(32);
    EXPECT_EQ(t->offsetAtPoint(ni.center() + QPoint(4 * ni.width(), 0)), -1)
        << "past the end of a line there is no character";

    // A row out of view is scrolled in.
    expectTheEndScrolledIn(h, t);
}

namespace {
QStringList *seen = nullptr;
const QObject *watched = nullptr;

// The view's reports, as "kind position what".
void record(QAccessibleEvent *e)
{
    if (e->object() != watched)
        return;
    const auto *t = static_cast<QAccessibleTextCursorEvent *>(e);
    switch (e->type()) {
    case QAccessible::TextCaretMoved:
        *seen << QStringLiteral("caret %1").arg(t->cursorPosition());
        break;
    case QAccessible::TextSelectionChanged: {
        const auto *s = static_cast<QAccessibleTextSelectionEvent *>(e);
        *seen << QStringLiteral("select %1-%2").arg(s->selectionStart()).arg(s->selectionEnd());
        break;
    }
    case QAccessible::TextInserted: {
        const auto *i = static_cast<QAccessibleTextInsertEvent *>(e);
        *seen << QStringLiteral("insert %1 %2").arg(i->changePosition()).arg(i->textInserted());
        break;
    }
    case QAccessible::TextRemoved: {
        const auto *r = static_cast<QAccessibleTextRemoveEvent *>(e);
        *seen << QStringLiteral("remove %1 %2").arg(r->changePosition()).arg(r->textRemoved());
        break;
    }
    case QAccessible::TextUpdated: {
        const auto *u = static_cast<QAccessibleTextUpdateEvent *>(e);
        *seen << QStringLiteral("update %1 %2>%3")
                     .arg(u->changePosition())
                     .arg(u->textRemoved(), u->textInserted());
        break;
    }
    default:
        break;
    }
}

// Listens as a screen reader would for the length of a test. The offscreen platform has no
// accessibility, where QAccessible drops every event, so the view's reports are taken
// before they reach it.
struct Listening
{
    QStringList events;
    AccessibleEventSink previous;
    explicit Listening(const QObject *object)
    {
        seen = &events;
        watched = object;
        previous = setVerticalAccessibleEventSink(record);
    }
    ~Listening()
    {
        setVerticalAccessibleEventSink(previous);
        seen = nullptr;
        watched = nullptr;
    }
};
} // namespace

TEST_F(AccessibleFixture, CaretSelectionAndEditsAreAnnounced)
{
    Listening listening(view);
    pane.setSelection(0, 0);
    const std::pair<std::function<void()>, QString> steps[] = {
        {[&] { QTest::keyClick(view, Qt::Key_Down); }, QStringLiteral("caret 1")},
        {[&] { QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier); },
         QStringLiteral("select 1-2")},
        // Writing over the selection (reported by Qt as the whole line): what it replaced.
        {[&] {
             QInputMethodEvent commit;
             commit.setCommitString(QStringLiteral("秋"));
             QApplication::sendEvent(view, &commit);
         },
         QStringLiteral("update 1 過>秋")},
        {[&] { QTest::keyClick(view, Qt::Key_Backspace); }, QStringLiteral("remove 1 秋")},
        // Backspace at a line start takes the line end.
        {[&] {
             pane.setSelection(4, 0);
             QTest::keyClick(view, Qt::Key_Backspace);
         },
         QStringLiteral("remove 3 \n")},
        {[&] { iface->editableTextInterface()->insertText(0, QStringLiteral("夏")); },
         QStringLiteral("insert 0 夏")},
    };
    for (const auto &[act, expected] : steps) {
        listening.events.clear();
        act();
        EXPECT_TRUE(listening.events.contains(expected))
            << expected.toStdString() << " among: " << listening.events.join(u'|').toStdString();
    }

    // The horizontal view speaks for itself: the hidden vertical one stays quiet.
    pane.setVertical(false);
    listening.events.clear();
    pane.setSelection(2, 0);
    EXPECT_TRUE(listening.events.isEmpty());
}
