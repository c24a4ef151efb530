#pragma once
// TMainForm1: the one main window. Two panes side by side (the right pane RichEditNx1 holds
// the main document, the left pane RichEditNx2 is the work pane), five collapsible tool
// bars with the tab bar that holds them when collapsed, the menus, and the status bar.
// Handlers keep the names of the commands they answer (New1Click, VHClick, ...) and
// stay thin: they gather what the controls hold, call the logic, show the result.

#include "convert/ReplaceEngine.h"
#include "convert/Stopw.h"
#include "convert/TextTarget.h"
#include "html/HtmlStyle.h"
#include "reading/Mora.h"
#include "settings/ComponentRecord.h"
#include "settings/RegMng.h"
#include "shell/Pane.h"
#include "shell/ReadingDictionary.h"
#include "shell/ToolStrip.h"
#include "shell/UiBuilder.h"
#include "shell/Unit1.h"
#include "shell/Unit3.h"
#include "shell/WindowValues.h"
#include "text/FileEncoding.h"
#include "text/RecentFiles.h"
#include "text/Ruby.h"
#include "tools/StringColoring.h"
#include "tools/widgets/Unit2.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <memory>

class QLabel;
class QLineEdit;
class QSplitter;

namespace tools {
class TMsgSCR;
}
namespace speech {
class TDirectSS;
class ReadingController;
class SpeakerSelection;
class VolumeControl;
class TypingReader;
class TClipboardWatcher;
class THookHotKey;
} // namespace speech

namespace reading {
class ReadingEngine;
} // namespace reading

namespace text {
class FileWatch;
class RecoveryStore;
} // namespace text

namespace widgets {
class ClockLabel;
class TabButton;
} // namespace widgets

namespace editor {
class TRichEditSx;
struct PrintOptions;
} // namespace editor

namespace shell {

using editor::TRichEditSx;

class UiServices;
class MainFormSettings;
class FindReplaceDialog;
class TReadingDialog;
class TDropDst;

// The panels of the status bar: 0 the left pane's file, 1 and 2 timings and counts of the
// left-pane tools, 3 the right pane's caret, 4 hints (stretches), 5 the encoding and line
// ends of the pane last focused.
class StatusPanels final : public QWidget
{
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr);
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    QLabel *panel(int index) const { return m_panels.at(index); }

private:
    QList<QLabel *> m_panels;
};

class TMainForm1 final : public QMainWindow, private PaneHost
{
    Q_OBJECT
public:
    enum Bar { RightBar, LeftBar, ColorBar, HtmlBar, SpeechBar, BarCount };

    TMainForm1(UiServices &ui, const QString &programPath, QWidget *parent = nullptr);
    ~TMainForm1() override;

    // Opens the first command-line argument once the window is shown.
    void openStartupArgument(const QStringList &arguments);

    // Runs a handler by its name, as menus, bars and tests do. A name with no handler is a
    // programming error: false, and a warning in the "kotonami.handlers" category.
    bool run(const QString &handler);
    bool hasHandler(const QString &handler) const { return m_handlers.contains(handler); }
    QStringList handlerNames() const { return m_handlers.keys(); }

    TRichEditSx *RichEditNx1() const { return m_right; }
    TRichEditSx *RichEditNx2() const { return m_left; }
    // The panes with their files: the right one holds the main document.
    Pane &rightPane() const { return *m_rightPane; }
    Pane &leftPane() const { return *m_leftPane; }
    QSplitter *Splitter1() const { return m_splitter; }
    StatusPanels *StatusBar1() const { return m_status; }
    QLabel *LabelNx() const { return m_labelNx; }
    QWidget *bar(Bar b) const { return m_bars[b]; }
    widgets::TabButton *tab(Bar b) const { return m_tabs[b]; }
    QWidget *tabBar() const { return m_tabBar; }
    QAction *action(const QString &name) const { return m_menus.actions.value(name); }
    QMenu *popupMenu() const { return m_menus.menus.value(QStringLiteral("PopupMenu1")); }
    QMenu *recentMenu() const { return m_recentMenu; }
    QWidget *control(const QString &name) const { return m_controls.value(name); }
    QLineEdit *edit(const QString &name) const;
    widgets::ClockLabel *ClockLabel2() const;
    QWidget *scrollStrip() const { return m_controls.value(QStringLiteral("MsgSCR1")); }

    // The values kept between sessions, as read at start or changed since.
    const WindowValues &values() const { return m_values; }
    // The program's folder with a separator at its end: the collections are looked for there first.
    const QString &programDir() const { return ProgramDir; }

    html::HtmlStyleState &htmlStyle() { return m_html; }
    const html::HtmlStyleState &htmlStyle() const { return m_html; }

    int leftPaneWidth() const { return m_leftWidth; }
    void setLeftPaneWidth(int width);
    TForm3 *splash() const { return m_splash; }

    // Handlers of this window (the others are wired by name in registerHandlers()).
    void GripClick(Bar b);
    void TabClick(Bar b);
    void ToolbarTateCheck();
    void ToolbarYokoCheck();
    void Copy1Click();
    void Cut1Click();
    void Paste1Click();
    void SelectAllClick();
    void Undo1Click();
    void Redo1Click();
    void VHClick();
    void HHVClick();
    void WordWrapClick();
    void WordWrapHClick();
    void Font1Click();
    void ShineSpeedButton4Click();
    void N7Click();
    void ShineSpeedButton8Click();
    void NNButton7Click();
    void NNButton6Click();
    void ShineSpeedButton2Click();
    void ShineSpeedButton28Click();
    void ShineSpeedButton37Click();
    void HtmButton11Click();
    void idou2Click();
    void GetColRow();
    void SetIMEcolor();
    void ClockLabel2Click();
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void LeftNew1Click();
    void LeftOpen1Click();
    void LeftSave1Click();
    void LeftSaveAs1Click();
    void ReopenEncoding1Click();
    void LeftReopenEncoding1Click();
    // Opens a file in the right pane: at start with the splash over the window while it is read.
    void openInRightPane(const QString &path, bool atStart = false);
    // Offers the unsaved text of an editor that ended without a clean exit, pane by pane.
    void offerRecovery();
    // How long after the last change, and how often while changes go on, the recovery
    // copies of unsaved panes are written (3 s and 30 s unless set).
    void setRecoveryDelays(int afterLastChangeMs, int atLeastEveryMs);
    void ShineSpeedButton21Click();
    void KatakanaButton1Click();
    void KatakanaButton2Click();
    void HiraganaButton1Click();
    void HidukeClick();
    void diaryClick();
    void kuhaku1Click();
    convert::ReplaceEngine &engine() { return m_engine; }
    void HtmButton1Click();
    void ShineSpeedButton36Click();
    void HtmButton3Click();
    void HtmButton4Click();
    void HtmButton13Click();
    void ShineSpeedButton35Click();
    void ShineSpeedButton38Click();
    void ShineSpeedButton39Click();
    // The last page saved from the left pane.
    const QString &pageFile() const { return PageFile; }
    void Exit1Click();
    void Print1Click();
    // The right pane as a PDF, without the print dialog: page size and margins as printing
    // has them by default.
    void ExportPdf1Click();
    void PrintHeader1Click();
    void RubyShow1Click();
    void MoraShow1Click();
    void TateChuYoko1Click();
    void TcyLength1Click();
    void PoemForm1Click();
    void LeftPoemForm1Click();
    void Burasage1Click();
    void Furigana1Click();
    void HistoricalRuby1Click();
    void About1Click();
    void ShineSpeedButton23Click() { startLauncher(1); }
    void ShineSpeedButton24Click() { startLauncher(2); }
    void startLauncher(int slot);
    // The "起" buttons' programs: slot 1 or 2, set from the settings dialog.
    QString launcherPath(int slot) const { return m_values.launcherPaths.value(slot); }
    void setLauncherPath(int slot, const QString &path);
    // The "起" buttons' hints: the launcher paths shortened to panel 4's width in a font.
    void updateLauncherHints(const QFont &font);
    TAboutBox *aboutBox() const { return m_about; }
    tools::TMsgSCR *MsgSCR1() const;
    tools::TForm2 *Form2() const { return m_form2; }
    tools::ColoringState &coloring() { return m_coloring; }
    void NNButton1Click();
    void NNButton2Click();
    // Reading aloud: created with the window, started once the settings are read.
    void startSpeech();
    void stopSpeech();
    int outputVolume() const;
    speech::ReadingController *reading() const { return m_reading.get(); }
    speech::SpeakerSelection *speakers() const { return m_speakers.get(); }
    speech::TypingReader *typing() const { return m_typing.get(); }
    speech::TClipboardWatcher *ClipboardWatcher1() const { return m_clipboardWatcher; }
    speech::THookHotKey *HookHotKey1() const { return m_hookHotKey; }
    void HotKeyCheckClick();
    // Speaker menu: recite poems as karuta readers read them, the first as the opening poem.
    void Recite1Click();
    void Opening1Click();
    // Speaker menu: the Japanese speakers' HTS voices, or espeak-ng.
    void HtsVoice1Click();
    // "読みを登録": the poet's readings, prefilled with the selection and its reading now.
    void ReadingDictionary1Click();
    TReadingDialog *readingDialog() const { return m_readingDialog; }
    // The reading engine of the typing reader and the dictionary dialog, opened on first use.
    reading::ReadingEngine &readings();
    // Registers HotKey1 under identifier 1 (a key another program holds stays silently
    // inactive; where the desktop lets no program have one, the item's hint says so).
    void registerHotKey();
    void NNButton3Click();
    void LastFile1Click();
    void DropDst1FileDrop(const QStringList &files);
    void DropDst2FileDrop(const QStringList &files);
    TDropDst *DropDst1() const { return m_drop1; }
    TDropDst *DropDst2() const { return m_drop2; }

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    WindowValues m_values;
    QString ProgramDir;
    settings::TRegManager RegManager1;
    // The left pane's ink and font before "同期" gave it the right pane's, for "戻す".
    QColor ScrollFontColor;
    QString ScrollFontName;
    // The right pane's caret as the status bar last showed it.
    int CaretLine = 0;
    int CaretColumn = 0;
    QString PageFile;       // the last page saved from the left pane
    QString SecondPageFile; // the last page saved through the second HTML save dialog
    // The global hot key that runs Reset: HotKey1's value, Ctrl+Alt+R (set with the speech).
    int HotKey1 = 0;

    void buildWindow();
    void registerHandlers();
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void applyLeftPaneWidth();
    void followRightColors();
    void followLeftColors();
    // The focused control among the panes and the edits, if the application is active.
    QWidget *focusedEditor(bool panesOnly) const;
    void setUpDocuments();
    void setUpRecentFiles();
    void showDocumentTitle(const QString &title);
    void noteRecentFile(const QString &path);
    void fillRecentMenu();
    void openRecentFile(const QString &path);
    // Where a recovered text goes that its pane cannot take: NAME.recovered.txt beside the
    // file (-2, -3 … when taken).
    QString recoveredFileName(const QString &filePath) const;
    // The PDF a print of the right pane proposes: the document's folder and name.
    QString proposedPdfName() const;
    editor::PrintOptions printOptions() const;
    void showFileFormat();
    void scheduleRecoveryCopies();
    void writeRecoveryCopies();
    void finishRecovery();
    void showFileError(const QString &message);
    // What the panes tell the window (PaneHost).
    void paneFileChanged(Pane &pane, FileEvent event) override;
    void paneFormatChanged(Pane &pane) override;
    void paneHint(const QString &text) override;
    void paneCaretMoved(Pane &pane) override;
    void paneLookChanged(Pane &pane) override;
    QString dialogFolder(const QString &paneFolder) const override;

    // One entry of the handler registry, its name written out in full so that a search for
    // a table's handler name finds the code: HANDLER(New1Click) (shell/MainFormHandlers.h)
    // runs the member of that name, {"N8Click", &TMainForm1::NNButton7Click} a member under
    // another name, {"Grip1Click", [this] { ... }} anything else.
    struct HandlerRow
    {
        HandlerRow(const char *n, void (TMainForm1::*m)()) : name(n), member(m) {}
        HandlerRow(const char *n, std::function<void()> f) : name(n), call(std::move(f)) {}
        const char *name;
        void (TMainForm1::*member)() = nullptr;
        std::function<void()> call;
    };
    // A name registered twice is a programming error, reported like an unknown one; the
    // first registration stays.
    void addHandlers(std::initializer_list<HandlerRow> rows);
    void wireHtmlStyle();
    void registerCommandHandlers();
    void registerHtmlHandlers();
    void registerToolHandlers();
    void createSpeech();
    void toggleRecitation(const QString &item);
    class SpeechHost;
    void colourPane(TRichEditSx *pane, text::ColorNumber colour);
    void countPane(TRichEditSx *pane);
    void loadCollection(bool haiku);
    void htmlMessage(const char16_t *text);
    void leftWrapOff();
    std::optional<QString> savePage(const QStringList &lines, TRichEditSx *pane);
    void previewPage(const QString &file);
    void showLeftFileName(const QString &path);
    QLineEdit *gridCellEditor() const;
    void runLeftConversion(const std::function<void(convert::TextTarget &)> &convert);
    void insertAtRightCaret(const QString &text);
    // The poet's tools (MainFormPoet.cpp).
    bool menuOn(const QString &name) const;
    void toggleMenu(const QString &name);
    void switchTypesetting(const QString &item); // a 表示 check item of the typesetting
    void applyTypesetting();
    void applyLineNotes();
    // The sounds of the lines a poem may span and where their guessed readings stand, kept
    // by the form and the lines' text; `line` is the block's place among them.
    struct StanzaReading
    {
        reading::StanzaMeter meter;
        QList<QList<text::Span>> doubtful;
    };
    const StanzaReading &stanzaOf(const QTextBlock &block, reading::PoemForm form, qsizetype *line);
    reading::PoemForm poemForm(const TRichEditSx *pane) const;
    void choosePoemForm(TRichEditSx *pane);
    QString caretMeterText(bool whole);
    void showCaretMeter();
    html::HtmlStyle pageStyle() const;
    void pickHtmlColor(html::ColorTarget target);

    UiServices &m_ui;
    html::HtmlStyleState m_html;
    convert::ReplaceEngine m_engine;
    QPointer<TAboutBox> m_about;
    QPointer<tools::TForm2> m_form2;
    std::shared_ptr<SpeechHost> m_speechHost; // shared: its type is complete only where it is made
    std::unique_ptr<speech::TDirectSS> m_engine1;
    std::unique_ptr<speech::VolumeControl> m_volume;
    std::unique_ptr<speech::ReadingController> m_reading;
    std::unique_ptr<speech::SpeakerSelection> m_speakers;
    std::unique_ptr<speech::TypingReader> m_typing;
    std::unique_ptr<reading::ReadingEngine> m_readings;
    QHash<QString, StanzaReading> m_meters; // the sounds of poems, by form and text
    QString m_caretMeter;                   // the caret line's count in panel 4
    QPointer<TReadingDialog> m_readingDialog;
    speech::TClipboardWatcher *m_clipboardWatcher = nullptr;
    speech::THookHotKey *m_hookHotKey = nullptr;
    // The hot key item's own hint; the hot key adds why no key can work on this desktop.
    QString m_hotKeyHint;
    void showHotKeyHint();
    tools::ColoringState m_coloring;
    convert::TStopWatch m_stopWatch;
    TDropDst *m_drop1 = nullptr;
    TDropDst *m_drop2 = nullptr;
    std::unique_ptr<MainFormSettings> m_settings;
    QHash<QString, std::function<void()>> m_handlers;
    BuiltMenus m_menus;
    QHash<QString, QWidget *> m_controls;
    QWidget *m_bars[BarCount] = {};
    widgets::TabButton *m_tabs[BarCount] = {};
    QWidget *m_tabBar = nullptr;
    QLabel *m_labelNx = nullptr;
    QSplitter *m_splitter = nullptr;
    TRichEditSx *m_right = nullptr;
    TRichEditSx *m_left = nullptr;
    Pane *m_rightPane = nullptr;
    Pane *m_leftPane = nullptr;
    StatusPanels *m_status = nullptr;
    QPointer<TForm3> m_splash;
    int m_leftWidth = 129;
    bool m_shownOnce = false;
    bool m_closing = false;
    QString m_lastFolder; // of the last file opened or saved in either pane
    std::unique_ptr<text::RecentFiles> m_recent;
    QMenu *m_recentMenu = nullptr;
    Pane *m_formatPane = nullptr; // the pane whose encoding status panel 5 shows
    std::unique_ptr<text::RecoveryStore> m_recovery;
    QTimer m_recoveryIdle;
    QTimer m_recoveryPeriod;
    bool m_recoveryOff = false; // after a clean exit began
};

} // namespace shell
