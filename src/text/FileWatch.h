#pragma once
// Watches the file a pane was read from or saved to, for changes made by other programs.
//
// The pane tells the watch when the file on disk is its own (after a load or a save:
// acknowledge()); changedOnDisk() is then sent once for every later state of the file that
// differs, and removedFromDisk() when the file is gone. A program that saves by writing a
// new file and renaming it over the old one replaces the watched file: the watch follows
// the name, not the old inode.

#include "text/SafeFile.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace text {

class FileWatch final : public QObject
{
    Q_OBJECT
public:
    explicit FileWatch(QObject *parent = nullptr);

    // Starts watching `path` (an empty path stops) and takes the file as it is now as the
    // pane's own.
    void watch(const QString &path);
    void acknowledge();
    const QString &path() const { return m_path; }

    // The file differs from the one acknowledged last (changed, replaced or removed).
    bool changedSinceAcknowledged() const;

    // Checks the file now, as the watcher's signal does; tests and a window that regains
    // the focus can call it.
    void check();

Q_SIGNALS:
    void changedOnDisk(const QString &path);
    void removedFromDisk(const QString &path);

private:
    void rewatch();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_path;
    FileStamp m_known;
    FileStamp m_reported;
};

} // namespace text
