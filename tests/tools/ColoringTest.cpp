#include "tools/Counts.h"
#include "tools/StringColoring.h"

#include "QtPrinters.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace tools;

namespace {

// The foreground of the character at a position (invalid when it has none).
QColor colorAt(QTextDocument &doc, int pos)
{
    QTextCursor c(&doc);
    c.setPosition(pos + 1);
    const QTextCharFormat f = c.charFormat();
    return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor();
}

QList<int> coloredPositions(QTextDocument &doc, const QColor &color)
{
    QList<int> out;
    for (int i = 0; i < doc.characterCount() - 1; ++i)
        if (colorAt(doc, i) == color)
            out << i;
    return out;
}

const QColor kRed(194, 72, 37);

} // namespace

TEST(ColorAllMatches, ColoursEveryOccurrenceWithoutOverlapAndCaseSensitively)
{
    struct Case
    {
        QString text, find;
        int count;
        QList<int> colored;
        int caret;
    };
    const Case cases[] = {
        {QStringLiteral("秋の田の\n秋風\nあき秋"), QStringLiteral("秋"), 3, {0, 5, 10}, 11},
        {QStringLiteral("あああ"), QStringLiteral("ああ"), 1, {0, 1}, 2},
        {QStringLiteral("Abc abc ABC"), QStringLiteral("abc"), 1, {4, 5, 6}, 7},
        {QStringLiteral("月\n月"), QStringLiteral("月\n月"), 1, {0, 2}, 3},
        {QStringLiteral("花"), QStringLiteral("雪"), 0, {}, 0},
        {QStringLiteral("花"), QString(), 0, {}, 0},
    };
    for (const Case &c : cases) {
        QTextDocument doc;
        doc.setPlainText(c.text);
        QTextCursor cursor(&doc);
        cursor.select(QTextCursor::Document);
        cursor.setPosition(0);
        EXPECT_EQ(ColorAllMatches(cursor, c.find, kRed, QColor()), c.count) << c.text.toStdString();
        QList<int> colored = coloredPositions(doc, kRed);
        colored.removeIf([&](int p) { return doc.characterAt(p) == QChar::ParagraphSeparator; });
        EXPECT_EQ(colored, c.colored) << c.text.toStdString();
        EXPECT_FALSE(cursor.hasSelection());
        EXPECT_EQ(cursor.position(), c.caret) << c.text.toStdString();
        EXPECT_EQ(doc.toPlainText(), c.text);
    }
}

TEST(ColorAllMatches, EmptyPaneKeepsThePreviousCount)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    ColoringState state;
    state.takeRun(3);
    EXPECT_EQ(ColorAllMatches(cursor, QStringLiteral("a"), kRed, QColor()), std::nullopt);
    EXPECT_EQ(state.takeRun(std::nullopt), 3);
    EXPECT_EQ(coloredCountText(state.lastColorCount), QStringLiteral("3文字列"));
}

TEST(ColorAllMatches, DoesNotSplitACharacterOutsideTheBasicPlane)
{
    // U+20B9F 𠮟 is a surrogate pair; a search for its second half alone finds nothing.
    QTextDocument doc;
    const QString s = QString::fromUcs4(U"𠮟る");
    doc.setPlainText(s);
    QTextCursor cursor(&doc);
    EXPECT_EQ(ColorAllMatches(cursor, s.mid(1, 1), kRed, QColor()), 0);
    EXPECT_EQ(ColorAllMatches(cursor, s.left(2), kRed, QColor()), 1);
}

TEST(ColorAllMatches, TextTypedAfterARunHasThePaneFontColour)
{
    QPlainTextEdit pane;
    QPalette pal = pane.palette();
    pal.setColor(QPalette::Text, Qt::blue);
    pane.setPalette(pal);
    pane.setPlainText(QStringLiteral("はな はな"));
    for (const QColor &typing : {QColor(), QColor(Qt::blue)}) {
        QTextCursor cursor = pane.textCursor();
        ASSERT_EQ(ColorAllMatches(cursor, QStringLiteral("はな"), kRed, typing), 2);
        pane.setTextCursor(cursor);
        QTest::keyClicks(&pane, QStringLiteral("z"));
        EXPECT_EQ(pane.toPlainText().mid(5, 1), QStringLiteral("z"));
        const QColor typed = colorAt(*pane.document(), 5);
        // Either no colour of its own (the pane's font colour shows) or the font colour.
        EXPECT_TRUE(!typed.isValid() || typed == QColor(Qt::blue)) << typed.name().toStdString();
        EXPECT_EQ(colorAt(*pane.document(), 4), kRed);
        pane.setPlainText(QStringLiteral("はな はな"));
    }
}

TEST(ColoringColors, TablesAsTheButtonsUseThem)
{
    const QList<ColoringColor> &colors = coloringColors();
    ASSERT_EQ(colors.size(), 12);
    EXPECT_EQ(colors[0].caption, QStringLiteral("えんじ"));
    EXPECT_EQ(colors[0].applied, text::rgbColor(194, 72, 37));
    EXPECT_EQ(colors[2].applied, text::rgbColor(214, 200, 27));
    EXPECT_EQ(colors[2].face, text::rgbColor(231, 218, 67));
    EXPECT_EQ(colors[11].caption, QStringLiteral("銀"));
    EXPECT_EQ(colors[11].face, colors[11].applied);
}

TEST(ColoringState, ElevenPressesCycleBackToRed)
{
    ColoringState state;
    const text::ColorNumber expected[] = {
        text::rgbColor(255, 0, 0),   text::rgbColor(128, 128, 255), text::rgbColor(0, 255, 0),
        text::rgbColor(255, 255, 0), text::rgbColor(0, 255, 255),   text::rgbColor(0, 128, 0),
        text::rgbColor(255, 0, 255), text::rgbColor(128, 128, 0),   text::rgbColor(128, 0, 0),
        text::rgbColor(0, 0, 128),   text::rgbColor(255, 0, 0)};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(state.nextCyclingColor(), expected[i]) << "press " << i + 1;
    EXPECT_EQ(state.pressCounter, 11);
}

TEST(PaneCounts, LinesAndCharactersForTheStatusBar)
{
    EXPECT_EQ(paneCharCount(QStringLiteral("あい\nabc")), 5);
    EXPECT_EQ(paneCharCount(QStringLiteral("あい\r\nabc\r\n")), 5);
    EXPECT_EQ(paneCharCount(QString()), 0);
    EXPECT_EQ(lineCountText(2), QStringLiteral("2行"));
    EXPECT_EQ(charCountText(5), QStringLiteral("5字"));
    EXPECT_EQ(sixDigits(3), QStringLiteral("000003"));
    EXPECT_EQ(sixDigits(1234567), QStringLiteral("1234567"));
}
