#include "text/SafeFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace text;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList leftovers(const QString &folder, const QString &kept)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(kept);
    return names;
}

using testsupport::FileSizeLimit;

TEST(SafeWrite, AFailedWriteKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("poem.txt"));
    const QByteArray poem(144, 'a');
    put(path, poem);
    FileError error;
    bool ok;
    {
        FileSizeLimit limit(4096);
        ok = writeFileSafely(path, QByteArray(100000, 'b'), &error);
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.message.isEmpty());
    EXPECT_EQ(contents(path), poem);
    EXPECT_EQ(leftovers(dir.path(), QStringLiteral("poem.txt")), QStringList());
}

// A file written in parts gets its start rewritten with the count of what was written; a
// producer that gives up, or a part that does not fit, leaves the old file and nothing else.
TEST(SafeWrite, InPartsWithACountingHeaderOrNotAtAll)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("audio.wav"));
    put(path, "old");
    auto parts = [](int count, bool giveUp) {
        return [=](const PartSink &sink) {
            if (!sink("HEAD"))
                return false;
            for (int i = 0; i < count; ++i) {
                if (!sink(QByteArray(1000, char('a' + i))))
                    return false;
            }
            return !giveUp;
        };
    };
    const auto head = [](qint64 written) {
        return QByteArray::number(written, 16).rightJustified(4, '0');
    };
    FileError error;
    ASSERT_TRUE(writeFileSafely(path, parts(3, false), head, &error)) << qPrintable(error.message);
    EXPECT_EQ(contents(path),
              "0bbc" + QByteArray(1000, 'a') + QByteArray(1000, 'b') + QByteArray(1000, 'c'));
    const QByteArray written = contents(path);
    EXPECT_FALSE(writeFileSafely(path, parts(2, true), head, &error));
    EXPECT_FALSE(error.message.isEmpty());
    {
        FileSizeLimit limit(2048);
        EXPECT_FALSE(writeFileSafely(path, parts(3, false), head, &error));
    }
    EXPECT_EQ(contents(path), written);
    EXPECT_EQ(leftovers(dir.path(), QStringLiteral("audio.wav")), QStringList());
}

TEST(SafeWrite, AFullDiskKeepsTheOldFile)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root; the file-size limit test covers it";
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "this sandbox cannot mount a tmpfs: " << std::strerror(errno);
    const QString path = dir.filePath(QStringLiteral("poem.txt"));
    const QByteArray poem(144, 'a');
    put(path, poem);
    put(dir.filePath(QStringLiteral("filler")), QByteArray(40 * 1024, 'f'));
    FileError error;
    EXPECT_FALSE(writeFileSafely(path, QByteArray(48 * 1024, 'b'), &error));
    EXPECT_EQ(error.message, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    EXPECT_EQ(contents(path), poem);
    EXPECT_EQ(leftovers(dir.path(), QStringLiteral("poem.txt")),
              QStringList{QStringLiteral("filler")});
    umount(mountPoint.constData());
}

TEST(SafeWrite, KeepsModeOwnerAndLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("poem.txt"));
    put(path, "old");
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }

    const QString link = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(writeFileSafely(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(path), "new");
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }

    // A link to a file still to be made is written through too.
    const QString dangling = dir.filePath(QStringLiteral("later.txt"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("made.txt")), dangling));
    ASSERT_TRUE(writeFileSafely(dangling, "made"));
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(contents(dir.filePath(QStringLiteral("made.txt"))), "made");
}

TEST(SafeWrite, SpecialFilesAreWrittenInPlaceNeverReplaced)
{
    ASSERT_TRUE(writeFileSafely(QStringLiteral("/dev/null"), "poem"));
    struct stat st;
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Nobody reads: refused at once instead of waiting for ever.
    FileError error;
    EXPECT_FALSE(writeFileSafely(fifo, "poem", &error));
    EXPECT_FALSE(error.message.isEmpty());
    // A reader gets the bytes, and the FIFO stays a FIFO. The reader's end is open before
    // the write (without O_NONBLOCK opening it would wait for a writer), and the pipe's
    // buffer holds the bytes until they are read: no thread, no waiting for one.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(writeFileSafely(fifo, "poem"));
    QByteArray received;
    char buffer[64];
    ssize_t n;
    while ((n = ::read(reader, buffer, sizeof buffer)) > 0)
        received.append(buffer, n);
    EXPECT_EQ(n, 0) << "the writer has closed its end";
    ::close(reader);
    EXPECT_EQ(received, "poem");
    EXPECT_EQ(fileKind(fifo), FileKind::Fifo);
    EXPECT_FALSE(writeFileSafely(dir.path(), "poem"));
}

TEST(SafeRead, OnlyRegularFilesUnlessPipesAreAllowed)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString viaLink = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(fifo, viaLink));
    for (const QString &path : {fifo, viaLink, QStringLiteral("/dev/zero"), dir.path()}) {
        FileError error;
        EXPECT_FALSE(readFileBytes(path, &error)) << qPrintable(path);
        EXPECT_TRUE(error.message.contains(QStringLiteral("通常のファイル"))) << qPrintable(path);
    }
    std::thread writer([&] {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
        (void)!::write(fd, "poem", 4);
        ::close(fd);
    });
    const auto piped = readFileBytes(fifo, nullptr, PipePolicy::Allow);
    writer.join();
    ASSERT_TRUE(piped);
    EXPECT_EQ(*piped, "poem");

    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    put(empty, QByteArray());
    EXPECT_EQ(readFileBytes(empty), QByteArray());
    FileError missing;
    EXPECT_FALSE(readFileBytes(dir.filePath(QStringLiteral("none")), &missing));
    EXPECT_EQ(missing.message, QString::fromLocal8Bit(std::strerror(ENOENT)));
}

} // namespace
