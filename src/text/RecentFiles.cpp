#include "text/RecentFiles.h"

#include <QFileInfo>

namespace text {

RecentFiles::RecentFiles(QString storePath) : m_storePath(std::move(storePath)) {}

void RecentFiles::load()
{
    m_entries.clear();
    if (m_storePath.isEmpty())
        return;
    const std::optional<QByteArray> bytes = readFileBytes(m_storePath, &m_error);
    if (!bytes)
        return;
    for (const QByteArray &line : bytes->split('\n')) {
        const QString path = QString::fromUtf8(line.trimmed());
        // Only absolute paths, once each: anything else is not ours.
        if (path.startsWith(u'/') && !path.contains(QChar(0)) && !m_entries.contains(path))
            m_entries << path;
        if (m_entries.size() == Capacity)
            break;
    }
}

bool RecentFiles::add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute.isEmpty() || absolute.contains(u'\n'))
        return false;
    if (!m_entries.isEmpty() && m_entries.constFirst() == absolute)
        return false;
    m_entries.removeAll(absolute);
    m_entries.prepend(absolute);
    while (m_entries.size() > Capacity)
        m_entries.removeLast();
    store();
    return true;
}

bool RecentFiles::remove(const QString &path)
{
    if (m_entries.removeAll(path) == 0)
        return false;
    store();
    return true;
}

bool RecentFiles::clear()
{
    if (m_entries.isEmpty())
        return false;
    m_entries.clear();
    store();
    return true;
}

bool RecentFiles::store()
{
    if (m_storePath.isEmpty())
        return true;
    QByteArray bytes;
    for (const QString &path : std::as_const(m_entries))
        bytes += path.toUtf8() + '\n';
    return writeFileSafely(m_storePath, bytes, &m_error);
}

} // namespace text
