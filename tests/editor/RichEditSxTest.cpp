#include "editor/RichEditSx.h"
#include "Colouring.h"
#include "QtPrinters.h"
#include "RandomEdits.h"
#include "RepaintCheck.h"
#include "editor/LayoutKeeper.h"
#include "editor/PanePrinter.h"
#include "editor/VerticalTextView.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <random>

using namespace editor;

namespace {

struct PaneFixture : ::testing::Test
{
    TRichEditSx pane;
    void SetUp() override
    {
        pane.resize(300, 200);
        pane.show();
        pane.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
        pane.setFocus();
    }
    // Text or a file dragged onto the character at `position`, on its leading edge, and let
    // go there, as a drag does it: the view is entered and, if it takes the data, dropped on.
    void drop(int position, const QMimeData &data)
    {
        QTextCursor c(pane.document());
        c.setPosition(position);
        const QPointF at = pane.Vertical()
                               ? pane.verticalView()->characterRect(position).topLeft() +
                                     QPointF(pane.verticalView()->layout().pitch() / 2, 1)
                               : QRectF(pane.horizontalView()->cursorRect(c)).center();
        QWidget *target = static_cast<QAbstractScrollArea *>(pane.activeView())->viewport();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        if (enter.isAccepted()) {
            QDropEvent e(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &e);
        }
    }
};

} // namespace

TEST_F(PaneFixture, SelectionQueriesOnLinesWithoutWrap)
{
    pane.setWordWrap(false);
    pane.setText(QStringLiteral("春過ぎて\r\n夏来にけらし\nabc"));
    EXPECT_EQ(pane.text(), QStringLiteral("春過ぎて\n夏来にけらし\nabc"))
        << "every kind of line end becomes one line break";
    pane.setSelection(7, 3); // "にけら" on the second line
    EXPECT_EQ(pane.SelY(), 1);
    EXPECT_EQ(pane.SelLineIndex(), 5);
    EXPECT_EQ(pane.SelX(), 2);
    EXPECT_EQ(pane.SelNextLineIndex(), 12);
    EXPECT_EQ(pane.SelTextWideCount(), 3);
    EXPECT_EQ(pane.SelTextCount(), 6) << "double-byte characters count two bytes";
    pane.setSelection(3, 5); // "て", line break, "夏来に"
    EXPECT_EQ(pane.SelTextDelCRLF(), QStringLiteral("て夏来に"));
    EXPECT_EQ(pane.SelTextCount(), 8);
    pane.setSelection(13, 1);
    EXPECT_EQ(pane.SelNextLineIndex(), -1);
}

TEST_F(PaneFixture, WrappedRowsAreTheLines)
{
    pane.setWordWrap(true);
    pane.setText(QString(200, QChar(0x6625)));
    EXPECT_GT(pane.rowCount(), 3);
    const int row2 = pane.rowStart(2);
    pane.setSelection(row2 + 1, 0);
    EXPECT_EQ(pane.SelY(), 2);
    EXPECT_EQ(pane.SelX(), 1);
}

// The horizontal view lays out only the lines a row query needs, and counts a line that is
// surely one row without laying it out: through edits, resizes and font changes, its
// answers stay those of a text laid out in full.
TEST_F(PaneFixture, RowsOfAPartLaidOutTextAreThoseOfTheWholeLaidOut)
{
    pane.setWordWrap(true);
    std::mt19937 random(3);
    const QStringList pieces = {QStringLiteral("あ"),         QStringLiteral("\n"),
                                QString(60, u'字'),           QStringLiteral("一\n二\n三\n"),
                                QStringLiteral("word wrap "), QStringLiteral("\t"),
                                QStringLiteral("か\u309A😀"),  QStringLiteral("ＡＶＡ WAVE")};
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QString(int(random() % 70), u'春');
    pane.setText(lines.join(u'\n'));
    const auto layOutAll = [this] {
        for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next())
            (void)pane.document()->documentLayout()->blockBoundingRect(b);
    };
    for (int step = 0; step < 60; ++step) {
        testsupport::randomEdit(pane.document(), random, pieces);
        if (step % 15 == 7)
            pane.resize(200 + int(random() % 300), 200);
        if (step == 40)
            pane.setPaneFont(QFont(pane.paneFont().family(), 14));
        QApplication::processEvents();
        // Questions about the middle of the text, asked with the rest not laid out.
        const int position = int(random() % (pane.document()->characterCount()));
        const int row = pane.rowOfPosition(position);
        const int start = pane.rowStart(row);
        const int later = pane.rowStart(row + 3);
        layOutAll();
        ASSERT_EQ(row, pane.rowOfPosition(position)) << step;
        ASSERT_EQ(start, pane.rowStart(row)) << step;
        ASSERT_EQ(later, pane.rowStart(row + 3)) << step;
    }
}

TEST_F(PaneFixture, WordWrapToggleKeepsSelectionAndTopLine)
{
    QStringList lines;
    for (int i = 0; i < 80; ++i)
        lines << QStringLiteral("第%1行 ").arg(i).repeated(6);
    pane.setText(lines.join(QLatin1Char('\n')));
    pane.setWordWrap(false);
    pane.setSelTopIndex(40);
    const int top = pane.rowStart(pane.SelTopIndex());
    pane.setSelection(top + 5, 4);
    int wraps = 0;
    QObject::connect(&pane, &TRichEditSx::OnWrapChange, [&] { ++wraps; });
    pane.setWordWrap(true);
    EXPECT_EQ(wraps, 1);
    EXPECT_EQ(pane.selStart(), top + 5);
    EXPECT_EQ(pane.selLength(), 4);
    EXPECT_EQ(pane.rowStart(pane.SelTopIndex()), top) << "the same text stays at the top";
    pane.setWordWrap(true);
    EXPECT_EQ(wraps, 1) << "setting the same value changes nothing";
}

// A step begun with the caret far from the edit (ふりがな on another line, a screen reader's
// insertion) is undone with the caret where the text changed, not where the caret stood.
TEST_F(PaneFixture, UndoPutsTheCaretWhereTheChangeWas)
{
    pane.setText(QStringLiteral("春\n夏\n秋"));
    pane.setSelection(0, 0);
    pane.recordAction(ActionPaste);
    QTextCursor c = pane.placedCursor(4, 5);
    pane.replaceSelection(c, QStringLiteral("秋風"));
    pane.undo();
    EXPECT_EQ(pane.text(), QStringLiteral("春\n夏\n秋"));
    EXPECT_EQ(pane.selStart(), 5);
    pane.redo();
    EXPECT_EQ(pane.text(), QStringLiteral("春\n夏\n秋風"));
    EXPECT_EQ(pane.document()->findBlock(pane.selStart()).blockNumber(), 2);
}

TEST_F(PaneFixture, TypingThroughKeysIsOneUndoStep)
{
    QTest::keyClicks(pane.activeView(), QStringLiteral("abc"));
    QTest::keyClick(pane.activeView(), Qt::Key_Left);
    QTest::keyClicks(pane.activeView(), QStringLiteral("de"));
    EXPECT_EQ(pane.text(), QStringLiteral("abdec"));
    pane.undo();
    EXPECT_EQ(pane.text(), QStringLiteral("abc"));
    EXPECT_EQ(pane.selStart(), 3);
    pane.undo();
    EXPECT_EQ(pane.text(), QString());
    pane.redo();
    EXPECT_EQ(pane.text(), QStringLiteral("abc"));
}

// The modified mark follows the undo memory: an undo or redo back to the text as opened or
// saved clears it, whether the save came between steps or in the middle of a typing run;
// once an edit after an undo has cut that text off, nothing clears it.
TEST_F(PaneFixture, TheModifiedMarkFollowsUndoBackToTheSavedText)
{
    auto type = [&](const char *keys) {
        QTest::keyClicks(pane.activeView(), QString::fromLatin1(keys));
    };
    pane.setText(QStringLiteral("opened"));
    pane.setModified(false);
    type("x");
    EXPECT_TRUE(pane.isModified());
    pane.undo();
    EXPECT_EQ(pane.text(), QStringLiteral("opened"));
    EXPECT_FALSE(pane.isModified()) << "back at the file's text";
    pane.redo();
    EXPECT_TRUE(pane.isModified());

    type("ab");
    pane.setModified(false); // saved in the middle of a typing run
    type("cd");
    pane.undo();
    EXPECT_EQ(pane.text(), QStringLiteral("xabopened"));
    EXPECT_FALSE(pane.isModified());
    pane.redo();
    EXPECT_TRUE(pane.isModified());

    pane.undo();
    pane.undo();
    type("z"); // cuts the saved text off
    pane.undo();
    pane.redo();
    EXPECT_TRUE(pane.isModified());
}

// Undo and redo replace only the span a step changed, across lines, in either view: the
// text and caret come back, and colouring elsewhere stays.
TEST_F(PaneFixture, UndoAndRedoReplaceOnlyTheChangedSpan)
{
    for (const bool vertical : {false, true}) {
        pane.setVertical(vertical);
        pane.setText(QStringLiteral("春の夜の\n夢ばかりなる\n手枕に"));
        testsupport::colour(pane.document(), 0, 1, Qt::red);
        pane.setSelection(7, 0);
        pane.recordAction(ActionMouse);
        QTest::keyClick(pane.activeView(), Qt::Key_Return);
        QTest::keyClicks(pane.activeView(), QStringLiteral("xy"));
        pane.setSelection(2, 9);
        pane.recordAction(ActionDelete);
        QTest::keyClick(pane.activeView(), Qt::Key_Delete);
        const QString edited = pane.text();
        ASSERT_EQ(edited, QStringLiteral("春のりなる\n手枕に"));
        pane.undo();
        EXPECT_EQ(pane.text(), QStringLiteral("春の夜の\n夢ば\nxyかりなる\n手枕に"));
        EXPECT_EQ(pane.selStart(), 2);
        EXPECT_EQ(pane.selLength(), 9);
        pane.undo(); // the typing
        EXPECT_EQ(pane.text(), QStringLiteral("春の夜の\n夢ば\nかりなる\n手枕に"));
        pane.undo(); // the line break
        EXPECT_EQ(pane.text(), QStringLiteral("春の夜の\n夢ばかりなる\n手枕に"));
        EXPECT_EQ(pane.selStart(), 7);
        const QTextBlock first = pane.document()->begin();
        ASSERT_FALSE(first.textFormats().isEmpty());
        EXPECT_EQ(first.textFormats().first().format.foreground().color(), QColor(Qt::red))
            << "colouring outside the step stays";
        for (int i = 0; i < 3; ++i)
            pane.redo();
        EXPECT_EQ(pane.text(), edited) << vertical;
    }
}

// Counts the times the undo memory warns that it forgets its steps, while it lives.
class ForgottenSteps
{
public:
    ForgottenSteps()
    {
        s_count = 0;
        s_previous = qInstallMessageHandler(&ForgottenSteps::handle);
    }
    ~ForgottenSteps() { qInstallMessageHandler(s_previous); }
    int count() const { return s_count; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (message.contains(QStringLiteral("undo memory forgets")))
            ++s_count;
        else
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline int s_count = 0;
};

// The undo memory keeps no copy of the text, only what each edit replaced, as the edits
// announce it. Every way the pane's text is edited, in either view, is undone and redone
// exactly, fourteen steps back, and none goes unannounced (which would make the memory
// forget its steps).
TEST_F(PaneFixture, EveryKindOfEditIsUndoneAndRedoneExactly)
{
    const ForgottenSteps forgotten;
    struct Key
    {
        Qt::Key key;
        Qt::KeyboardModifiers mods = {};
    };
    const Key keys[] = {{Qt::Key_Backspace},
                        {Qt::Key_Delete},
                        {Qt::Key_Backspace, Qt::ControlModifier},
                        {Qt::Key_Delete, Qt::ControlModifier},
                        {Qt::Key_K, Qt::ControlModifier},
                        {Qt::Key_U, Qt::ControlModifier},
                        {Qt::Key_Return},
                        {Qt::Key_Tab}};
    const QString pieces[] = {QStringLiteral("夏来に"), QStringLiteral("a\nb"),
                              QStringLiteral("か゚"), QStringLiteral("葛󠄀城"),
                              QStringLiteral("\n")};
    for (const bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        std::mt19937 random(vertical ? 7 : 11);
        pane.setVertical(vertical);
        pane.setText(QStringLiteral("春過ぎて wave 夏来にけらし\n白妙の 衣 ほすてふ\n天の香具山"));
        QWidget *view = pane.activeView();
        QStringList texts{pane.text()};
        for (int step = 0; step < 60; ++step) {
            const int size = pane.document()->characterCount() - 1;
            const int start = int(random() % (size + 1));
            pane.setSelection(start, random() % 3 == 0 ? int(random() % 12) : 0);
            pane.recordAction(ActionMouse); // each edit a step of its own, as after a click
            const QString piece = pieces[random() % std::size(pieces)];
            switch (random() % 8) {
            case 0: {
                const Key k = keys[random() % std::size(keys)];
                QTest::keyClick(view, k.key, k.mods);
                break;
            }
            case 1:
                for (const QChar c : QStringLiteral("あい")) {
                    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                    QApplication::sendEvent(view, &key);
                }
                break;
            case 2:
                QGuiApplication::clipboard()->setText(piece);
                pane.paste();
                break;
            case 3:
                pane.cut();
                break;
            case 4: { // an input method's commit that replaces the two characters before
                QInputMethodEvent commit;
                commit.setCommitString(piece, -qMin(2, pane.selStart()), qMin(2, pane.selStart()));
                QApplication::sendEvent(view, &commit);
                break;
            }
            case 5: { // text dropped at another character
                QMimeData data;
                data.setText(piece);
                drop(int(random() % (size + 1)), data);
                break;
            }
            case 6: // assistive technology writing over a span
                QAccessible::queryAccessibleInterface(view)->editableTextInterface()->replaceText(
                    start, start + int(random() % 3), piece);
                break;
            default: { // the window's own insertion at the caret
                QTextCursor c = pane.textCursor();
                pane.replaceSelection(c, piece);
                pane.setTextCursor(c);
            }
            }
            if (pane.text() != texts.last())
                texts.append(pane.text());
        }
        // The last fourteen steps back, then forward again.
        const qsizetype last = texts.size() - 1;
        for (int k = 1; k <= 14; ++k) {
            ASSERT_TRUE(pane.canUndo()) << k;
            pane.undo();
            ASSERT_EQ(pane.text(), texts[last - k]) << k;
        }
        EXPECT_FALSE(pane.canUndo());
        for (int k = 13; k >= 0; --k) {
            pane.redo();
            ASSERT_EQ(pane.text(), texts[last - k]) << k;
        }
        EXPECT_FALSE(pane.canRedo());
    }
    EXPECT_EQ(forgotten.count(), 0);
}

// A change made past the pane (a cursor of its own that did not announce it) cannot be
// followed: the memory forgets its steps rather than undo to a text that never was, and
// goes on from the text as it is. An announcement that changed nothing (a cut without a
// selection) does not stand for a later edit.
TEST_F(PaneFixture, AnEditPastThePaneIsNeverUndoneWrongly)
{
    const ForgottenSteps forgotten;
    pane.setText(QStringLiteral("春過ぎて\n夏来にけらし"));
    pane.setSelection(2, 0);
    pane.recordAction(ActionMouse);
    pane.cut();
    QCoreApplication::processEvents();
    QTextCursor own(pane.document());
    own.setPosition(8);
    own.insertText(QStringLiteral("X"));
    const QString changed = pane.text();
    EXPECT_EQ(forgotten.count(), 1);
    EXPECT_FALSE(pane.canUndo());
    pane.undo();
    EXPECT_EQ(pane.text(), changed);
    pane.recordAction(ActionMouse);
    QTest::keyClick(pane.activeView(), Qt::Key_A);
    pane.undo();
    EXPECT_EQ(pane.text(), changed);
}

// Both views edit through the same operations: each key sequence leaves the same text and
// caret in either, from the same text and selection.
TEST_F(PaneFixture, BothViewsEditAlike)
{
    struct Key
    {
        Qt::Key key;
        Qt::KeyboardModifiers mods = {};
    };
    struct Case
    {
        int start, length;
        std::vector<Key> keys;
        QString text;
        int caret;
    };
    const QString line = QStringLiteral("春過ぎて wave 夏来にけらし\n白妙の");
    const Case cases[] = {
        {4,
         0,
         {{Qt::Key_Backspace}, {Qt::Key_Delete}},
         QStringLiteral("春過ぎwave 夏来にけらし\n白妙の"),
         3},
        {9,
         0,
         {{Qt::Key_Backspace, Qt::ControlModifier}},
         QStringLiteral("春過ぎて  夏来にけらし\n白妙の"),
         5},
        {5,
         0,
         {{Qt::Key_Delete, Qt::ControlModifier}},
         QStringLiteral("春過ぎて 夏来にけらし\n白妙の"),
         5},
        {10,
         0,
         {{Qt::Key_Return}, {Qt::Key_Return, Qt::ShiftModifier}, {Qt::Key_Tab}},
         QStringLiteral("春過ぎて wave \n\n\t夏来にけらし\n白妙の"),
         13},
        {5, 4, {{Qt::Key_X}, {Qt::Key_Y}}, QStringLiteral("春過ぎて xy 夏来にけらし\n白妙の"), 7},
        {0, 0, {{Qt::Key_Backspace}, {Qt::Key_Escape}}, line, 0},
    };
    for (const bool vertical : {false, true}) {
        pane.setVertical(vertical);
        for (const Case &c : cases) {
            pane.setText(line);
            pane.setSelection(c.start, c.length);
            for (const Key &k : c.keys)
                QTest::keyClick(pane.activeView(), k.key, k.mods);
            EXPECT_EQ(pane.text(), c.text) << vertical << " from " << c.start;
            EXPECT_EQ(pane.selStart(), c.caret) << vertical << " from " << c.start;
        }
    }
}

TEST_F(PaneFixture, WindowKeysDoNothingInTheControlItself)
{
    pane.setText(QStringLiteral("abc"));
    pane.setSelection(0, 3);
    QTest::keyClick(pane.activeView(), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(pane.activeView(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(pane.activeView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(pane.text(), QStringLiteral("abc"));
    EXPECT_EQ(pane.selLength(), 3);
    // Tab is text, not a focus change.
    QTest::keyClick(pane.activeView(), Qt::Key_Tab);
    EXPECT_EQ(pane.text(), QStringLiteral("\t"));
}

TEST_F(PaneFixture, ResetCharacterColorsRemovesStringColouring)
{
    pane.setText(QStringLiteral("春の夜"));
    testsupport::colour(pane.document(), 0, 1, Qt::red);
    pane.resetCharacterColors();
    const QTextBlock b = pane.document()->begin();
    for (const QTextLayout::FormatRange &r : b.textFormats())
        EXPECT_FALSE(r.format.hasProperty(QTextFormat::ForegroundBrush));
}

// Moving through a long text in either view keeps layouts, in both views, only for the
// lines near the screen; the first screen, with its ruby, looks the same when shown again.
TEST_F(PaneFixture, OnlyLinesNearTheScreenKeepTheirLayouts)
{
    QStringList lines;
    for (int i = 0; i < 12000; ++i)
        lines << QStringLiteral("春過ぎて夏来にけらし｜白妙《しろたへ》の衣 %1").arg(i);
    pane.setTypesetting({true, 2, false});
    pane.resize(1200, 900);
    pane.clearFocus(); // no caret blinking in the pictures
    const auto kept = [this] {
        int vertical = 0, horizontal = 0;
        for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next()) {
            vertical += b.userData() != nullptr;
            horizontal += b.layout()->lineCount() > 0;
        }
        return std::pair(vertical, horizontal);
    };
    const int bound = LayoutKeeper::kNoted + 2 * LayoutKeeper::kNear;
    for (const bool vertical : {false, true}) {
        pane.setVertical(vertical);
        pane.setText(lines.join(u'\n'));
        QWidget *view = pane.activeView();
        const QImage start = view->grab().toImage();
        for (int line = 0; line < lines.size(); line += 40) {
            pane.setSelection(pane.document()->findBlockByNumber(line).position(), 0);
            view->repaint();
        }
        const auto [verticalKept, horizontalKept] = kept();
        EXPECT_LE(verticalKept, bound) << vertical;
        EXPECT_LE(horizontalKept, bound) << vertical;
        pane.setSelection(0, 0);
        EXPECT_EQ(view->grab().toImage(), start) << vertical;
    }
}

// Lines edited while the horizontal view is hidden are laid out again once it is shown:
// the same rows as a pane given the edited text afresh.
TEST_F(PaneFixture, RowsAfterEditingInTheVerticalViewAreThoseOfTheTextAfresh)
{
    pane.setText(QStringList(40, QStringLiteral("春過ぎて夏来にけらし")).join(u'\n'));
    pane.setVertical(true);
    for (const int line : {5, 30}) {
        pane.setSelection(pane.document()->findBlockByNumber(line).position(), 0);
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(pane.activeView(), Qt::Key_A);
    }
    pane.setVertical(false);
    TRichEditSx fresh;
    fresh.resize(pane.size());
    fresh.show();
    fresh.setText(pane.text());
    EXPECT_EQ(pane.rowCount(), fresh.rowCount());
    for (int p = 0; p < pane.document()->characterCount(); p += 7)
        ASSERT_EQ(pane.rowOfPosition(p), fresh.rowOfPosition(p)) << p;
}

// In vertical writing the caret is the pane's own: moving it lays nothing out in the
// hidden horizontal view, still tells the window, and is where that view shows it again.
TEST_F(PaneFixture, TheCaretMovesInVerticalWritingWithoutTheHiddenView)
{
    pane.setVertical(true);
    pane.setText(QStringList(3000, QStringLiteral("春過ぎて夏来にけらし白妙の")).join(u'\n'));
    int told = 0;
    QObject::connect(&pane, &TRichEditSx::selectionChanged, [&] { ++told; });
    QWidget *view = pane.activeView();
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(view, Qt::Key_PageDown);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    const QTextCursor caret = pane.textCursor();
    const int anchor = caret.anchor(), position = caret.position();
    EXPECT_GT(caret.blockNumber(), 100);
    EXPECT_EQ(position - anchor, 2);
    EXPECT_GE(told, 32);
    const auto laidOut = [&] {
        int lines = 0;
        for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next())
            lines += b.layout()->lineCount() > 0;
        return lines;
    };
    EXPECT_EQ(laidOut(), 0);

    // The clipboard is used at the pane's caret.
    pane.cut();
    pane.paste();
    pane.paste();
    EXPECT_EQ(pane.selStart(), position + 2);
    EXPECT_EQ(pane.document()->characterCount(), 3000 * 14 + 2);
    // Nor do the window's and assistive technology's edits, or undo and redo, lay out.
    QTextCursor c = pane.placedCursor(position + 40, position + 41);
    pane.replaceSelection(c, QStringLiteral("秋"));
    QAccessible::queryAccessibleInterface(view)->editableTextInterface()->deleteText(position + 80,
                                                                                     position + 81);
    pane.undo();
    pane.redo();
    EXPECT_EQ(laidOut(), 0);
    pane.setSelection(anchor, 2);

    pane.setVertical(false);
    const QPlainTextEdit *h = pane.horizontalView();
    EXPECT_EQ(h->textCursor().position(), position);
    EXPECT_EQ(h->textCursor().anchor(), anchor);
    EXPECT_TRUE(h->viewport()->rect().contains(h->cursorRect().center()));
}

// The clipboard and text dropped on the pane, alike in both writings: lines copied keep
// their breaks, text dropped goes in where it is let go, as a step of its own in the undo
// memory, and a dropped file is left to the window.
TEST_F(PaneFixture, CopiedAndDroppedTextInBothWritings)
{
    for (const bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        pane.setVertical(vertical);
        pane.setText(QStringLiteral("春過ぎて\n夏来にけらし\n白妙の"));
        pane.setSelection(2, 4);
        pane.copy();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ぎて\n夏"));

        QWidget *view = pane.activeView();
        pane.setSelection(15, 0); // after 白妙の
        QTest::keyClick(view, Qt::Key_A);
        const QString typed = pane.text();
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
        drop(12, file); // on 白
        EXPECT_EQ(pane.text(), typed);
        QMimeData text;
        text.setText(QStringLiteral("衣\r\nほす"));
        drop(12, text);
        EXPECT_EQ(pane.text(), QStringLiteral("春過ぎて\n夏来にけらし\n衣\nほす白妙のa"))
            << pane.text().toStdString();
        EXPECT_EQ(pane.selStart(), 16);
        pane.undo();
        EXPECT_EQ(pane.text(), typed) << "the drop is undone alone";
    }
}

TEST_F(PaneFixture, VerticalToggleRaisesItsNoticeOnlyOnChange)
{
    int notices = 0;
    QObject::connect(&pane, &TRichEditSx::OnVerticalChange, [&] { ++notices; });
    pane.setVertical(true);
    pane.setVertical(true);
    pane.setVertical(false);
    EXPECT_EQ(notices, 2);
    EXPECT_FALSE(pane.Vertical());
}

// Selecting everything leaves the view where it is in horizontal writing, as Qt's edit
// control does; in vertical writing the caret's column, at the end, is shown.
TEST_F(PaneFixture, SelectAllSelectsTheWholeText)
{
    for (const bool vertical : {false, true}) {
        pane.setVertical(vertical);
        pane.setText(QStringList(300, QStringLiteral("春過ぎて夏来にけらし")).join(u'\n'));
        pane.selectAll();
        EXPECT_EQ(pane.selStart(), 0) << vertical;
        EXPECT_EQ(pane.selLength(), pane.document()->characterCount() - 1) << vertical;
        EXPECT_EQ(pane.SelTopIndex() == 0, !vertical) << vertical;
    }
}

TEST_F(PaneFixture, EmptyPaneCommandsDoNotCrash)
{
    pane.undo();
    pane.redo();
    pane.cut();
    pane.copy();
    pane.selectAll();
    EXPECT_EQ(pane.SelY(), 0);
    EXPECT_EQ(pane.SelX(), 0);
    EXPECT_EQ(pane.SelTextCount(), 0);
    EXPECT_EQ(pane.rowCount(), 1);
}

// Printed to PDF in Noto CJK, whose cmap gives some kanji's glyphs to their Kangxi radicals
// too (白 ⽩, 日 ⽇) and has vertical presentation forms (︑︒﹁﹂), the text copies back as
// it was, in both writings; a radical the text holds itself stays a radical.
TEST_F(PaneFixture, PrintedTextCopiesBackFromThePdfInNotoCjk)
{
    const QString noto = QStringLiteral("Noto Serif CJK JP");
    if (QFontInfo(QFont(noto)).family() != noto ||
        QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "Noto Serif CJK JP or pdftotext is not installed";
    QFont f(noto);
    f.setPixelSize(20);
    pane.setPaneFont(f);
    const QString text = QStringLiteral("白妙の衣、日の山。「月」と（言）ふ\n⽕は部首");
    pane.setText(text);
    QTemporaryDir dir;
    for (const bool vertical : {true, false}) {
        pane.setVertical(vertical);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
        ASSERT_EQ(printPane(&pane, &printer), 1);
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-raw"), printer.outputFileName(), QStringLiteral("-")});
        ASSERT_TRUE(p.waitForFinished(20000));
        QString back = QString::fromUtf8(p.readAllStandardOutput());
        back.remove(QRegularExpression(QStringLiteral("\\s|1 / 1")));
        EXPECT_EQ(back, QString(text).remove(u'\n')) << (vertical ? "vertical" : "horizontal");
    }
}

// In horizontal writing an edit within a line that keeps its height repaints that line from
// the row before the edit's on: every pixel that differs from a picture taken before lies in
// what was repainted, and a key in a later row leaves the line's first row alone.
TEST_F(PaneFixture, WhatAnEditChangesInHorizontalWritingIsRepainted)
{
    QFont f(QStringLiteral("ＭＳ 明朝"));
    f.setPixelSize(20);
    pane.setPaneFont(f);
    const QString wrapped = QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山");
    pane.setText(wrapped + wrapped + wrapped + QStringLiteral("\n短い行\n") + wrapped);
    auto *view = static_cast<RichHorizontalView *>(pane.horizontalView());
    const auto line = [&] { return pane.document()->firstBlock(); };
    const auto rowStart = [&](int row) { return view->laidOut(line())->lineAt(row).textStart(); };
    const auto put = [&](int position) {
        QTextCursor c = pane.textCursor();
        c.setPosition(position);
        pane.setTextCursor(c);
    };
    const auto type = [&](const QString &text) {
        for (QChar c : text) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(view, &key);
        }
    };
    ASSERT_GE(view->laidOut(line())->lineCount(), 4);
    struct Step
    {
        const char *what;
        std::function<void()> before; // places the caret
        std::function<void()> edit;
        bool firstRowKept; // the line's first row is not repainted
    };
    const Step steps[] = {
        {"a key in the third row", [&] { put(rowStart(2) + 3); },
         [&] { type(QStringLiteral("あ")); }, true},
        {"a closing bracket at a row's head, which takes the character before along",
         [&] { put(rowStart(2)); }, [&] { type(QStringLiteral("」")); }, true},
        {"Backspace at a row's head", [&] { put(rowStart(3)); },
         [&] { QTest::keyClick(view, Qt::Key_Backspace); }, true},
        {"a key in the first row", [&] { put(2); }, [&] { type(QStringLiteral("あ")); }, false},
        {"a line that grows by a row",
         [&] { put(rowStart(view->laidOut(line())->lineCount() - 1)); }, [&] { type(wrapped); },
         false},
        {"Enter", [&] { put(rowStart(1) + 2); }, [&] { QTest::keyClick(view, Qt::Key_Return); },
         false},
        {"with ruby shown, an edit in a later row of a line not the caret's, moving ruby",
         [&] {
             pane.setTypesetting({true, 0, false});
             pane.setText(wrapped + wrapped + QStringLiteral("｜白妙《しろたへ》の衣") + wrapped +
                          QStringLiteral("\n短い行"));
             put(pane.document()->lastBlock().position());
         },
         [&] {
             const int at = rowStart(2) + 3;
             QTextCursor c = pane.placedCursor(at, at);
             pane.replaceSelection(c, QStringLiteral("あ"));
         },
         false}, // the line's ruby is set again from its start
    };
    for (const Step &step : steps) {
        step.before();
        const QRectF first = view->characterBox(0);
        const QRect firstRow(0, qRound(first.top()) + 2, view->viewport()->width(),
                             qRound(first.height()) - 4);
        const testsupport::RepaintCheck check =
            testsupport::checkRepaint(view->viewport(), step.edit);
        EXPECT_EQ(check.stale, 0) << step.what;
        EXPECT_TRUE(check.changed) << step.what << ": the step changed nothing to see";
        if (step.firstRowKept) {
            EXPECT_FALSE(check.painted.intersects(firstRow)) << step.what;
        }
    }
}

// A long text goes in by parts while the event loop is idle, and whatever needs the whole
// text takes the rest in first. However the loading ends, the pane holds the text exactly,
// the loading is neither a change nor an undo step, and the caret stays where it was put.
TEST_F(PaneFixture, ALongTextLoadedInPartsIsWholeHoweverTheLoadingEnds)
{
    QStringList lines;
    qsizetype size = 0;
    for (int i = 0; size < 1'300'000; ++i) {
        lines << QString::number(i) +
                     QStringLiteral("　春の野にすみれ摘みにと").repeated(1 + i % 4);
        size += lines.last().size() + 1;
    }
    const QString whole = lines.join(u'\n');
    const QTextDocument *inSoFar = pane.horizontalView()->document(); // takes nothing in
    const auto loadInIdleTime = [&] {
        while (pane.isLoading())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    struct Ending
    {
        const char *name;
        std::function<void()> end;
        QString expected;
        int flagChanges; // of the modified flag, by what ends the loading
    };
    const QString shortText = QStringLiteral("短い歌");
    const std::vector<Ending> endings = {
        {"the event loop", loadInIdleTime, whole, 0},
        {"asking for the text", [&] { (void)pane.text(); }, whole, 0},
        {"counting the rows", [&] { (void)pane.rowCount(); }, whole, 0},
        {"a key", [&] { QTest::keyClick(pane.activeView(), Qt::Key_A); }, u'a' + whole, 1},
        {"select all and delete",
         [&] {
             pane.selectAll();
             QTest::keyClick(pane.activeView(), Qt::Key_Delete);
         },
         QString(), 1},
        {"another text",
         [&] {
             pane.setText(shortText);
             pane.setModified(false); // as after opening a file
             loadInIdleTime();
         },
         shortText, 2},
    };
    for (const bool vertical : {false, true}) {
        pane.setVertical(vertical);
        for (const Ending &e : endings) {
            pane.setText(QString(whole).replace(u'\n', QStringLiteral("\r\n")));
            pane.setModified(false);
            QSignalSpy modified(&pane, &TRichEditSx::modificationChanged);
            QSignalSpy changed(&pane, &TRichEditSx::textChanged);
            ASSERT_TRUE(pane.isLoading()) << e.name;
            EXPECT_LT(inSoFar->characterCount(), whole.size() / 10) << e.name;
            e.end();
            QCoreApplication::processEvents();
            EXPECT_FALSE(pane.isLoading()) << e.name;
            EXPECT_TRUE(pane.text() == e.expected) << e.name << ' ' << vertical;
            const bool edited = e.expected != whole && e.expected != shortText;
            EXPECT_EQ(pane.isModified(), edited) << e.name;
            EXPECT_EQ(modified.count(), e.flagChanges) << e.name;
            EXPECT_GE(changed.count(), 1) << e.name;
            if (edited) {
                pane.undo();
                EXPECT_TRUE(pane.text() == whole) << e.name << ' ' << vertical;
            }
        }
        // A caret put at the end of what is in stays there as the rest comes in.
        pane.setText(whole);
        const int end = inSoFar->characterCount() - 1;
        pane.setSelection(end - 2, 2);
        loadInIdleTime();
        EXPECT_EQ(pane.selStart(), end - 2) << vertical;
        EXPECT_EQ(pane.selLength(), 2) << vertical;
        EXPECT_TRUE(pane.text() == whole) << vertical;
    }
}
