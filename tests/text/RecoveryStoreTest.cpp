#include "text/RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace text;

namespace {

// The pid of a process that has ended: what a killed editor leaves in its lock file.
qint64 endedPid()
{
    QProcess p;
    p.start(QStringLiteral("/bin/true"), {});
    p.waitForStarted();
    const qint64 pid = p.processId();
    p.waitForFinished();
    return pid;
}

QString copyName(const QString &session, const QString &pane)
{
    return session + QLatin1Char('.') + pane + QStringLiteral(".json");
}

TEST(RecoveryStore, CopiesOfAGoneEditorAreOfferedAndThoseOfARunningOneAreNot)
{
    QTemporaryDir dir;
    {
        RecoveryStore running(dir.path());
        ASSERT_TRUE(running.save(QStringLiteral("right"), QStringLiteral("/home/u/歌.txt"),
                                 QStringLiteral("春過ぎて\n夏来にけらし"), FileEncoding::EucJp));
        // Another editor of the same user, still running, is left alone.
        RecoveryStore next(dir.path());
        EXPECT_TRUE(next.orphans().isEmpty());

        // Its copy with the lock of a process that is gone is what a crash leaves.
        const QStringList copies = QDir(dir.path()).entryList({QStringLiteral("*.json")});
        ASSERT_EQ(copies.size(), 1);
        const QString session = QStringLiteral("crashed-1");
        ASSERT_TRUE(QFile::copy(dir.filePath(copies.first()),
                                dir.filePath(copyName(session, QStringLiteral("right")))));
        QFile lock(dir.filePath(session + QStringLiteral(".lock")));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(endedPid()) + "\nkotonami\n" +
                   QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();

        const QList<RecoveredPane> offered = next.orphans();
        ASSERT_EQ(offered.size(), 1);
        EXPECT_EQ(offered[0].pane, QStringLiteral("right"));
        EXPECT_EQ(offered[0].filePath, QStringLiteral("/home/u/歌.txt"));
        EXPECT_EQ(offered[0].text, QStringLiteral("春過ぎて\n夏来にけらし"));
        EXPECT_EQ(offered[0].encoding, FileEncoding::EucJp);
        EXPECT_TRUE(offered[0].savedAt.isValid());
        next.discard(offered[0]);
        EXPECT_FALSE(QFile::exists(lock.fileName()));
        EXPECT_TRUE(next.orphans().isEmpty());

        // A clean exit leaves nothing behind.
        running.remove(QStringLiteral("right"));
        running.save(QStringLiteral("left"), QString(), QStringLiteral("x"), FileEncoding::Cp932);
        running.finish();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(RecoveryStore, AnUnreadableCopyIsDroppedNotOffered)
{
    QTemporaryDir dir;
    QFile broken(dir.filePath(copyName(QStringLiteral("gone-2"), QStringLiteral("right"))));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{\"pane\":\"right\",\"te"); // cut short
    broken.close();
    RecoveryStore store(dir.path());
    EXPECT_TRUE(store.orphans().isEmpty());
    EXPECT_FALSE(broken.exists());
}

} // namespace
