#pragma once
// One of the window's two panes with everything that belongs to its document: the editor,
// the file's path, the folder and name the save dialog starts from, the ink that loaded text
// is shown in, the watch on the file, the find and replace dialogs and the recovery copy of
// unsaved text. New, Open, Save, Save As, reopening in another encoding, Find and Replace
// work the same in both panes; what the window shows around them (its title, the status
// panels, the recent files) it learns through PaneHost.

#include "text/FileEncoding.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <optional>

namespace text {
class FileWatch;
class RecoveryStore;
struct RecoveredPane;
} // namespace text

namespace editor {
class TRichEditSx;
} // namespace editor

namespace shell {

using editor::TRichEditSx;

class FindReplaceDialog;
class Pane;
class UiServices;

// What a pane tells the window around it, and asks of it.
class PaneHost
{
public:
    enum class FileEvent {
        Opened,   // a file was read into the pane and named its file
        SavedAs,  // the text was saved under a name chosen in the save dialog
        Emptied,  // New: the pane is empty and untitled
        Restored, // the text came back from a recovery copy
    };
    virtual void paneFileChanged(Pane &pane, FileEvent event) = 0;
    // The pane's text was read or written: the status bar shows its encoding and line ends.
    virtual void paneFormatChanged(Pane &pane) = 0;
    // A sentence for the status bar's hint panel.
    virtual void paneHint(const QString &text) = 0;
    // A search moved the pane's caret.
    virtual void paneCaretMoved(Pane &pane) = 0;
    // The pane's font or colours changed: what takes them from the pane follows.
    virtual void paneLookChanged(Pane &pane) = 0;
    // Where the open and save dialogs start when the pane has no folder of its own yet.
    virtual QString dialogFolder(const QString &paneFolder) const = 0;

protected:
    ~PaneHost() = default;
};

class Pane final : public QObject
{
    Q_OBJECT
public:
    enum class Side { Right, Left };

    // `window` parents the dialogs; the recovery store is shared by both panes.
    Pane(Side side, TRichEditSx *editor, QWidget *window, UiServices &ui, PaneHost &host,
         text::RecoveryStore &recovery);
    ~Pane() override;

    Side side() const { return m_side; }
    TRichEditSx *editor() const { return m_editor; }
    // The pane's file, absolute; empty while the text is untitled.
    QString file() const { return m_file; }
    // The name the file was opened under: a shortcut's own name, else the file.
    QString shownName() const { return m_shownName; }
    QString saveFolder() const { return m_saveFolder; }
    // The ink that text read into the pane is shown in: the one last chosen for the pane.
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);
    // Takes the editor's present ink as the pane's (after its font or settings were applied).
    void keepEditorFontColor();
    // The pane's look, each from its dialog: the font (which also clears the colours given
    // to single characters), the background and the ink.
    void chooseFont();
    void chooseBackground();
    void chooseInk();

    // The commands. New and reopening ask before they discard changes; Open and Save As
    // run the file dialogs; Save saves under the file's name, or asks for one.
    void newFile();
    // "Discard the present text?", asked before a command replaces it; true on yes.
    bool confirmDiscard();
    // Whether the pane's text may be replaced: yes when nothing is unsaved, else the
    // answer to confirmDiscard() (いいえ the default). Every command that replaces the
    // text with a file's asks through it.
    bool mayReplaceText();
    void open();
    void save();
    void saveAs();
    void reopenWithEncoding();
    // Reads a file given by name (a shortcut is followed) and makes it the pane's file;
    // false, with the reason shown, when it cannot be read, or when the pane holds unsaved
    // text the user keeps.
    bool openFile(const QString &path);
    // Reads a file's text into the pane without making it the pane's file.
    bool load(const QString &path, std::optional<text::FileEncoding> encoding = {});
    // Why a file given by name cannot be opened (after following a shortcut), said to the
    // user; nullopt then, else the file to read.
    std::optional<QString> openablePath(const QString &path);

    // Find and replace, each dialog made on first use and kept with its texts.
    FindReplaceDialog *findDialog(bool replace);
    void openFindDialog(bool replace);
    void find(const QString &findText, bool down);
    void findNext(bool down);
    void replace();
    void replaceAll();

    // The recovery copy: written when due (the text changed while modified), forgotten on
    // New, Open and Save; restore() takes a copy of an earlier session back.
    QString recoveryName() const;
    void writeRecoveryCopy();
    void forgetRecoveryCopy();
    void restore(const text::RecoveredPane &copy);

Q_SIGNALS:
    // The text changed while unsaved: a recovery copy is due.
    void edited();

private:
    bool saveTo(const QString &path, std::optional<text::FileEncoding> encoding = {});
    void changedOnDisk(const QString &path);
    void named(const QString &path, PaneHost::FileEvent event, const QString &shownName = {});
    void showError(const QString &message);

    Side m_side;
    TRichEditSx *m_editor;
    QWidget *m_window;
    UiServices &m_ui;
    PaneHost &m_host;
    text::RecoveryStore &m_recovery;
    text::FileWatch *m_watch;
    QString m_file;
    QString m_shownName;
    QString m_saveFolder;
    QString m_saveName = QStringLiteral("*.txt");
    QColor m_fontColor;
    QPointer<FindReplaceDialog> m_findDialog;
    QPointer<FindReplaceDialog> m_replaceDialog;
    bool m_recoveryDue = false;
    bool m_askingAboutDisk = false;
};

} // namespace shell
