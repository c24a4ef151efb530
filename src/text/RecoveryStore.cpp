#include "text/RecoveryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <algorithm>

namespace text {

namespace {

constexpr char kLockSuffix[] = ".lock";
constexpr char kCopySuffix[] = ".json";

QString sessionOf(const QString &copyName)
{
    return copyName.section(QLatin1Char('.'), 0, 0);
}

} // namespace

RecoveryStore::RecoveryStore(const QString &folder)
    : m_folder(folder.isEmpty() ? defaultFolder() : folder)
{
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::defaultFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/kotonami/recovery");
}

bool RecoveryStore::begin()
{
    if (m_lock)
        return true;
    if (!QDir().mkpath(m_folder))
        return false;
    m_session = QStringLiteral("%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    auto lock = std::make_unique<QLockFile>(m_folder + QLatin1Char('/') + m_session +
                                            QLatin1String(kLockSuffix));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

QString RecoveryStore::copyPath(const QString &pane) const
{
    return m_folder + QLatin1Char('/') + m_session + QLatin1Char('.') + pane +
           QLatin1String(kCopySuffix);
}

bool RecoveryStore::save(const QString &pane, const QString &filePath, const QString &text,
                         FileEncoding encoding, FileError *error)
{
    if (!begin()) {
        if (error)
            error->message = QStringLiteral("復元用のフォルダ %1 を使えません。").arg(m_folder);
        return false;
    }
    QJsonObject o;
    o.insert(QStringLiteral("pane"), pane);
    o.insert(QStringLiteral("file"), filePath);
    o.insert(QStringLiteral("saved"), QDateTime::currentDateTime().toString(Qt::ISODateWithMs));
    o.insert(QStringLiteral("encoding"), encodingKey(encoding));
    o.insert(QStringLiteral("text"), text);
    return writeFileSafely(copyPath(pane), QJsonDocument(o).toJson(QJsonDocument::Compact), error);
}

void RecoveryStore::remove(const QString &pane)
{
    if (m_lock)
        QFile::remove(copyPath(pane));
}

void RecoveryStore::finish()
{
    if (!m_lock)
        return;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList(
             {m_session + QStringLiteral(".*") + QLatin1String(kCopySuffix)}, QDir::Files))
        QFile::remove(dir.filePath(name));
    m_lock->unlock();
    m_lock.reset();
}

QList<RecoveredPane> RecoveryStore::orphans() const
{
    QList<RecoveredPane> found;
    const QDir dir(m_folder);
    for (const QString &name :
         dir.entryList({QStringLiteral("*") + QLatin1String(kCopySuffix)}, QDir::Files)) {
        const QString session = sessionOf(name);
        if (session == m_session)
            continue;
        // A lock that can be taken belongs to a process that is gone (QLockFile knows a
        // lock of a dead process as stale); one that cannot is another editor's, running.
        QLockFile lock(dir.filePath(session + QLatin1String(kLockSuffix)));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        std::optional<QByteArray> bytes = readFileBytes(dir.filePath(name));
        const QJsonObject o = bytes ? QJsonDocument::fromJson(*bytes).object() : QJsonObject();
        RecoveredPane copy;
        copy.copyPath = dir.filePath(name);
        copy.pane = o.value(QStringLiteral("pane")).toString();
        copy.filePath = o.value(QStringLiteral("file")).toString();
        copy.savedAt =
            QDateTime::fromString(o.value(QStringLiteral("saved")).toString(), Qt::ISODateWithMs);
        copy.encoding = encodingFromKey(o.value(QStringLiteral("encoding")).toString())
                            .value_or(FileEncoding::Cp932);
        copy.text = o.value(QStringLiteral("text")).toString();
        if (copy.pane.isEmpty() || !o.contains(QStringLiteral("text"))) {
            // Not a copy this program can read back (cut short, or not ours): nothing to
            // offer, and nothing worth keeping.
            discard(copy);
            continue;
        }
        found.append(copy);
    }
    std::sort(found.begin(), found.end(),
              [](const RecoveredPane &a, const RecoveredPane &b) { return a.savedAt < b.savedAt; });
    return found;
}

void RecoveryStore::discard(const RecoveredPane &copy) const
{
    QFile::remove(copy.copyPath);
    const QFileInfo info(copy.copyPath);
    const QString session = sessionOf(info.fileName());
    const QDir dir = info.dir();
    if (dir.entryList({session + QStringLiteral(".*") + QLatin1String(kCopySuffix)}, QDir::Files)
            .isEmpty()) {
        QLockFile lock(dir.filePath(session + QLatin1String(kLockSuffix)));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock(); // unlocking a lock we hold removes its file
    }
}

} // namespace text
