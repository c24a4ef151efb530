#pragma once

// The speech control as the rest of the program sees it. The window, the reading commands
// and the speaker detection talk only to this interface; EspeakDirectSS speaks through
// espeak-ng, and the tests use a fake whose completion they trigger themselves.
//
// Voice modes are numbered from 1 to GetModeCount(). Every member is called on the GUI
// thread, and OnTextDataDone is emitted there too.

#include <QObject>
#include <QString>

namespace speech {

class TDirectSS : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~TDirectSS() override = default;

    // Fewer than 1 means there is no usable engine.
    virtual int GetModeCount() const = 0;
    virtual QString GetModeName(int mode) const = 0;
    virtual QString GetSpeakerName(int mode) const = 0;
    // Later texts are spoken in this mode; a number out of range is ignored.
    virtual void SelectMode(int mode) = 0;

    // Returns at once. Texts handed over while another is still being spoken wait their
    // turn; each one that plays to its end is followed by exactly one OnTextDataDone.
    virtual void SpeakText(const QString &text) = 0;
    // Stops what is being spoken and drops what is queued. Texts dropped this way report
    // no completion, so a reading started right after a reset is never taken for done.
    // A reset also ends a pause.
    virtual void ResetAudio() = 0;
    virtual void PauseAudio() = 0;
    virtual void ResumeAudio() = 0;

    // Later texts recited a line a poem, as karuta readers read a waka (Recitation.h), the
    // first poem of each text as the opening poem (序歌) with `opening`; a speaker that
    // cannot recite reads as usual.
    virtual void setRecitation(bool recite, bool opening)
    {
        m_recite = recite;
        m_opening = opening;
    }
    bool recites() const { return m_recite; }
    bool opensWithJoka() const { return m_opening; }
    // Whether the Japanese speakers speak through their HTS voices (when installed) or
    // through espeak-ng, as the Speaker menu's mark says.
    virtual void setHtsVoices(bool on) { m_htsVoices = on; }
    bool usesHtsVoices() const { return m_htsVoices; }

    // Speaking rate in words per minute (the speed setting, 130 to 188 from the slider).
    virtual void setSpeed(int wordsPerMinute) = 0;
    // The output's own volume, 0 to 1 (the volume slider's).
    virtual void setOutputVolume(double volume) = 0;

    // The speaking mouth ("Mouth Show"): the control only keeps the state and tells its
    // widget; see speech/widgets/Mouth.h.
    void Show() { setMouthVisible(true); }
    void Hide() { setMouthVisible(false); }
    bool isMouthVisible() const { return m_mouthVisible; }
    void setMouthVisible(bool visible)
    {
        if (visible == m_mouthVisible)
            return;
        m_mouthVisible = visible;
        Q_EMIT mouthVisibleChanged(visible);
    }

Q_SIGNALS:
    // The text handed to SpeakText has been spoken to its end.
    void OnTextDataDone();
    // The word at [begin, end) of the text being spoken is heard now (the HTS voices tell
    // this; espeak-ng does not).
    void wordSpoken(int begin, int end);
    // Something the listener should know once, for the status bar: a Japanese speaker's
    // own voice is missing and espeak-ng speaks instead.
    void noticed(const QString &text);
    // Loudness of what is playing now, 0 (silent or idle) to 1, a few dozen times a second.
    void outputLevelChanged(double level);
    void mouthVisibleChanged(bool visible);

private:
    bool m_mouthVisible = true;
    bool m_recite = false;
    bool m_opening = false;
    bool m_htsVoices = true;
};

} // namespace speech
