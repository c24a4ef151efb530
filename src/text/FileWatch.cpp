#include "text/FileWatch.h"

#include <QFileInfo>

namespace text {

FileWatch::FileWatch(QObject *parent) : QObject(parent)
{
    // A program may write a file in several steps (truncate, then write): the file is
    // looked at once the notices have settled for a moment, not at the first one.
    m_settle.setSingleShot(true);
    m_settle.setInterval(200);
    connect(&m_settle, &QTimer::timeout, this, &FileWatch::check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle,
            static_cast<void (QTimer::*)()>(&QTimer::start));
    // A rename over the file drops it from the watcher; the folder's change brings it back.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            static_cast<void (QTimer::*)()>(&QTimer::start));
}

void FileWatch::watch(const QString &path)
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    acknowledge();
    if (m_path.isEmpty())
        return;
    m_watcher.addPath(QFileInfo(m_path).absolutePath());
    rewatch();
}

void FileWatch::acknowledge()
{
    m_known = fileStamp(m_path);
    m_reported = m_known;
}

bool FileWatch::changedSinceAcknowledged() const
{
    return !m_path.isEmpty() && fileStamp(m_path) != m_known;
}

void FileWatch::rewatch()
{
    if (!m_path.isEmpty() && !m_watcher.files().contains(m_path) &&
        fileKind(m_path) == FileKind::Regular)
        m_watcher.addPath(m_path);
}

void FileWatch::check()
{
    if (m_path.isEmpty())
        return;
    rewatch();
    const FileStamp now = fileStamp(m_path);
    if (now == m_reported)
        return;
    m_reported = now;
    if (now == m_known)
        return;
    if (now.exists())
        Q_EMIT changedOnDisk(m_path);
    else
        Q_EMIT removedFromDisk(m_path);
}

} // namespace text
