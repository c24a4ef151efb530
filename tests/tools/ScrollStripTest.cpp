#include "tools/ScrollStrip.h"
#include "tools/widgets/MsgSCR.h"

#include "QtPrinters.h"

#include "text/Cp932Codec.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tools;

TEST(StripScroller, MovesTwoPixelsAndWrapsOnceTheImageHasPassed)
{
    EXPECT_EQ(stripImageWidth(120, 300, 13), 306);
    EXPECT_EQ(stripImageWidth(120, 50, 13), 126);
    StripScroller s;
    s.start(10, 6);
    EXPECT_EQ(s.x(), 10);
    const int expected[] = {8, 6, 4, 2, 0, -2, -4, 10, 8};
    for (int x : expected)
        EXPECT_EQ(s.step(), x);
}

TEST(StripSelection, AtMost125CharactersWithoutLineBreaks)
{
    const QString line125 = QString(120, QChar(u'あ')) + QStringLiteral("abcde");
    const struct
    {
        QString selected;
        qsizetype count;
        bool accepted;
    } cases[] = {
        {line125, 125, true},
        {line125 + QStringLiteral("x"), 126, false},
        {QString(60, QChar(u'花')) + QStringLiteral("\r\n") + QString(65, QChar(u'月')), 125, true},
        {QString(60, QChar(u'花')) + QStringLiteral("\n") + QString(66, QChar(u'月')), 126, false},
        {QString(), 0, true},
    };
    for (const auto &c : cases) {
        const StripSelection s = checkStripSelection(c.selected);
        EXPECT_EQ(s.count, c.count);
        EXPECT_EQ(s.accepted, c.accepted);
        EXPECT_EQ(s.statusText(), QString::number(c.count) + QStringLiteral("字選択"));
    }
    EXPECT_EQ(stripTooLongMessage(), QStringLiteral("125文字　三首 六句 までです"));
}

TEST(MsgSCR, SetTextRefusesALongSelectionAndKeepsTheOldText)
{
    TMsgSCR strip;
    strip.setMsg(QStringLiteral("古い"));
    const QString ok = QString(125, QChar(u'春'));
    EXPECT_TRUE(strip.takeSelection(ok).accepted);
    EXPECT_EQ(strip.Msg(), ok);
    const StripSelection refused = strip.takeSelection(ok + QStringLiteral("夏"));
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.statusText(), QStringLiteral("126字選択"));
    EXPECT_EQ(strip.Msg(), ok);
    // Line breaks stay in the text as selected.
    EXPECT_TRUE(strip.takeSelection(QStringLiteral("春\r\n夏")).accepted);
    EXPECT_EQ(strip.Msg(), QStringLiteral("春\r\n夏"));
    EXPECT_TRUE(strip.takeSelection(QString()).accepted);
    EXPECT_EQ(strip.Msg(), QString());
}

TEST(MsgSCR, WhiteTwiceReturnsToTheLeftPaneFontColour)
{
    TMsgSCR strip;
    const QColor left(Qt::blue);
    strip.setFontColor(left);
    strip.toggleWhite(left);
    EXPECT_EQ(strip.FontColor(), QColor(255, 255, 255));
    strip.toggleWhite(left);
    EXPECT_EQ(strip.FontColor(), left);
    // Starting white (the strip's first colour) the first press gives the pane's colour.
    strip.setFontColor(Qt::white);
    strip.toggleWhite(left);
    EXPECT_EQ(strip.FontColor(), left);
}

TEST(MsgSCR, RunsTwoPixelsEvery30MsAndStops)
{
    TMsgSCR strip;
    strip.resize(120, 22);
    strip.setMsg(initialStripText());
    strip.setShow(true);
    EXPECT_TRUE(strip.timerEnabled());
    EXPECT_FALSE(strip.isTicking()); // interval 0: enabled, but no motion
    EXPECT_EQ(strip.scrollX(), 120);
    EXPECT_EQ(strip.toggleRunning(), QStringLiteral("停"));
    EXPECT_EQ(strip.Interval(), 30);
    EXPECT_TRUE(strip.isTicking());
    strip.step();
    strip.step();
    EXPECT_EQ(strip.scrollX(), 116);
    EXPECT_EQ(strip.toggleRunning(), QStringLiteral("走"));
    EXPECT_EQ(strip.Interval(), 0);
    EXPECT_FALSE(strip.isTicking());
    // The image is as high as the strip and wider than its text by half the point size.
    EXPECT_EQ(strip.stripImage().height(), 22);
    EXPECT_GT(strip.imageWidth(), 120);
    strip.setShow(false);
    EXPECT_FALSE(strip.timerEnabled());
}

TEST(PoemCollections, FoundInTheFirstFolderThatHoldsThem)
{
    QTemporaryDir a, b;
    QFile f(b.filePath(QStringLiteral("haiku.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(collectionPath({a.path(), b.path() + u'/'}, PoemCollection::Haiku),
              b.filePath(QStringLiteral("haiku.txt")));
    EXPECT_EQ(collectionPath({a.path() + u'/', b.path()}, PoemCollection::Hyakunin),
              a.filePath(QStringLiteral("hyakunin.txt")));
    EXPECT_EQ(missingFileMessage(QStringLiteral("/p/hyakunin.txt")),
              QStringLiteral("/p/hyakunin.txt は、存在しません"));
}

TEST(PoemCollections, ShippedFilesAreCodePage932WithNumbersAndPoets)
{
    const struct
    {
        const char *name;
        int minimum;
    } files[] = {{"hyakunin.txt", 100}, {"haiku.txt", 100}};
    for (const auto &file : files) {
        QFile f(QStringLiteral(KOTONAMI_DATA_DIR "/") + QString::fromLatin1(file.name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.name;
        const QByteArray bytes = f.readAll();
        const QString all = text::decodeCp932(bytes);
        EXPECT_EQ(text::encodeCp932(all).bytes, bytes) << file.name;
        EXPECT_FALSE(all.contains(QChar(0xFFFD)));
        int poems = 0;
        for (const QString &line : all.split(QStringLiteral("\r\n"))) {
            if (line.isEmpty() || !line.front().isDigit())
                continue;
            ++poems;
            // "number　poem　poet": three parts split by ideographic spaces.
            EXPECT_EQ(line.split(u'　').size(), 3) << line.toStdString();
            EXPECT_LE(line.size(), 60) << line.toStdString();
        }
        EXPECT_GE(poems, file.minimum) << file.name;
    }
}
