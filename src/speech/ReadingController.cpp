#include "speech/ReadingController.h"

#include "speech/DirectSS.h"
#include "speech/VolumeControl.h"
#include "text/TextMetrics.h"

namespace speech {

namespace {

// The volume slider's hint shows percent: 65535 / 655 is 100, 654 / 655 is 0.
constexpr int VolumeHintDivisor = 655;

// The pane's text as its lines, each followed by a line break: "a\nb" is read as
// "a\nb\n", "a\n" stays "a\n" (its empty last line is where the caret can go, not a line
// of its own), and an empty pane is read as "".
QString wholeText(const QString &paneText)
{
    if (paneText.isEmpty() || paneText.endsWith(u'\n'))
        return paneText;
    return paneText + u'\n';
}

} // namespace

ReadingController::ReadingController(TDirectSS &engine, ReadingHost &host, VolumeControl *volume,
                                     QObject *parent)
    : QObject(parent), m_engine(engine), m_host(host), m_volume(volume)
{
    m_timer1.setInterval(Timer1Interval);
    connect(&m_timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(&m_engine, &TDirectSS::OnTextDataDone, this, [this] {
        m_host.showSpoken(-1, -1);
        DirectSS1TextDataDone();
    });
    connect(&m_engine, &TDirectSS::wordSpoken, this, [this](int begin, int end) {
        if (m_spokenBase >= 0)
            m_host.showSpoken(m_spokenBase + begin, m_spokenBase + end);
    });
}

void ReadingController::setSpokenBase(int position)
{
    m_spokenBase = position;
    m_host.showSpoken(-1, -1);
}

void ReadingController::clearPaused()
{
    m_paused = false;
    m_host.setPauseCaption(QStringLiteral("Pause"));
}

void ReadingController::startReading(const QString &text, int mode)
{
    m_engine.ResetAudio();
    clearPaused();
    setSpokenBase(mode == ReadWholeText ? 0 : mode == ReadCaretLine ? caretLineStart() : -1);
    m_engine.SpeakText(text);
    m_readMode = mode;
    m_readCount = 1;
}

void ReadingController::applyAtStart()
{
    m_host.setRepetitionPosition(m_fRepNum);
    m_host.setSpeedPosition(m_FSpd);
    m_host.setSpeedHint(QStringLiteral("Speed ") + QString::number(m_FSpd));
    m_engine.setSpeed(m_FSpd);
    if (m_volume) {
        const int volume = m_volume->volume();
        m_host.setVolumePosition(volume);
        m_host.setVolumeHint(QStringLiteral("Volume  ") +
                             QString::number(volume / VolumeHintDivisor));
    }
    setMouth(m_showMouth);
}

void ReadingController::windowFirstShown()
{
    m_engine.ResetAudio();
    m_host.setLabelNxText(QString());
}

int ReadingController::caretLineStart() const
{
    const QStringList lines = text::splitLines(m_host.rightPaneText());
    const int line = m_host.caretLine();
    if (line < 0 || line >= lines.size())
        return -1;
    int start = 0;
    for (int i = 0; i < line; ++i)
        start += int(lines[i].size()) + 1;
    return start;
}

QString ReadingController::caretLineText() const
{
    const QStringList lines = text::splitLines(m_host.rightPaneText());
    const int line = m_host.caretLine();
    return line >= 0 && line < lines.size() ? lines[line] : QString();
}

void ReadingController::ParoleP1Click()
{
    if (!m_engineReady)
        return;
    startReading(wholeText(m_host.rightPaneText()), ReadWholeText);
}

void ReadingController::Band1Click()
{
    if (!m_engineReady)
        return;
    const QString line = caretLineText();
    startReading(line, ReadCaretLine);
    m_host.setLabelNxText(line);
}

void ReadingController::SelText1Click()
{
    if (!m_engineReady)
        return;
    // Marking the selection changes formats only. The pane is left modified exactly when
    // it was before, so an unsaved edit keeps its mark (and the question at exit) while
    // the mark alone never makes the pane look edited.
    const bool wasModified = m_host.isRightPaneModified();
    const QString selection = m_host.selectedText();
    if (!selection.isEmpty()) {
        m_lastSelText = selection;
        m_selectionStart = m_host.selectionStart();
        m_host.markSelection(m_fSelBgColor);
    }
    if (!m_lastSelText.isEmpty()) {
        m_engine.ResetAudio();
        clearPaused();
        setSpokenBase(m_selectionStart);
        m_host.setRightPaneModified(wasModified);
        m_engine.SpeakText(m_lastSelText);
        m_readMode = ReadSelection;
        m_readCount = 1;
        m_host.setLabelNxText(m_lastSelText);
        return;
    }
    if (const std::optional<text::ColorNumber> colour = m_host.chooseColor(m_fSelBgColor)) {
        m_fSelBgColor = *colour;
        m_host.setSelTextHoverColor(*colour);
    }
}

void ReadingController::Pouse1Click()
{
    if (!m_engineReady)
        return;
    if (m_paused) {
        m_engine.ResumeAudio();
        clearPaused();
    } else {
        m_engine.PauseAudio();
        m_paused = true;
        m_host.setPauseCaption(QStringLiteral("Resume"));
    }
}

void ReadingController::stopReading()
{
    m_engine.ResetAudio();
    m_host.showSpoken(-1, -1);
    clearPaused();
    m_readMode = ReadNothing;
    m_readCount = 1;
    m_timer1.stop();
}

void ReadingController::Reset1Click()
{
    if (m_engineReady)
        stopReading();
}

void ReadingController::DirectSS1TextDataDone()
{
    // fRepNum 0 and 1 both mean a single pass.
    if (!m_paused && m_readMode != ReadNothing && m_fRepNum != 1 && m_readCount < m_fRepNum)
        m_timer1.start();
}

void ReadingController::resumeForPass()
{
    // Pause pressed in the gap between passes: the pass clears Paused, so the output is
    // resumed too, or the pass would sit silent behind a "Pause" caption.
    if (m_paused)
        m_engine.ResumeAudio();
    clearPaused();
}

void ReadingController::speakPass(const QString &text)
{
    resumeForPass();
    m_engine.SpeakText(text);
}

void ReadingController::Timer1Timer()
{
    // Each pass reads its source as it is now: the pane as edited since the last pass, the
    // line the caret is on now. No ResetAudio: a pass follows the end of the previous one.
    switch (m_readMode) {
    case ReadWholeText:
        speakPass(wholeText(m_host.rightPaneText()));
        break;
    case ReadCaretLine:
        setSpokenBase(caretLineStart());
        speakPass(caretLineText());
        break;
    case ReadSelection:
        speakPass(m_lastSelText);
        break;
    case ReadClipboard:
        resumeForPass();
        if (m_clipSpeech)
            m_engine.SpeakText(m_clipText);
        break;
    default:
        break;
    }
    // Off in every mode, so that a tick finding nothing to read does not tick on forever.
    m_timer1.stop();
    if (m_readCount < m_fRepNum)
        ++m_readCount;
}

void ReadingController::RepUpDownChange(int position)
{
    m_fRepNum = position;
}

void ReadingController::ScrollBar1Change(int position)
{
    if (!m_engineReady)
        return;
    m_FSpd = position;
    m_host.setSpeedHint(QStringLiteral("Speed ") + QString::number(position));
    m_engine.setSpeed(position);
}

void ReadingController::DSpeedButtonClick()
{
    if (!m_engineReady)
        return;
    m_host.setSpeedPosition(DefaultSpeed);
    // The slider may already stand at 150 and then reports no change of its own.
    ScrollBar1Change(DefaultSpeed);
}

void ReadingController::VScrollBarChange(int position)
{
    if (m_volume)
        m_volume->setVolume(position);
    m_host.setVolumeHint(QStringLiteral("Volume  ") +
                         QString::number(position / VolumeHintDivisor));
}

void ReadingController::setMouth(bool shown)
{
    m_showMouth = shown;
    m_engine.setMouthVisible(shown);
    m_host.setMouthChecks(shown);
}

void ReadingController::ShowCheckBoxClick(bool checked)
{
    setMouth(checked);
    m_host.focusRightPane();
}

void ReadingController::Show1Click()
{
    setMouth(!m_showMouth);
}

// --- clipboard speech -------------------------------------------------------------------

void ReadingController::clipboardChanged(const std::optional<QString> &text)
{
    if (!text)
        return;
    m_clipText = *text;
    m_host.setLabelNxText(m_clipText);
    startReading(m_clipText, ReadClipboard);
}

void ReadingController::applyClipSpeechAtStart(bool on)
{
    m_clipSpeech = on;
    m_host.setClipSpeechControls(on);
    m_host.setClipboardWatching(on);
}

void ReadingController::setClipSpeech(bool on)
{
    applyClipSpeechAtStart(on);
    if (!on)
        stopReading();
}

void ReadingController::ClipBoardMemory1Click()
{
    // The last clipboard text read, not what the clipboard holds now.
    if (!m_engineReady || !m_clipSpeech || m_clipText.isEmpty())
        return;
    m_host.setLabelNxText(m_clipText);
    startReading(m_clipText, ReadClipboard);
}

void ReadingController::toClipbrdClick()
{
    const bool on = !m_host.toClipbrdChecked();
    m_host.setToClipbrdChecked(on);
    if (!on)
        m_host.setLabelNxText(QString());
}

void ReadingController::paneDoubleClicked()
{
    if (!m_host.toClipbrdChecked())
        return;
    const QString selection = m_host.selectedText();
    if (selection.isEmpty())
        return;
    // Trailing blanks only: a word selected with the space after it is shown without it.
    QString shown = selection;
    while (!shown.isEmpty() && shown.back().unicode() <= u' ')
        shown.chop(1);
    if (shown.isEmpty())
        return;
    m_host.setLabelNxText(shown);
    m_host.copySelection();
    // With clipboard speech on, the copy itself reaches the watcher, which reads it.
    if (!m_clipSpeech) {
        clearPaused();
        m_readMode = ReadNothing;
        m_engine.ResetAudio();
        m_engine.SpeakText(selection);
    }
}

} // namespace speech
