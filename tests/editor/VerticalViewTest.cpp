#include "Colouring.h"
#include "QtPrinters.h"
#include "RandomEdits.h"
#include "RepaintCheck.h"
#include "VerticalPaneFixture.h"

#include "editor/QuietScrollBar.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <random>

using namespace editor;

namespace {

struct VerticalFixture : testsupport::VerticalPaneTest
{
    VerticalLayout &layout() { return view->layout(); }
    // The viewport point of the middle of the character at a position.
    QPoint middleOf(int position)
    {
        const int column = layout().columnOfPosition(position);
        const qreal y = layout().yOfPosition(position);
        const qreal adv = layout().yOfPosition(position + 1) - y;
        return QPoint(qRound(view->columnCentre(column)), qRound(6 + y + adv / 2));
    }
};

} // namespace

TEST(VerticalGlyphs, OrientationClassesFollowUnicode)
{
    const std::pair<char32_t, char> cases[] = {
        {U'春', 'U'}, {U'あ', 'U'}, {U'ア', 'U'}, {U'Ａ', 'U'}, {U'、', 'u'},
        {U'。', 'u'}, {U'ゃ', 'u'}, {U'ッ', 'u'}, {U'「', 'r'}, {U'」', 'r'},
        {U'ー', 'r'}, {U'～', 'r'}, {U'“', 'r'},  {U'’', 'r'},  {U'A', 'R'},
        {U'a', 'R'},  {U'1', 'R'},  {U'ｱ', 'R'},  {U'(', 'R'},
    };
    for (const auto &[c, expected] : cases)
        EXPECT_EQ(VerticalGlyphCache::orientationOf(c), expected) << uint(c);
}

TEST(VerticalGlyphs, VerticalFormsRotationAndFallback)
{
    QFont f(QStringLiteral("IPAMincho"));
    f.setPixelSize(20);
    VerticalGlyphCache g(f);
    if (!g.rawFont().familyName().contains(QStringLiteral("IPA")))
        GTEST_SKIP() << "IPA Mincho is not installed";
    // The font has vertical forms of these: upright, with a glyph other than the plain one.
    for (char32_t c : {U'「', U'ー', U'、', U'ゃ', U'“', U'’'}) {
        const VerticalGlyph &vg = g.glyph(c);
        EXPECT_EQ(vg.mode, GlyphMode::Upright) << uint(c);
        const QString s = QString::fromUcs4(&c, 1);
        EXPECT_NE(vg.glyph, g.rawFont().glyphIndexesForString(s).value(0)) << uint(c);
    }
    EXPECT_EQ(g.glyph(U'春').mode, GlyphMode::Upright);
    EXPECT_FLOAT_EQ(g.glyph(U'春').advance, 20.f);
    EXPECT_EQ(g.glyph(U'K').mode, GlyphMode::Rotated);
    EXPECT_FLOAT_EQ(g.glyph(U'K').advance, 10.f) << "turned Latin advances by its width";
    EXPECT_EQ(g.glyph(U'\U0001F600').mode, GlyphMode::Fallback);
}

// Printing sets each character with its own glyph, the one a PDF reader maps back to it,
// also in a font with vertical presentation forms (Noto CJK has ︑︒﹁﹂ for 、。「」).
TEST(VerticalGlyphs, WithoutVerticalFormsEachCharacterKeepsItsOwnGlyph)
{
    for (const QString &family :
         {QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAMincho")}) {
        QFont f(family);
        f.setPixelSize(20);
        VerticalGlyphCache g(f, false);
        if (!g.rawFont().familyName().contains(family.left(4)))
            continue;
        for (char32_t c : {U'、', U'。', U'「', U'」', U'（', U'ー', U'ゃ', U'白'}) {
            const QString s = QString::fromUcs4(&c, 1);
            EXPECT_EQ(g.glyph(c).glyph, g.rawFont().glyphIndexesForString(s).value(0))
                << family.toStdString() << " " << s.toStdString();
        }
    }
}

// A font without Japanese: kanji, kana and punctuation come from the Japanese font the
// machine has, in its vertical forms; Latin stays in the chosen font, turned.
TEST(VerticalGlyphs, ALatinOnlyFontTakesJapaneseFromAJapaneseFontWithItsVerticalForms)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(20);
    VerticalGlyphCache g(f);
    if (!g.rawFont().familyName().contains(QStringLiteral("Liberation")))
        GTEST_SKIP() << "Liberation Serif is not installed";
    EXPECT_EQ(g.glyph(U'K').face, 0);
    EXPECT_EQ(g.glyph(U'K').mode, GlyphMode::Rotated);
    EXPECT_EQ(g.glyph(U'春').face, 1);
    EXPECT_EQ(g.glyph(U'春').mode, GlyphMode::Upright);
    EXPECT_FALSE(g.rawFont(1).familyName().contains(QStringLiteral("Liberation")));
    for (char32_t c : {U'「', U'ー', U'、', U'ゃ'}) {
        const VerticalGlyph &vg = g.glyph(c);
        EXPECT_EQ(vg.face, 1) << uint(c);
        EXPECT_EQ(vg.mode, GlyphMode::Upright) << uint(c) << ": a vertical form, not turned";
        EXPECT_NE(vg.glyph, g.rawFont(1).glyphIndexesForString(QString::fromUcs4(&c, 1)).value(0))
            << uint(c);
    }
}

// A character with its variation selector or combining mark is one cell with one glyph:
// an ideographic variation sequence, a kana with a combining sound mark (composed), a Latin
// letter with a combining accent (composed, turned); the caret never stops inside.
TEST(VerticalGlyphs, ClustersTakeOneCellAndOneGlyph)
{
    QFont f(QStringLiteral("IPAMincho"));
    f.setPixelSize(20);
    VerticalGlyphCache g(f);
    if (!g.rawFont().familyName().contains(QStringLiteral("IPA")))
        GTEST_SKIP() << "IPA Mincho is not installed";
    const QString ivs = QStringLiteral("葛\U000E0100");
    EXPECT_EQ(VerticalGlyphCache::clusterLength(ivs, 0), 3);
    EXPECT_EQ(g.cluster(ivs).mode, GlyphMode::Upright);
    EXPECT_NE(g.cluster(ivs).glyph, 0u);
    EXPECT_FLOAT_EQ(g.cluster(ivs).advance, 20.f);
    const QString ga = QStringLiteral("か\u3099");
    EXPECT_EQ(VerticalGlyphCache::clusterLength(ga, 0), 2);
    EXPECT_EQ(g.cluster(ga).glyph, g.glyph(U'が').glyph);
    const QString e = QStringLiteral("e\u0301");
    EXPECT_EQ(g.cluster(e).mode, GlyphMode::Rotated);
    EXPECT_EQ(g.cluster(e).glyph, g.glyph(U'é').glyph);

    QTextDocument doc;
    doc.setPlainText(ivs + ga + QStringLiteral("木"));
    VerticalLayout layout(&doc);
    layout.setFont(f);
    const qreal cells[] = {0, 0, 0, 20, 20, 40, 60};
    for (int p = 0; p < int(std::size(cells)); ++p)
        EXPECT_EQ(layout.yOfPosition(p), cells[p]) << p;
}

TEST(VerticalGlyphs, SidewaysRunsAreSetAsTheSameWordsInARow)
{
    // Kerning (AV, Wa), ligatures (ff, fl) and a mark on a base that has no composed form.
    const QString line = QStringLiteral("AVOW Wa office fluffy q\u0301");
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(20);
    f.setHintingPreference(QFont::PreferNoHinting);
    if (QFontInfo(f).family() != QStringLiteral("DejaVu Serif"))
        GTEST_SKIP() << "DejaVu Serif is not installed";
    // The same words in a row of horizontal text, as Qt shapes them.
    QTextLayout row(line, f);
    row.beginLayout();
    row.createLine();
    row.endLayout();
    const QList<QGlyphRun> runs = row.glyphRuns();
    ASSERT_EQ(runs.size(), 1);
    const QList<quint32> rowGlyphs = runs[0].glyphIndexes();
    const QList<QPointF> rowPositions = runs[0].positions();

    for (const bool verticalForms : {true, false}) {
        SCOPED_TRACE(verticalForms ? "on screen" : "printed");
        QTextDocument doc;
        doc.setPlainText(line);
        VerticalLayout layout(&doc);
        layout.setFont(f, verticalForms);
        layout.setColumnHeight(2000);
        const VerticalBlockLayout &l = layout.blockLayout(doc.firstBlock());
        QList<quint32> glyphs;
        for (const SidewaysGlyph &g : l.sideways)
            glyphs << g.glyph;
        if (!verticalForms) {
            // Printed, every character keeps its own glyph, which a PDF reader maps back.
            QList<quint32> own = layout.glyphs().rawFont().glyphIndexesForString(line);
            EXPECT_EQ(glyphs, own);
            continue;
        }
        ASSERT_EQ(glyphs, rowGlyphs);
        for (size_t i = 0; i < l.sideways.size(); ++i) {
            const SidewaysGlyph &g = l.sideways[i];
            // (Qt rounds each advance to 1/64 px.)
            EXPECT_NEAR(l.y[size_t(g.at)] + g.along, rowPositions[qsizetype(i)].x(), 0.25) << i;
        }
        // The caret stands inside a ligature, its width shared by the characters it joins.
        const size_t ff = size_t(line.indexOf(u"ff"));
        ASSERT_LT(glyphs.size(), line.size());
        EXPECT_GT(l.y[ff + 1], l.y[ff]);
        EXPECT_NEAR(l.y[ff + 1] - l.y[ff], l.y[ff + 2] - l.y[ff + 1], 0.01);
    }
}

// A font that neither kerns nor forms ligatures (IPA Mincho) sets sideways words a letter
// at a time, as it shapes them the same; a mark still goes onto its letter, shaped with it.
TEST(VerticalGlyphs, SidewaysRunsAreShapedOnlyWhereTheFontShapesThem)
{
    QFont f(QStringLiteral("IPAMincho"));
    f.setPixelSize(20);
    if (QFontInfo(f).family() != QStringLiteral("IPAMincho"))
        GTEST_SKIP() << "IPA Mincho is not installed";
    const std::pair<QString, bool> cases[] = {
        {QStringLiteral("Kotonami 2026 版"), false},
        {QStringLiteral("AVAWAY"), false},
        {QStringLiteral("q\u0301 と"), true},
    };
    for (const auto &[line, shaped] : cases) {
        QTextDocument doc;
        doc.setPlainText(line);
        VerticalLayout layout(&doc);
        layout.setFont(f);
        const VerticalBlockLayout &l = layout.blockLayout(doc.firstBlock());
        EXPECT_EQ(!l.sideways.empty(), shaped) << line.toStdString();
        if (shaped)
            continue;
        qreal y = 0;
        for (int i = 0; i < line.size(); ++i) {
            EXPECT_FLOAT_EQ(l.y[size_t(i)], y) << line.toStdString() << " " << i;
            y += layout.glyphs().glyph(line[i].unicode()).advance;
        }
    }
}

// Full-width punctuation that meets closes up only in a font with half-width forms for
// vertical text, and only with vertical forms on (print sets plain glyphs); an opening
// bracket that starts a column keeps its whole cell.
TEST(VerticalGlyphs, FullWidthPunctuationClosesUpWhereTheFontHasHalfWidthForms)
{
    const QString noto = QStringLiteral("Noto Serif CJK JP");
    const QString ipa = QStringLiteral("IPAMincho");
    for (const QString &family : {noto, ipa}) {
        if (QFontInfo(QFont(family)).family() != family)
            GTEST_SKIP() << family.toStdString() << " is not installed";
    }
    struct Case
    {
        QString family;
        bool verticalForms;
        QString line;
        QList<HalfCell> halves;
    };
    const QString column = QStringLiteral("一二三四五六七八九十一二三四」「五");
    const Case cases[] = {
        {noto, true, QStringLiteral("いいえ。」と"), {{3, false}}},
        {noto, true, QStringLiteral("「そう」「はい」"), {{4, true}}},
        {noto, true, QStringLiteral("　「はい」"), {{1, true}}},
        {noto, true, QStringLiteral("『はい』、（注）・"), {{3, false}, {5, true}, {7, false}}},
        {noto, true, QStringLiteral("「『終わり。』」"), {{1, true}, {5, false}, {6, false}}},
        {noto, true, QStringLiteral("あ「い」う"), {}},
        {noto, true, column, {}},
        {noto, false, QStringLiteral("いいえ。」「はい」"), {{3, false}, {5, true}}},
        {ipa, true, QStringLiteral("いいえ。」「はい」"), {}},
    };
    for (const Case &c : cases) {
        QFont f(c.family);
        f.setPixelSize(20);
        QTextDocument doc;
        doc.setPlainText(c.line);
        VerticalLayout layout(&doc);
        layout.setFont(f, c.verticalForms);
        layout.setColumnHeight(300);
        const VerticalBlockLayout &l = layout.blockLayout(doc.firstBlock());
        EXPECT_EQ(l.halves, c.halves) << c.line.toStdString();
        for (int i = 0; i < c.line.size(); ++i) {
            const bool half = std::any_of(c.halves.begin(), c.halves.end(),
                                          [i](const HalfCell &h) { return h.at == i; });
            const float cell = l.y[size_t(i) + 1] - l.y[size_t(i)];
            if (l.columnOfIndex(i) == l.columnOfIndex(i + 1)) {
                EXPECT_NEAR(cell, half ? 10.f : 20.f, 0.05) << c.line.toStdString() << " " << i;
            }
        }
    }
}

TEST_F(VerticalFixture, LinesAreColumnsFromTheRight)
{
    pane.setText(QStringLiteral("春過ぎて\n夏来にけらし\n白妙の"));
    EXPECT_EQ(pane.rowCount(), 3);
    EXPECT_GT(view->columnCentre(0), view->columnCentre(1)) << "the first line is rightmost";
    EXPECT_GT(view->columnCentre(1), view->columnCentre(2));
    EXPECT_GT(view->columnCentre(0), view->viewport()->width() - 40);
    pane.setSelection(7, 0);
    EXPECT_EQ(pane.SelY(), 1);
    EXPECT_EQ(pane.SelLineIndex(), 5);
    EXPECT_EQ(pane.SelX(), 2);
}

TEST_F(VerticalFixture, ClickPutsTheCaretByTheNearerHalf)
{
    pane.setText(QStringLiteral("春過ぎて\n夏来にけらし"));
    const QPoint mid = middleOf(6); // 来
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, mid - QPoint(0, 4));
    EXPECT_EQ(caret(), 6) << "upper half: before the character";
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, mid + QPoint(0, 4));
    EXPECT_EQ(caret(), 7) << "lower half: after it";
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(mid.x(), 280));
    EXPECT_EQ(caret(), 11) << "below the end of a column: its end";
}

TEST_F(VerticalFixture, DragSelects)
{
    pane.setText(QStringLiteral("春過ぎて\n夏来にけらし"));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, middleOf(1) - QPoint(0, 4));
    QMouseEvent move(QEvent::MouseMove, middleOf(7) + QPoint(0, 4),
                     view->viewport()->mapToGlobal(middleOf(7) + QPoint(0, 4)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, middleOf(7) + QPoint(0, 4));
    EXPECT_EQ(pane.selStart(), 1);
    EXPECT_EQ(pane.selLength(), 7);
    EXPECT_EQ(pane.selectedText(), QStringLiteral("過ぎて\n夏来に"));
}

TEST_F(VerticalFixture, ArrowKeysMoveAlongAndAcrossColumns)
{
    pane.setText(QStringLiteral("春過ぎて夏\nあ\n来にけらし"));
    pane.setSelection(3, 0); // before て, fourth cell of the first column
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(caret(), 4);
    QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(caret(), 2);
    // Left goes on to the next (shorter) column: the caret ends at its end...
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(caret(), 7);
    // ...and going on keeps the height it came from.
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(caret(), 10);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(caret(), 2);
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_EQ(caret(), 5);
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(caret(), 0);
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(caret(), pane.document()->characterCount() - 1);
    QTest::keyClick(view, Qt::Key_Home, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(pane.selLength(), pane.document()->characterCount() - 1);
}

TEST_F(VerticalFixture, EditingKeysAndTheUndoMemory)
{
    QTest::keyClicks(view, QStringLiteral("abc"));
    QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_EQ(pane.text(), QStringLiteral("ab\n\tc"));
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(pane.text(), QStringLiteral("abc"));
    pane.undo();
    EXPECT_EQ(pane.text(), QStringLiteral("ab\n\tc"));
    pane.undo();
    EXPECT_EQ(pane.text(), QStringLiteral("ab\nc")) << "Enter and Tab were one step each";
}

// After each edit or caret move the view repaints only part of itself: every pixel that
// differs from a picture taken before must lie in what was repainted.
TEST_F(VerticalFixture, WhatAnEditChangesIsRepainted)
{
    const QString wrapped = QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山");
    const auto type = [this](const QString &text) {
        for (QChar c : text) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(view, &key);
        }
    };
    const auto put = [this](int position) {
        QTextCursor c = pane.textCursor();
        c.setPosition(position);
        pane.setTextCursor(c);
    };
    struct Step
    {
        const char *what;
        std::function<void()> before; // places the caret
        std::function<void()> edit;
    };
    const Step steps[] = {
        {"a key in a wrapped line", [&] { put(5); }, [&] { type(QStringLiteral("あ")); }},
        {"a closing bracket put at a column's head, which takes the character before along",
         [&] { put(3 * wrapped.size()); },
         [&] {
             const int head = layout().columnStart(2);
             QTextCursor c = pane.placedCursor(head, head);
             pane.replaceSelection(c, QStringLiteral("」"));
         }},
        {"Backspace", [&] { put(2 * wrapped.size() + 4); },
         [&] { QTest::keyClick(view, Qt::Key_Backspace); }},
        {"the caret moved down the column", [] {}, [&] { QTest::keyClick(view, Qt::Key_Up); }},
        {"the caret moved to the next column", [] {}, [&] { QTest::keyClick(view, Qt::Key_Left); }},
        {"a line that grows by a column", [&] { put(layout().columnEnd(0) - 1); },
         [&] { type(QStringLiteral("ああああ")); }},
        {"Enter", [] {}, [&] { QTest::keyClick(view, Qt::Key_Return); }},
    };
    pane.setText(wrapped + wrapped + QStringLiteral("\n「いいえ。」と言った\n短い行\n") + wrapped);
    for (const Step &step : steps) {
        step.before();
        const testsupport::RepaintCheck check =
            testsupport::checkRepaint(view->viewport(), step.edit);
        EXPECT_EQ(check.stale, 0) << step.what;
        EXPECT_TRUE(check.changed) << step.what << ": the step changed nothing to see";
    }
}

TEST_F(VerticalFixture, PreeditIsDrawnInlineAndCommitInserts)
{
    pane.setText(QStringLiteral("春"));
    pane.setSelection(1, 0);
    QList<QInputMethodEvent::Attribute> attrs{
        {QInputMethodEvent::Cursor, 2, 1, QVariant()},
        {QInputMethodEvent::TextFormat, 0, 2, QVariant(QTextCharFormat())}};
    QInputMethodEvent preedit(QStringLiteral("なつ"), attrs);
    QApplication::sendEvent(view, &preedit);
    const QTextBlock block = pane.document()->begin();
    const VerticalBlockLayout &l = layout().blockLayout(block);
    EXPECT_EQ(l.text, QStringLiteral("春なつ")) << "the preedit is laid out in the column";
    EXPECT_EQ(pane.text(), QStringLiteral("春")) << "a preedit is not text yet";
    // The caret stands after the preedit's second character.
    EXPECT_NEAR(view->caretRect().top(), 6 + 3 * layout().em() - 1, 1.0);
    EXPECT_EQ(pane.undoMemory().lastAction(), ActionComposition);

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("夏"));
    QApplication::sendEvent(view, &commit);
    EXPECT_EQ(pane.text(), QStringLiteral("春夏"));
    EXPECT_EQ(layout().blockLayout(pane.document()->begin()).text, QStringLiteral("春夏"));
}

TEST_F(VerticalFixture, CaretRectangleForTheInputMethod)
{
    pane.setText(QStringLiteral("春過ぎて\n夏来に"));
    pane.setSelection(6, 0);
    const QRect r = view->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int column = layout().columnOfPosition(6);
    EXPECT_EQ(column, 1);
    // On the column's right edge at the caret: the candidate window opens below its bottom
    // left, beside the column and not over it.
    EXPECT_NEAR(r.left(), view->columnCentre(1) + layout().pitch() / 2, 1);
    EXPECT_NEAR(r.top(), 6 + layout().em(), 2);
    EXPECT_LE(r.height(), 2);
    EXPECT_EQ(view->inputMethodQuery(Qt::ImAnchorRectangle).toRect(), r);
    // During a composition it stays at the composition's start, whatever the caret in it.
    QList<QInputMethodEvent::Attribute> caretAtEnd{{QInputMethodEvent::Cursor, 3, 1, QVariant()}};
    QInputMethodEvent preedit(QStringLiteral("なつや"), caretAtEnd);
    QApplication::sendEvent(view, &preedit);
    EXPECT_EQ(view->inputMethodQuery(Qt::ImCursorRectangle).toRect(), r);
}

TEST_F(VerticalFixture, WordWrapBreaksByJapaneseRules)
{
    const int perColumn = int(layout().columnHeight() / layout().em());
    ASSERT_GT(perColumn, 4);
    // The column's last cell holds さ and the next character is 、, which may not start
    // a column: the break moves back one character so that さ goes down with it.
    const QString filler(perColumn - 1, QChar(u'あ'));
    pane.setText(filler + QStringLiteral("さ、しすせそ"));
    EXPECT_EQ(pane.rowCount(), 2);
    EXPECT_EQ(layout().columnStart(1), perColumn - 1);
    // The same with ー, a small kana and a closing bracket.
    for (const QString &starter :
         {QStringLiteral("ー"), QStringLiteral("ゃ"), QStringLiteral("」")}) {
        pane.setText(filler + QStringLiteral("さ") + starter + QStringLiteral("しす"));
        EXPECT_EQ(layout().columnStart(1), perColumn - 1) << starter.toStdString();
    }
    // An opening bracket does not end a column: it goes down to the next one.
    pane.setText(filler + QStringLiteral("「さしす」"));
    EXPECT_EQ(layout().columnStart(1), perColumn - 1);
    // Without such characters the column is filled to its last cell.
    pane.setText(filler + QStringLiteral("さしすせそ"));
    EXPECT_EQ(layout().columnStart(1), perColumn);

    pane.setWordWrap(false);
    EXPECT_EQ(pane.rowCount(), 1);
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0) << "a long line scrolls instead";
}

TEST_F(VerticalFixture, RubyUprightRunsAndHangingMarksAreSetAsTheyShow)
{
    const qreal em = layout().em();
    const int perColumn = int(layout().columnHeight() / em);
    pane.setText(QStringLiteral("先\n｜春日《かすが》の12月\n") + QString(perColumn, u'あ') +
                 QStringLiteral("、い"));
    pane.setTypesetting({true, 2, true});
    const QTextBlock ruby = pane.document()->findBlockByNumber(1);
    const int at = ruby.position();
    // Off the caret's line the notation takes no room: の follows 日 directly; 12 shares
    // one cell, the caret between its digits halfway down.
    EXPECT_EQ(layout().yOfPosition(at + 8) - layout().yOfPosition(at + 1), 2 * em);
    EXPECT_EQ(layout().yOfPosition(at + 11) - layout().yOfPosition(at + 9), em);
    EXPECT_EQ(layout().yOfPosition(at + 10) - layout().yOfPosition(at + 9), em / 2);
    const VerticalBlockLayout &l = layout().blockLayout(ruby);
    ASSERT_EQ(l.rubies.size(), 1);
    EXPECT_EQ(l.rubies[0].text, QStringLiteral("かすが"));
    ASSERT_EQ(l.upright.size(), 1);
    EXPECT_EQ(l.upright[0].start, 9);
    EXPECT_GE(layout().pitch(), 1.75 * em) << "columns with ruby leave room for it";
    // On the caret's line the notation is text to edit again.
    QTextCursor c = pane.textCursor();
    c.setPosition(at + 2);
    pane.setTextCursor(c);
    EXPECT_EQ(layout().yOfPosition(at + 9) - layout().yOfPosition(at), 9 * em);
    // 、 after a full column hangs below it; without hanging it takes the column's last
    // character down to the next column with it.
    const int full = pane.document()->lastBlock().position();
    EXPECT_EQ(layout().columnOfPosition(full + perColumn), layout().columnOfPosition(full));
    pane.setTypesetting({});
    EXPECT_TRUE(layout().blockLayout(ruby).upright.isEmpty());
    EXPECT_TRUE(layout().blockLayout(ruby).rubies.isEmpty());
    EXPECT_EQ(layout().columnOfPosition(full + perColumn - 1), layout().columnOfPosition(full) + 1);
}

// A ruby longer than its base stands over the kana beside it by one ruby character, never
// over kanji, and spreads the base apart for the rest; a base that starts a column keeps its
// ruby inside the column.
TEST_F(VerticalFixture, LongRubyOverhangsKanaAndStaysInsideItsColumn)
{
    const qreal em = layout().em();
    const int perColumn = int(layout().columnHeight() / em);
    pane.setTypesetting({true, 2, false});
    pane.setText(QStringLiteral("先\nあ｜空《そらのう》い\n山｜空《そらのう》川\n") +
                 QString(perColumn, u'あ') + QStringLiteral("｜空《そらのうえのたか》"));
    const auto at = [&](int line, int index) {
        return pane.document()->findBlockByNumber(line).position() + index;
    };
    // あ｜空《そらのう》い: 0 あ, 2 空, 9 い; the ruby is two ems over a base of one.
    EXPECT_NEAR(layout().yOfPosition(at(1, 9)) - layout().yOfPosition(at(1, 0)), 2 * em, 0.5);
    EXPECT_NEAR(layout().yOfPosition(at(2, 9)) - layout().yOfPosition(at(2, 0)), 3 * em, 0.5);
    const int base = at(3, perColumn + 1);
    EXPECT_EQ(layout().columnOfPosition(base), layout().columnOfPosition(at(3, 0)) + 1);
    EXPECT_NEAR(layout().yOfPosition(base), 1.5 * em, 0.5) << "its ruby starts at the head";
}

TEST_F(VerticalFixture, ANewTextKeepsNoRubyRoomFromTheTextBefore)
{
    pane.setTypesetting({true, 2, false});
    const qreal plain = layout().pitch();
    pane.setText(QStringLiteral("先\n｜春日《かすが》の山")); // the caret's line shows notation
    layout().blockLayout(pane.document()->lastBlock());
    EXPECT_GT(layout().pitch(), plain);
    pane.setText(QStringLiteral("古池や\n蛙飛び込む"));
    layout().blockLayout(pane.document()->firstBlock());
    EXPECT_EQ(layout().pitch(), plain) << "the same text, the same columns, whatever came before";
}

TEST_F(VerticalFixture, WrapToggleKeepsSelectionAndFirstVisibleColumn)
{
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines << QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山%1").arg(i);
    pane.setText(lines.join(QLatin1Char('\n')));
    pane.setSelTopIndex(30);
    const int topPosition = pane.rowStart(pane.SelTopIndex());
    pane.setSelection(topPosition + 3, 5);
    pane.setWordWrap(false);
    EXPECT_EQ(pane.selStart(), topPosition + 3);
    EXPECT_EQ(pane.selLength(), 5);
    EXPECT_EQ(pane.rowStart(pane.SelTopIndex()), topPosition);
    pane.setWordWrap(true);
    EXPECT_EQ(pane.selStart(), topPosition + 3);
}

TEST_F(VerticalFixture, ToggleKeepsTextCaretFormatsAndModifiedFlag)
{
    pane.setText(QStringLiteral("春の夜の"));
    pane.setModified(false);
    testsupport::colour(pane.document(), 0, 1, Qt::red);
    pane.setModified(false);
    pane.setSelection(2, 1);
    int notices = 0;
    QObject::connect(&pane, &TRichEditSx::OnVerticalChange, [&] { ++notices; });
    pane.setVertical(false);
    pane.setVertical(true);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(pane.text(), QStringLiteral("春の夜の"));
    EXPECT_EQ(pane.selStart(), 2);
    EXPECT_EQ(pane.selLength(), 1);
    EXPECT_FALSE(pane.isModified());
    EXPECT_EQ(pane.document()->begin().begin().fragment().charFormat().foreground().color(),
              QColor(Qt::red));
}

TEST_F(VerticalFixture, ScrollStartsAtTheRightAndFollowsTheCaret)
{
    QStringList lines;
    for (int i = 0; i < 80; ++i)
        lines << QStringLiteral("行%1").arg(i);
    pane.setText(lines.join(QLatin1Char('\n')));
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
    EXPECT_TRUE(view->horizontalScrollBar()->invertedAppearance());
    EXPECT_EQ(pane.SelTopIndex(), 0);
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(view->horizontalScrollBar()->value(), 0);
    const QRectF caret = view->caretRect();
    EXPECT_GE(caret.left(), 0);
    EXPECT_LE(caret.right(), view->viewport()->width());
    QWheelEvent wheel(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    const int before = view->horizontalScrollBar()->value();
    QApplication::sendEvent(view->viewport(), &wheel);
    EXPECT_LT(view->horizontalScrollBar()->value(), before) << "wheel up goes back to the right";
}

// The columns kept up to date edit by edit answer as a layout made afresh does: typing,
// Enter, deleting across lines, pastes of many lines, in the shown view and while it is
// hidden, with the lines counted only as far as questions needed (after a new column
// height every line is uncounted again) and asked about from the end backwards.
TEST_F(VerticalFixture, ColumnsKeptThroughEditsAnswerAsALayoutMadeAfresh)
{
    std::mt19937 random(5);
    const QStringList pieces = {QStringLiteral("あ"), QStringLiteral("\n"),
                                QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山"),
                                QStringLiteral("一\n二\n三\n"), QString(40, u'字')};
    pane.setText(QStringLiteral("秋の田の\nかりほの庵の苫をあらみ\n\nわが衣手は露にぬれつつ"));
    editor::VerticalLayout &kept = view->layout();
    const auto expectFresh = [&](int step) {
        editor::VerticalLayout fresh(pane.document());
        fresh.setFont(kept.font());
        fresh.setColumnHeight(kept.columnHeight());
        for (int p = pane.document()->characterCount() - 1; p >= 0; p -= 7)
            ASSERT_EQ(kept.columnOfPosition(p), fresh.columnOfPosition(p)) << step;
        for (int c = fresh.columnCount() - 1; c >= 0; --c)
            ASSERT_EQ(kept.columnStart(c), fresh.columnStart(c)) << step << " column " << c;
        ASSERT_EQ(kept.columnCount(), fresh.columnCount()) << step;
    };
    for (int step = 0; step < 120; ++step) {
        if (step == 60)
            view->hide(); // edits while hidden are only noted
        if (step % 10 == 3)
            kept.invalidate(); // every line uncounted, as after a new column height
        testsupport::randomEdit(pane.document(), random, pieces);
        if (step % 6 == 0)
            expectFresh(step);
        else if (step % 6 == 2)
            kept.columnOfPosition(int(random() % pane.document()->characterCount()));
    }
    view->show();
    expectFresh(-1);
}

// The bar copied from its last drawing is the bar QScrollBar draws, as its handle moves.
TEST(QuietScrollBar, DrawsWhatAScrollBarDraws)
{
    QuietScrollBar quiet(Qt::Horizontal);
    QScrollBar plain(Qt::Horizontal);
    for (QScrollBar *bar : {static_cast<QScrollBar *>(&quiet), &plain}) {
        bar->resize(300, 16);
        bar->setRange(0, 1000);
        bar->setPageStep(100);
    }
    for (const int value : {0, 0, 500, 1000}) {
        quiet.setValue(value);
        plain.setValue(value);
        EXPECT_EQ(quiet.grab().toImage(), plain.grab().toImage()) << value;
    }
}
