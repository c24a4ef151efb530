#pragma once
// Copies of unsaved panes, kept so that a crash or a killed editor loses at most the last
// few seconds of work.
//
// Each running editor is a session: its copies are "<session>.<pane>.json" in the recovery
// folder ($XDG_STATE_HOME/kotonami/recovery, ~/.local/state/kotonami/recovery when that is
// unset), beside "<session>.lock", a lock file held while the editor runs. A copy is
// removed when its pane is saved or emptied, and the whole session on a clean exit. At the
// next start, copies whose session's lock is no longer held (the process is gone) are
// offered for restoring; copies of an editor still running are left alone.

#include "text/FileEncoding.h"
#include "text/SafeFile.h"

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QString>

#include <memory>

namespace text {

struct RecoveredPane
{
    QString pane;     // the pane's name, "right" or "left"
    QString filePath; // the file the pane was showing, empty for a new text
    QDateTime savedAt;
    QString text;
    FileEncoding encoding = FileEncoding::Cp932;
    QString copyPath; // the copy itself
};

class RecoveryStore
{
public:
    // An empty folder means the default one.
    explicit RecoveryStore(const QString &folder = QString());
    ~RecoveryStore();

    static QString defaultFolder();
    const QString &folder() const { return m_folder; }

    // Writes the pane's copy (through the one safe write); false with the reason.
    bool save(const QString &pane, const QString &filePath, const QString &text,
              FileEncoding encoding, FileError *error = nullptr);
    void remove(const QString &pane);
    // A clean exit: every copy of this session and its lock go.
    void finish();

    // Copies left by sessions that ended without finishing, oldest first.
    QList<RecoveredPane> orphans() const;
    // Removes an orphan's copy, and its session's lock once no copy of it is left.
    void discard(const RecoveredPane &copy) const;

private:
    bool begin();
    QString copyPath(const QString &pane) const;

    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace text
