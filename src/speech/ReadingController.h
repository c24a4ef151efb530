#pragma once

// The reading state of the right pane and the commands of the "Speech" bar and the
// "Parole(&P)" menu: whole text, caret line, selection, pause and resume, reset, the
// repetition timer Timer1, the repetition spinner, the speed and volume sliders and the
// mouth switch. QtCore only: the window implements ReadingHost, forwards its controls'
// signals to the handlers below and connects nothing else.

#include "text/ColorNumber.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace speech {

class TDirectSS;
class VolumeControl;

inline constexpr int DefaultSpeed = 150;
inline constexpr int MinSpeed = 130;
inline constexpr int MaxSpeed = 188;
inline constexpr text::ColorNumber DefaultSelBgColor = 0x00FF8080; // "$00FF8080"
inline constexpr int Timer1Interval = 1000;

// What a repetition pass reads.
enum ReadModes {
    ReadNothing = 0,
    ReadWholeText = 1,
    ReadCaretLine = 2,
    ReadSelection = 3,
    ReadClipboard = 4
};

// What the reading commands touch in the window.
class ReadingHost
{
public:
    virtual ~ReadingHost() = default;

    // The right pane's text, lines separated by "\n" (TRichEditSx::text()).
    virtual QString rightPaneText() const = 0;
    // CaretLine of the caret tracker: the caret's line in the right pane, from 0.
    virtual int caretLine() const = 0;
    // The right pane's selected text, empty when nothing is selected.
    virtual QString selectedText() const = 0;
    // Paints the whole right pane in its font colour (removing an earlier mark), the
    // selection in colour, moves the caret to the end of the selection (which collapses)
    // and sets the colour for typing back to the pane's font colour.
    virtual void markSelection(text::ColorNumber colour) = 0;
    virtual bool isRightPaneModified() const = 0;
    virtual void setRightPaneModified(bool modified) = 0;

    virtual void setLabelNxText(const QString &text) = 0;
    // The Pause button: "Pause", or "Resume" while paused.
    virtual void setPauseCaption(const QString &caption) = 0;
    // The colour dialog starting at current; nullopt when the user cancels.
    virtual std::optional<text::ColorNumber> chooseColor(text::ColorNumber current) = 0;
    virtual void setSelTextHoverColor(text::ColorNumber colour) = 0;

    // Moving a control must not call back into the controller synchronously with a
    // different value; the window may forward the resulting change signal, which is then
    // handled like any change (the handlers are idempotent).
    virtual void setRepetitionPosition(int position) = 0; // RepUpDown, 1-100
    virtual void setSpeedPosition(int position) = 0;      // ScrollBar1, 130-188
    virtual void setSpeedHint(const QString &hint) = 0;
    virtual void setVolumePosition(int position) = 0; // VScrollBar, 0-65535
    virtual void setVolumeHint(const QString &hint) = 0;
    // ShowCheckBox's check and Show1's mark.
    virtual void setMouthChecks(bool checked) = 0;
    virtual void focusRightPane() = 0;

    // Clipboard speech's controls (ClipSpeechCheckBox and ClipbrdSpeech1's mark) and
    // whether the clipboard watcher reports changes.
    virtual void setClipSpeechControls(bool on) = 0;
    virtual void setClipboardWatching(bool on) = 0;
    // toClipbrd's mark; copySelection() is the pane's own copy command.
    virtual bool toClipbrdChecked() const = 0;
    virtual void setToClipbrdChecked(bool on) = 0;
    virtual void copySelection() = 0;
    // Read-along: the right pane shows [from, to) as the words being heard, kept in view;
    // from < 0 takes the mark away.
    virtual void showSpoken(int from, int to)
    {
        Q_UNUSED(from);
        Q_UNUSED(to);
    }
    // Where the right pane's selection starts (the selection being read).
    virtual int selectionStart() const { return -1; }
};

class ReadingController : public QObject
{
    Q_OBJECT

public:
    // volume may be null (no volume slider handling then).
    ReadingController(TDirectSS &engine, ReadingHost &host, VolumeControl *volume,
                      QObject *parent = nullptr);

    // Settings, loaded before applyAtStart() and saved at shut-down.
    int FSpd() const { return m_FSpd; }
    void setFSpd(int speed) { m_FSpd = speed; }
    int fRepNum() const { return m_fRepNum; }
    void setFRepNum(int count) { m_fRepNum = count; }
    text::ColorNumber fSelBgColor() const { return m_fSelBgColor; }
    void setFSelBgColor(text::ColorNumber colour) { m_fSelBgColor = colour; }
    bool ShowCheckBoxChecked() const { return m_showMouth; }
    void setShowCheckBoxChecked(bool shown) { m_showMouth = shown; }

    // The state shared by the speech commands.
    bool EngineReady() const { return m_engineReady; }
    void setEngineReady(bool ready) { m_engineReady = ready; } // from speaker detection
    int ReadMode() const { return m_readMode; }
    void setReadMode(int mode) { m_readMode = mode; }
    int ReadCount() const { return m_readCount; }
    void setReadCount(int count) { m_readCount = count; }
    bool Paused() const { return m_paused; }
    const QString &LastSelText() const { return m_lastSelText; }
    // The clipboard text read last and clipboard speech's switch (ReadMode 4 repeats
    // ClipText while it is on).
    const QString &ClipText() const { return m_clipText; }
    bool clipSpeechOn() const { return m_clipSpeech; }

    QTimer &Timer1() { return m_timer1; }

    // Paused := false and the Pause caption "Pause".
    void clearPaused();
    // The common start of a reading: ResetAudio, clear the pause, SpeakText, ReadMode :=
    // mode and ReadCount := 1.
    void startReading(const QString &text, int mode);

    // Start-up: the spinner, the speed slider and its hint, the volume slider and its
    // hint, the engine's rate and the mouth as the settings say.
    void applyAtStart();
    // The window shown for the first time: ResetAudio, LabelNx emptied.
    void windowFirstShown();

    // Handlers of the bar's buttons and the menu items (each pair shares one).
    void ParoleP1Click();
    void Band1Click();
    void SelText1Click();
    void Pouse1Click();
    void Reset1Click();
    void DirectSS1TextDataDone();
    void Timer1Timer();
    void RepUpDownChange(int position);
    void ScrollBar1Change(int position);
    void DSpeedButtonClick();
    void VScrollBarChange(int position);
    void ShowCheckBoxClick(bool checked);
    void Show1Click();

    // Clipboard speech. The watcher's change: nullopt when the clipboard holds no text.
    void clipboardChanged(const std::optional<QString> &text);
    void ClipSpeechCheckBoxClick(bool checked) { setClipSpeech(checked); }
    void ClipbrdSpeech1Click() { setClipSpeech(!m_clipSpeech); }
    // Start-up: the stored value sets the menu mark and the watcher, and reads nothing.
    void applyClipSpeechAtStart(bool on);
    void ClipBoardMemory1Click();
    void toClipbrdClick();
    // A double-click in the right pane, after the pane has selected the word under the
    // pointer.
    void paneDoubleClicked();

private:
    void setClipSpeech(bool on);
    // Reset's work: ResetAudio, the pause cleared, no repetition pending.
    void stopReading();
    void resumeForPass();
    void speakPass(const QString &text);
    QString caretLineText() const;
    // Where the caret's line starts in the right pane's text.
    int caretLineStart() const;
    // Where in the right pane the text being read starts (the words heard are shown there);
    // -1 for a text that is not the pane's (the clipboard).
    void setSpokenBase(int position);
    void setMouth(bool shown);

    TDirectSS &m_engine;
    ReadingHost &m_host;
    int m_spokenBase = -1;
    int m_selectionStart = -1; // of the selection read last
    VolumeControl *m_volume;
    QTimer m_timer1;

    int m_FSpd = DefaultSpeed;
    int m_fRepNum = 0;
    text::ColorNumber m_fSelBgColor = DefaultSelBgColor;
    bool m_showMouth = true;

    bool m_engineReady = false;
    int m_readMode = ReadNothing;
    int m_readCount = 1;
    bool m_paused = false;
    QString m_lastSelText;
    QString m_clipText;
    bool m_clipSpeech = false;
};

} // namespace speech
