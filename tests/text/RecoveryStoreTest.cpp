#include "text/RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

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
        DocumentFormat eucLf;
        eucLf.encoding = FileEncoding::EucJp;
        eucLf.lineEnd = LineEnd::Lf;
        // The text with what JSON must escape (quotes, backslashes, control characters) and
        // characters of one to four bytes, long enough to be written in parts, with a
        // surrogate pair across the first part's end; a document's line end (U+2029) is
        // written as a line end.
        QString text = QString((1 << 18) - 1, u'あ') +
                       QStringLiteral("🌸春過ぎて\n夏来にけらし \"白妙\" C:\\歌\t\r\x01 café 🌸") +
                       QChar(QChar::ParagraphSeparator) + u'x';
        ASSERT_TRUE(
            running.save(QStringLiteral("right"), QStringLiteral("/home/u/歌.txt"), text, eucLf));
        text.replace(QChar::ParagraphSeparator, u'\n');
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
        EXPECT_EQ(offered[0].text, text);
        EXPECT_EQ(offered[0].format.encoding, FileEncoding::EucJp);
        EXPECT_EQ(offered[0].format.lineEnd, LineEnd::Lf);
        EXPECT_FALSE(offered[0].damaged);
        EXPECT_TRUE(offered[0].savedAt.isValid());
        next.discard(offered[0]);
        EXPECT_FALSE(QFile::exists(lock.fileName()));
        EXPECT_TRUE(next.orphans().isEmpty());

        // A clean exit leaves nothing behind.
        running.remove(QStringLiteral("right"));
        running.save(QStringLiteral("left"), QString(), QStringLiteral("x"), DocumentFormat());
        running.finish();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// A copy cut short is offered with the text that can be read, and stays until the user
// decides; a lock that is empty, garbage or another machine's does not hide its copies, and
// goes only once its process is certainly gone.
TEST(RecoveryStore, DamagedCopiesAndUnreadableLocksAreStillOffered)
{
    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const QByteArray whole = "{\"encoding\":\"utf-8\",\"file\":\"/p/a.txt\",\"lineEnd\":\"lf\","
                             "\"pane\":\"left\",\"saved\":\"2026-12-09T10:00:00.000\","
                             "\"text\":\"春\\n\\\"秋\\\"\"}";
    const QByteArray cut = whole.left(whole.indexOf("秋") + 2); // inside 秋's bytes
    const struct
    {
        QString session;
        QByteArray copy;
        QByteArray lock; // empty: no lock file
        QString text;
        bool damaged;
    } cases[] = {
        {QStringLiteral("999999991-a"), cut, {}, QStringLiteral("春\n\""), true},
        {QStringLiteral("999999992-b"), whole, "", QStringLiteral("春\n\"秋\""), false},
        {QStringLiteral("999999993-c"), whole, "garbage", QStringLiteral("春\n\"秋\""), false},
        {QStringLiteral("999999994-d"), whole, "1\nkotonami\nsome-other-machine\n",
         QStringLiteral("春\n\"秋\""), false},
        {QStringLiteral("999999995-e"), "{\"pane\":\"right\",\"te", {}, QString(), true},
    };
    for (const auto &c : cases) {
        write(copyName(c.session, QStringLiteral("left")), c.copy);
        if (!c.lock.isNull())
            write(c.session + QStringLiteral(".lock"), c.lock);
    }
    RecoveryStore store(dir.path());
    const QList<RecoveredPane> offered = store.orphans();
    ASSERT_EQ(offered.size(), qsizetype(std::size(cases)));
    for (const auto &c : cases) {
        const auto it = std::find_if(offered.cbegin(), offered.cend(), [&](const RecoveredPane &p) {
            return p.copyPath.contains(c.session);
        });
        ASSERT_NE(it, offered.cend()) << qPrintable(c.session);
        EXPECT_EQ(it->text, c.text) << qPrintable(c.session);
        EXPECT_EQ(it->damaged, c.damaged) << qPrintable(c.session);
        if (!c.damaged) {
            EXPECT_EQ(it->format.encoding, FileEncoding::Utf8);
            EXPECT_EQ(it->format.lineEnd, LineEnd::Lf);
        }
        EXPECT_TRUE(QFile::exists(it->copyPath)) << "kept until the user decides";
        store.discard(*it);
        EXPECT_FALSE(QFile::exists(it->copyPath));
    }
    // The session ids name no running process: the unreadable locks went with their copies;
    // the other machine's stays, its process unknown here.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("999999994-d.lock")});
}

} // namespace
