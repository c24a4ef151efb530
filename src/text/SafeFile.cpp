#include "text/SafeFile.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace text {

namespace {

QString systemReason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

bool fail(FileError *error, const QString &message)
{
    if (error)
        error->message = message;
    return false;
}

bool failErrno(FileError *error, int err)
{
    return fail(error, systemReason(err));
}

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

// The path a write lands on: symbolic links followed to their final target, which need not
// exist yet (a link to a file still to be made is written through too).
QByteArray finalTarget(const QByteArray &path)
{
    QByteArray current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(current.constData(), buffer, sizeof buffer - 1);
        if (n <= 0)
            return current;
        QByteArray next(buffer, n);
        if (!next.startsWith('/')) {
            const qsizetype slash = current.lastIndexOf('/');
            next = (slash < 0 ? QByteArray() : current.left(slash + 1)) + next;
        }
        current = next;
    }
    return current;
}

mode_t currentUmask()
{
    // /proc tells it without changing it; umask() itself would have to set it to read it,
    // and another thread could create a file in that moment.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
}

bool writeAll(int fd, QByteArrayView bytes, FileError *error)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(std::min<qsizetype>(left, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failErrno(error, errno);
        }
        if (n == 0)
            return failErrno(error, EIO);
        p += n;
        left -= n;
    }
    return true;
}

// A device or FIFO keeps its identity: the bytes go to it, nothing is renamed over it.
// What goes into an open file: true when all of it went in, else false with `error` set.
using Body = std::function<bool(int fd, FileError *error)>;

bool writeInPlace(const QByteArray &path, const struct stat &st, const Body &body, FileError *error)
{
    // Without O_NONBLOCK, opening a FIFO nobody reads would wait for ever.
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO && S_ISFIFO(st.st_mode))
            return fail(error, QStringLiteral(
                                   "名前付きパイプ (FIFO) を読んでいるプログラムがありません。"));
        return failErrno(error, errno);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    bool ok = body(fd, error);
    if (::close(fd) != 0 && ok)
        ok = failErrno(error, errno);
    return ok;
}

void syncFolder(const QByteArray &file)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : file.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool writeReplacing(const QByteArray &target, const struct stat *old, const Body &body,
                    FileError *error)
{
    if (old && ::access(target.constData(), W_OK) != 0)
        return failErrno(error, errno);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : target.left(slash + 1);
    const QByteArray name = slash < 0 ? target : target.mid(slash + 1);
    QByteArray temporary = folder + '.' + name + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failErrno(error, errno);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);

    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temporary.constData());
        return failErrno(error, err);
    };
    if (!body(fd, error)) {
        ::close(fd);
        ::unlink(temporary.constData());
        return false;
    }
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (old) {
        // Owner and group first: a change of owner clears the set-id bits the mode restores.
        if (old->st_uid != ::geteuid() || old->st_gid != ::getegid()) {
            if (::fchown(fd, old->st_uid, old->st_gid) != 0)
                (void)!::fchown(fd, uid_t(-1), old->st_gid);
        }
        ::fchmod(fd, old->st_mode & 07777);
    } else {
        ::fchmod(fd, 0666 & ~currentUmask());
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        return failErrno(error, err);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(temporary.constData());
        return failErrno(error, err);
    }
    syncFolder(target);
    return true;
}

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISFIFO(mode))
        return FileKind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::Device;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Other;
}

} // namespace

bool writeFileSafely(const QString &path, QByteArrayView bytes, FileError *error)
{
    return writeFileSafely(
        path, [bytes](const PartSink &put) { return put(bytes); }, {}, error);
}

bool writeFileSafely(const QString &path, const std::function<bool(const PartSink &)> &produce,
                     const std::function<QByteArray(qint64 written)> &start, FileError *error)
{
    // The parts as they come, counted; then the start rewritten where the file can seek.
    const Body body = [&](int fd, FileError *bodyError) {
        qint64 written = 0;
        bool sinkFailed = false;
        const PartSink put = [&](QByteArrayView part) {
            if (!writeAll(fd, part, bodyError)) {
                sinkFailed = true;
                return false;
            }
            written += part.size();
            return true;
        };
        if (!produce(put)) {
            if (!sinkFailed && bodyError && bodyError->message.isEmpty())
                bodyError->message = QStringLiteral("書き込みを中止しました。");
            return false;
        }
        if (!start)
            return true;
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            return true;
        const QByteArray head = start(written);
        for (qsizetype done = 0; done < head.size();) {
            const ssize_t n =
                ::pwrite(fd, head.constData() + done, size_t(head.size() - done), off_t(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return failErrno(bodyError, n < 0 ? errno : EIO);
            done += n;
        }
        return true;
    };
    if (path.isEmpty())
        return failErrno(error, ENOENT);
    const QByteArray native = nativePath(path);
    struct stat st;
    if (::stat(native.constData(), &st) == 0) {
        switch (kindOf(st.st_mode)) {
        case FileKind::Regular: {
            char resolved[PATH_MAX];
            if (!::realpath(native.constData(), resolved))
                return failErrno(error, errno);
            return writeReplacing(QByteArray(resolved), &st, body, error);
        }
        case FileKind::Fifo:
        case FileKind::Device:
            return writeInPlace(native, st, body, error);
        case FileKind::Folder:
            return failErrno(error, EISDIR);
        default:
            return fail(error, QStringLiteral("通常のファイルではないため書き込めません。"));
        }
    }
    if (errno != ENOENT)
        return failErrno(error, errno);
    return writeReplacing(finalTarget(native), nullptr, body, error);
}

FileKind fileKind(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(nativePath(path).constData(), &st) != 0)
        return FileKind::Missing;
    return kindOf(st.st_mode);
}

QString fileKindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Missing:
        return QStringLiteral("存在しないファイル");
    case FileKind::Regular:
        return QString();
    case FileKind::Folder:
        return QStringLiteral("フォルダ");
    case FileKind::Fifo:
        return QStringLiteral("名前付きパイプ (FIFO)");
    case FileKind::Device:
        return QStringLiteral("デバイス");
    case FileKind::Socket:
        return QStringLiteral("ソケット");
    case FileKind::Other:
        break;
    }
    return QStringLiteral("特殊なファイル");
}

std::optional<QByteArray> readFileBytes(const QString &path, FileError *error, PipePolicy pipes)
{
    const QByteArray native = nativePath(path);
    struct stat st;
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0) {
        failErrno(error, path.isEmpty() ? ENOENT : errno);
        return std::nullopt;
    }
    const FileKind kind = kindOf(st.st_mode);
    const bool streamAllowed =
        pipes == PipePolicy::Allow && (kind == FileKind::Fifo || S_ISCHR(st.st_mode));
    if (kind != FileKind::Regular && !streamAllowed) {
        fail(error,
             QStringLiteral("%1です。開けるのは通常のファイルだけです。").arg(fileKindName(kind)));
        return std::nullopt;
    }
    // A regular file is opened without blocking, and checked again once open: the name
    // could have been replaced by a FIFO in between.
    const int fd = ::open(native.constData(),
                          O_RDONLY | O_CLOEXEC | (kind == FileKind::Regular ? O_NONBLOCK : 0));
    if (fd < 0) {
        failErrno(error, errno);
        return std::nullopt;
    }
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || (kind == FileKind::Regular && !S_ISREG(opened.st_mode))) {
        ::close(fd);
        fail(error, QStringLiteral("通常のファイルではありません。"));
        return std::nullopt;
    }
    if (kind == FileKind::Regular && opened.st_size > qint64(INT_MAX) - 64) {
        ::close(fd);
        fail(error, QStringLiteral("ファイルが大きすぎます。"));
        return std::nullopt;
    }
    QByteArray bytes;
    qsizetype filled = 0;
    bytes.resize(kind == FileKind::Regular ? qsizetype(opened.st_size) + 1 : 64 * 1024);
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > INT_MAX / 2) {
                ::close(fd);
                fail(error, QStringLiteral("ファイルが大きすぎます。"));
                return std::nullopt;
            }
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t n = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            failErrno(error, err);
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += n;
    }
    ::close(fd);
    bytes.truncate(filled);
    return bytes;
}

FileStamp fileStamp(const QString &path)
{
    FileStamp stamp;
    struct stat st;
    if (path.isEmpty() || ::stat(nativePath(path).constData(), &st) != 0)
        return stamp;
    stamp.size = st.st_size;
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = st.st_ino;
    stamp.device = st.st_dev;
    return stamp;
}

} // namespace text
