#pragma once

#include "text/SafeFile.h"

#include <QString>
#include <QStringList>

namespace text {

// The files last opened or saved, newest first, at most ten, kept in a small UTF-8 file
// (one absolute path a line) beside the settings so that the list survives a crash as well
// as an exit. A path is listed once; adding it again moves it to the top.
class RecentFiles
{
public:
    static constexpr int Capacity = 10;

    // An empty storePath keeps the list in memory only.
    explicit RecentFiles(QString storePath = {});

    // Reads the stored list; unreadable or odd lines are skipped, never fatal.
    void load();
    const QStringList &entries() const { return m_entries; }

    // Each returns whether the list changed; a changed list is stored at once. A failed
    // write leaves the list in memory and reports the reason in lastError().
    bool add(const QString &path);
    bool remove(const QString &path);
    bool clear();

    const FileError &lastError() const { return m_error; }

private:
    bool store();

    QString m_storePath;
    QStringList m_entries;
    FileError m_error;
};

} // namespace text
