#pragma once

// Plays the synthesised audio (16-bit mono PCM) on the GUI thread: through QAudioSink when
// the machine has an output device, otherwise through a paced null output that takes the
// samples at their real rate, so a reading lasts as long as it would sound and still ends.
//
// Audio arrives in pieces tagged with the number of the text it belongs to; finish(n) marks
// where text n ends, and utteranceFinished(n) is emitted once the output has played up to
// that mark. A device that stops reporting progress cannot hold a reading up: a mark counts
// as played at most a moment after the audio before it would have ended at its real pace.

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <deque>
#include <functional>

class QAudioSink;
class QIODevice;

namespace speech {

class AudioOutput : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Automatic, Null };

    explicit AudioOutput(int sampleRate, Kind kind = Kind::Automatic, QObject *parent = nullptr);
    ~AudioOutput() override;

    bool hasDevice() const { return m_sink != nullptr; }

    void append(quint64 utterance, const QByteArray &pcm);
    void finish(quint64 utterance);
    // A word of text `utterance`, [begin, end) in it, starts where the audio appended so
    // far ends: wordReached() tells when the output plays up to there.
    void markWord(quint64 utterance, int begin, int end);
    // Drops everything queued and playing and ends a pause; the marks dropped report
    // nothing.
    void clear();

    void pause();
    void resume();
    bool isPaused() const { return m_paused; }

    void setVolume(double volume);

    // Bytes handed to append() since construction (the tests and the bench read it).
    qint64 bytesReceived() const { return m_received; }
    // Bytes appended and not yet played; safe to read from any thread.
    qint64 queuedBytes() const { return m_queued.load(); }
    int sampleRate() const { return m_sampleRate; }

    // The time the output paces itself by, in nanoseconds from any fixed start: the
    // machine's steady clock unless set. Each tick of paceTimer() plays what is due since
    // the last one; a test sets its own clock and fires the timer to run time forward.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock);
    QTimer &paceTimer() { return m_timer; }

Q_SIGNALS:
    void utteranceFinished(quint64 utterance);
    void wordReached(quint64 utterance, int begin, int end);
    void levelChanged(double level);

private:
    struct Mark
    {
        qint64 position; // absolute byte position in the stream
        quint64 utterance;
    };

    void tick();
    void updateTimer();
    qint64 playedPosition() const;
    QByteArray take(qint64 maxBytes);
    void reportLevel(const QByteArray &pcm);
    void restartSink();

    int m_sampleRate;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_sinkDevice = nullptr;
    // Nanoseconds since the last tick, by the clock; the next interval starts now.
    qint64 sinceLastTick();

    QTimer m_timer;
    Clock m_now;
    qint64 m_lastTick = 0;
    double m_carry = 0;     // fractional bytes owed to the null output's pace
    qint64 m_paced = 0;     // with a device: the position its real pace has reached
    qint64 m_dueSince = -1; // when the pace reached the front mark, by the clock; -1: not yet

    QByteArray m_queue;
    qint64 m_queueOffset = 0; // bytes of m_queue already taken
    qint64 m_appended = 0;    // absolute position of the queue's end
    qint64 m_taken = 0;       // absolute position of what left the queue
    std::deque<Mark> m_marks;
    struct WordMark
    {
        qint64 position;
        quint64 utterance;
        int begin;
        int end;
    };
    std::deque<WordMark> m_words;
    bool m_paused = false;
    double m_level = 0;
    qint64 m_received = 0;
    std::atomic<qint64> m_queued{0};
};

} // namespace speech
