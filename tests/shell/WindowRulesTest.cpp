#include "shell/WindowRules.h"
#include "QtPrinters.h"
#include "editor/ImeColors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace editor;
using namespace shell;

TEST(WindowRules, LeftPaneWidthWhenShown)
{
    struct Case
    {
        int stored, window, expected;
    };
    const Case cases[] = {
        {129, 780, 129}, {10, 780, 50},   {39, 780, 79},   {40, 780, 40}, {740, 780, 740},
        {741, 780, 630}, {745, 780, 630}, {780, 780, 630}, {0, 780, 40},
    };
    for (const Case &c : cases)
        EXPECT_EQ(leftWidthOnShow(c.stored, c.window), c.expected)
            << c.stored << " in " << c.window;
}

TEST(WindowRules, LeftPaneWidthAfterResize)
{
    struct Case
    {
        int left, window, expected;
    };
    const Case cases[] = {
        {129, 780, 129}, {20, 780, 60}, {760, 780, 680}, {700, 720, 620}, {739, 780, 739},
    };
    for (const Case &c : cases)
        EXPECT_EQ(leftWidthOnResize(c.left, c.window), c.expected) << c.left << " in " << c.window;
}

TEST(WindowRules, CaretStatusTextPadsEachNumberToFivePlaces)
{
    EXPECT_EQ(caretStatusText(0, 0), QStringLiteral("行:1      列:0    "));
    EXPECT_EQ(caretStatusText(11, 123), QStringLiteral("行:12     列:123  "));
    EXPECT_EQ(caretStatusText(123455, 7), QStringLiteral("行:123456  列:7    "));
}

TEST(WindowRules, WhatMayBeOpenedAndWhyNot)
{
    const std::pair<const char *, bool> shortcuts[] = {
        {"link.lnk", true},  {"Link.LNK", true}, {"a.lnk/poem.txt", false},
        {"poem.txt", false}, {"lnk", false},     {"", false},
    };
    for (const auto &[path, isShortcut] : shortcuts)
        EXPECT_EQ(isShortcutFileName(QString::fromUtf8(path)), isShortcut) << path;

    QTemporaryDir dir;
    QFile poem(dir.filePath(QStringLiteral("Mixed.Txt")));
    ASSERT_TRUE(poem.open(QIODevice::WriteOnly));
    const std::pair<QString, QString> reasons[] = {
        {poem.fileName(), QString()},
        {dir.filePath(QStringLiteral("missing.txt")),
         dir.filePath(QStringLiteral("missing.txt")) + QStringLiteral(" が見つかりません。")},
        {dir.path(),
         dir.path() + QStringLiteral(" はフォルダです。開くファイルを選んでください。")},
    };
    for (const auto &[path, reason] : reasons)
        EXPECT_EQ(cannotOpenReason(path), reason) << qPrintable(path);
}

TEST(ImeColors, StatesFromSegmentTextAndHighlight)
{
    EXPECT_EQ(imeStateOf(u"はる", false), ImeState::Composing);
    EXPECT_EQ(imeStateOf(u"はる", true), ImeState::TargetNotConverted);
    EXPECT_EQ(imeStateOf(u"春", true), ImeState::TargetConverted);
    EXPECT_EQ(imeStateOf(u"春の", false), ImeState::Converted);
    EXPECT_EQ(windowImeColors()[1].background, QColor(128, 128, 255));
    EXPECT_TRUE(windowImeColors()[2].underline);
    EXPECT_EQ(controlDefaultImeColors()[3].background, QColor(0, 255, 255));
}

TEST(WindowRules, PathsShortenFolderByFolder)
{
    const auto chars = [](const QString &s) { return int(s.size()); };
    const QString path = QStringLiteral("C:\\a\\bb\\c\\poem.txt");
    // Each step is tried until the text fits; a step may be longer than the one before
    // ("a" gives way to "..."), so the first fitting step counts.
    const std::pair<int, const char *> cases[] = {
        {18, "C:\\a\\bb\\c\\poem.txt"},
        {17, "C:\\...\\c\\poem.txt"},
        {16, "C:\\...\\poem.txt"},
        {14, "...\\poem.txt"},
        {12, "...\\poem.txt"},
        {11, "poem.txt"},
        {1, "poem.txt"},
    };
    for (const auto &[width, expected] : cases)
        EXPECT_EQ(shortenPath(path, width, chars), QString::fromUtf8(expected)) << width;
    EXPECT_EQ(shortenPath(QStringLiteral("/home/u/poems/haru.txt"), 19, chars),
              QStringLiteral("/.../poems/haru.txt"));
    EXPECT_EQ(shortenPath(QStringLiteral("/home/u/poems/haru.txt"), 18, chars),
              QStringLiteral("/.../haru.txt"));
}
