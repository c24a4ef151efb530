#pragma once
// The one way the program writes and reads whole files.
//
// Writing a regular file (or a new one) goes through a temporary file in the same folder:
// every write and the final close are checked, the data is flushed to the disk (fsync),
// the old file's mode, owner and group are given to the new one where permitted, and only
// then is it renamed over the old file. Any failure removes the temporary file, leaves the
// old file as it was and reports the system's reason ("No space left on device").
//
// A symbolic link is written through to its target, so the link stays a link. A target
// that exists but is not a regular file (a character device such as /dev/null, a FIFO,
// /dev/stdout) is written in place and never replaced by a regular file; a folder or a
// socket is refused.
//
// Reading refuses what is not a regular file before opening it for good, so that a named
// pipe without a writer can never block the window: a FIFO, a device, a socket or a folder
// gives a message at once. Callers that may read a pipe (the command-line tool reading
// `<(…)` or standard input) say so.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace text {

struct FileError
{
    QString message; // the system's own words, or the program's where there are none
};

// True when the file now holds exactly `bytes`. On false, `error` says why.
bool writeFileSafely(const QString &path, QByteArrayView bytes, FileError *error = nullptr);

// The same for a file made a part at a time, in bounded memory: `produce` hands each part
// to the sink it is given (false from the sink: the part could not be written) and returns
// false to give up, which leaves the old file as it was (`error` says why, if produce put
// its reason there first). `start`, when given, is called with the count of bytes written
// and its bytes then overwrite the file's start: a header that counts what follows it. A
// pipe or device given as the target cannot seek back: it keeps the start first written.
using PartSink = std::function<bool(QByteArrayView part)>;
bool writeFileSafely(const QString &path, const std::function<bool(const PartSink &)> &produce,
                     const std::function<QByteArray(qint64 written)> &start,
                     FileError *error = nullptr);

// What a path names, as far as opening it for reading is concerned (symbolic links are
// followed).
enum class FileKind { Missing, Regular, Folder, Fifo, Device, Socket, Other };
FileKind fileKind(const QString &path);

// "名前付きパイプ (FIFO)" and the like, for messages; empty for a regular file.
QString fileKindName(FileKind kind);

enum class PipePolicy { Refuse, Allow };

// The whole file, or nullopt with the reason. With PipePolicy::Refuse only regular files
// are read; with Allow a FIFO or character device (standard input, `<(…)`) is read to its end.
std::optional<QByteArray> readFileBytes(const QString &path, FileError *error = nullptr,
                                        PipePolicy pipes = PipePolicy::Refuse);

// What identifies the file's contents on disk at a moment: a change by another program
// changes at least one of these (a rename over the file changes the inode).
struct FileStamp
{
    qint64 size = -1;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool exists() const { return size >= 0; }
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};
FileStamp fileStamp(const QString &path);

} // namespace text
