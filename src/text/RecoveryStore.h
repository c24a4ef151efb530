#pragma once
// Copies of unsaved panes, kept so that a crash or a killed editor loses at most the last
// few seconds of work.
//
// Each running editor is a session: its copies are "<session>.<pane>.json" in the recovery
// folder ($XDG_STATE_HOME/kotonami/recovery, ~/.local/state/kotonami/recovery when that is
// unset), beside "<session>.lock", a lock file held while the editor runs. A copy is
// removed when its pane is saved or emptied, and the whole session on a clean exit. At the
// next start, copies whose session's lock is no longer held (the process is gone) are
// offered for restoring; copies of an editor still running on this machine are left alone.
// A lock that cannot be read (empty, garbage) or that names another machine does not hide
// its copies: they are offered too, and the lock is removed only once its process is
// certainly gone. A copy cut short is offered with as much of its text as can be read.

#include "text/DocumentFile.h"
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
    DocumentFormat format; // the encoding and line ends the file is saved with
    QString copyPath;      // the copy itself
    bool damaged = false;  // cut short or garbled: `text` is what could be read of it
};

class RecoveryStore
{
public:
    // An empty folder means the default one.
    explicit RecoveryStore(const QString &folder = QString());
    ~RecoveryStore();

    static QString defaultFolder();
    const QString &folder() const { return m_folder; }

    // Writes the pane's copy (through the one safe write); false with the reason. A
    // paragraph separator (U+2029, a text document's own line end) is written as a line end.
    bool save(const QString &pane, const QString &filePath, const QString &text,
              const DocumentFormat &format, FileError *error = nullptr);
    void remove(const QString &pane);
    // A clean exit: every copy of this session and its lock go.
    void finish();

    // Copies left by sessions that ended without finishing, oldest first.
    QList<RecoveredPane> orphans() const;
    // Removes an orphan's copy, and its session's lock once no copy of it is left and its
    // process is certainly gone.
    void discard(const RecoveredPane &copy) const;

private:
    bool begin();
    QString copyPath(const QString &pane) const;

    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace text
