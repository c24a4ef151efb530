#pragma once

// The speech control over espeak-ng: six voice modes (those whose espeak-ng voice is
// installed, in the order "Female Japanese", "Male Japanese", "Mary", "Mike",
// "Female British", "Male British"), Japanese read through MeCab, synthesis on a worker
// thread a piece at a time, audio through AudioOutput.

#include "speech/AudioOutput.h"
#include "speech/DirectSS.h"

#include <QFile>
#include <QList>
#include <QThread>

#include <atomic>
#include <memory>

namespace speech {

class EspeakDirectSS : public TDirectSS
{
    Q_OBJECT

public:
    explicit EspeakDirectSS(QObject *parent = nullptr,
                            AudioOutput::Kind output = AudioOutput::Kind::Automatic);
    ~EspeakDirectSS() override;

    // 0 when espeak-ng or espeak-ng-data is missing: the window then reports that there
    // is no speech engine.
    int GetModeCount() const override;
    QString GetModeName(int mode) const override;
    QString GetSpeakerName(int mode) const override;
    void SelectMode(int mode) override;
    void SpeakText(const QString &text) override;
    void ResetAudio() override;
    void PauseAudio() override;
    void ResumeAudio() override;
    void setSpeed(int wordsPerMinute) override;
    void setOutputVolume(double volume) override;
    void setHtsVoices(bool on) override;

    int currentMode() const { return m_mode; }
    bool hasAudioDevice() const { return m_audio->hasDevice(); }
    // Bytes of 16-bit mono audio received from the synthesiser so far, and their rate.
    qint64 audioBytesReceived() const { return m_audio->bytesReceived(); }
    int sampleRate() const { return m_audio->sampleRate(); }
    // The output, for a test or bench that paces it by its own clock.
    AudioOutput &output() { return *m_audio; }
    // Returns once every text handed over so far is synthesised and its audio and end are
    // with the output (or dropped by a reset).
    void waitUntilSynthesised();

private:
    bool isDropped(quint64 utterance) const { return utterance <= m_droppedUpTo->load(); }

    QList<int> m_voices; // voiceModeTable() index of each mode, mode 1 first
    int m_mode = 1;
    int m_speed = 150;
    bool m_fallbackNoticed = false;
    quint64 m_lastUtterance = 0;
    // Texts numbered up to this one were reset away; the worker stops making their audio.
    std::shared_ptr<std::atomic<quint64>> m_droppedUpTo;
    QThread m_thread;
    QObject *m_worker = nullptr;
    // Audio the worker sent that has not reached the output yet; while waitUntilSynthesised()
    // blocks, the worker does not wait for the output to play.
    std::atomic<qint64> m_inFlight{0};
    std::atomic<bool> m_unthrottled{false};
    AudioOutput *m_audio = nullptr;
    // With KOTONAMI_SPEECH_LOG naming a file, every text handed over, every reset and
    // every completion is written there, a line each: what a session read aloud, for
    // checking it without a loudspeaker.
    void log(const QString &line);
    std::unique_ptr<QFile> m_log;
};

} // namespace speech
