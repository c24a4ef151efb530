#include "text/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using text::RecentFiles;

namespace {
QString touch(const QTemporaryDir &dir, const QString &name)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    return QFileInfo(f).absoluteFilePath();
}
} // namespace

TEST(RecentFiles, NewestFirstTenAtMostAndKeptAcrossStarts)
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("recent-files"));
    QStringList files;
    for (int i = 0; i < 12; ++i)
        files << touch(dir, QStringLiteral("poem %1 「歌」.txt").arg(i));

    RecentFiles recent(store);
    for (const QString &f : files)
        EXPECT_TRUE(recent.add(f));
    EXPECT_FALSE(recent.add(files.constLast())) << "already on top";
    EXPECT_TRUE(recent.add(files[5])) << "moves to the top, listed once";
    QStringList expected{files[5], files[11], files[10], files[9], files[8],
                         files[7], files[6],  files[4],  files[3], files[2]};
    EXPECT_EQ(recent.entries(), expected);

    RecentFiles again(store);
    again.load();
    EXPECT_EQ(again.entries(), expected);

    // A removed entry leaves the stored copy too; removing one not listed changes nothing.
    EXPECT_TRUE(again.remove(files[9]));
    EXPECT_FALSE(again.remove(files[9]));
    expected.removeAll(files[9]);
    RecentFiles third(store);
    third.load();
    EXPECT_EQ(third.entries(), expected);
    EXPECT_TRUE(third.clear());
    EXPECT_FALSE(third.clear());
}

TEST(RecentFiles, AStrangeStoreGivesWhatItCanAndAFailedWriteKeepsTheList)
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("recent-files"));
    QFile f(store);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const char bytes[] = "relative/path.txt\n/a.txt\r\n\xff\xfe\x00garbage\n/a.txt\n\n/b.txt";
    f.write(bytes, sizeof bytes - 1);
    f.close();
    RecentFiles recent(store);
    recent.load();
    EXPECT_EQ(recent.entries(), (QStringList{QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}));

    RecentFiles unwritable(dir.filePath(QStringLiteral("no/such/folder/recent")));
    EXPECT_TRUE(unwritable.add(store));
    EXPECT_EQ(unwritable.entries(), QStringList{store});
    EXPECT_FALSE(unwritable.lastError().message.isEmpty());
}
