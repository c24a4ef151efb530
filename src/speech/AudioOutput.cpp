#include "speech/AudioOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>

namespace speech {

namespace {

constexpr int TickMilliseconds = 10;
constexpr int BytesPerSample = 2;
// A device that reports no progress (a PulseAudio stream waiting for its pre-buffer to fill,
// a suspended or stalled sink) is taken to have played a text this long after the text
// would have ended at its real pace.
constexpr qint64 StallSlackNanoseconds = 1'500'000'000;

qint64 steadyNanoseconds()
{
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return start.nsecsElapsed();
}

} // namespace

AudioOutput::AudioOutput(int sampleRate, Kind kind, QObject *parent)
    : QObject(parent), m_sampleRate(sampleRate), m_now(steadyNanoseconds)
{
    m_timer.setInterval(TickMilliseconds);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });

    if (kind == Kind::Automatic && !QMediaDevices::audioOutputs().isEmpty()) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        QAudioFormat format;
        format.setSampleRate(sampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isNull() && device.isFormatSupported(format)) {
            m_sink = new QAudioSink(device, format, this);
            // Half a second in the device keeps pause and reset prompt.
            m_sink->setBufferSize(sampleRate * BytesPerSample / 2);
            m_sinkDevice = m_sink->start();
            if (!m_sinkDevice) {
                delete m_sink;
                m_sink = nullptr;
            }
        }
    }
}

AudioOutput::~AudioOutput()
{
    if (m_sink)
        m_sink->stop();
}

void AudioOutput::setClock(Clock clock)
{
    m_now = clock ? std::move(clock) : Clock(steadyNanoseconds);
    m_lastTick = m_now();
}

qint64 AudioOutput::sinceLastTick()
{
    const qint64 now = m_now();
    const qint64 elapsed = std::max<qint64>(0, now - m_lastTick);
    m_lastTick = now;
    return elapsed;
}

void AudioOutput::append(quint64 utterance, const QByteArray &pcm)
{
    Q_UNUSED(utterance);
    if (pcm.isEmpty())
        return;
    m_queue.append(pcm);
    m_queued += pcm.size();
    m_appended += pcm.size();
    m_received += pcm.size();
    updateTimer();
}

void AudioOutput::markWord(quint64 utterance, int begin, int end)
{
    m_words.push_back({m_appended, utterance, begin, end});
}

void AudioOutput::finish(quint64 utterance)
{
    m_marks.push_back({m_appended, utterance});
    updateTimer();
}

void AudioOutput::clear()
{
    // A reset also ends a pause: the next text must sound without a resume of its own.
    m_paused = false;
    m_queue.clear();
    m_queued = 0;
    m_queueOffset = 0;
    m_marks.clear();
    m_words.clear();
    m_appended = m_taken = 0;
    m_carry = 0;
    m_paced = 0;
    m_dueSince = -1;
    if (m_sink)
        restartSink();
    updateTimer();
    if (m_level != 0) {
        m_level = 0;
        Q_EMIT levelChanged(0);
    }
}

void AudioOutput::restartSink()
{
    m_sink->reset();
    m_sinkDevice = m_sink->start();
}

void AudioOutput::pause()
{
    if (m_paused)
        return;
    m_paused = true;
    if (m_sink)
        m_sink->suspend();
    updateTimer();
    if (m_level != 0) {
        m_level = 0;
        Q_EMIT levelChanged(0);
    }
}

void AudioOutput::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_sink)
        m_sink->resume();
    updateTimer();
}

void AudioOutput::setVolume(double volume)
{
    if (m_sink)
        m_sink->setVolume(std::clamp(volume, 0.0, 1.0));
}

void AudioOutput::updateTimer()
{
    const bool busy = !m_paused && (m_taken < m_appended || !m_marks.empty());
    if (busy && !m_timer.isActive()) {
        m_lastTick = m_now();
        m_carry = 0;
        m_timer.start();
    } else if (!busy && m_timer.isActive()) {
        m_timer.stop();
    }
}

qint64 AudioOutput::playedPosition() const
{
    if (!m_sink)
        return m_taken;
    const qint64 inDevice = std::max<qint64>(0, m_sink->bufferSize() - m_sink->bytesFree());
    return std::max<qint64>(0, m_taken - inDevice);
}

QByteArray AudioOutput::take(qint64 maxBytes)
{
    maxBytes -= maxBytes % BytesPerSample;
    const qint64 n = std::min<qint64>(maxBytes, m_queue.size() - m_queueOffset);
    if (n <= 0)
        return {};
    QByteArray out = m_queue.mid(m_queueOffset, n);
    m_queueOffset += n;
    m_queued -= n;
    m_taken += n;
    // Drop the played front now and then rather than on every tick.
    if (m_queueOffset > (1 << 20) || m_queueOffset == m_queue.size()) {
        m_queue.remove(0, m_queueOffset);
        m_queueOffset = 0;
    }
    return out;
}

void AudioOutput::tick()
{
    if (m_paused)
        return;
    QByteArray played;
    if (m_sink) {
        const qint64 room = m_sink->bytesFree();
        played = take(room);
        if (!played.isEmpty() && m_sinkDevice)
            m_sinkDevice->write(played);
        // The pace a device should keep, as the null output keeps it: what the device
        // says it played may stall, this never does.
        const qint64 ns = sinceLastTick();
        m_paced = std::min(m_appended,
                           m_paced + qint64(double(ns) * m_sampleRate * BytesPerSample / 1e9));
    } else {
        // The null output's clock: what a device would have played since the last tick.
        const qint64 ns = sinceLastTick();
        m_carry += double(ns) * m_sampleRate * BytesPerSample / 1e9;
        const qint64 due = qint64(m_carry);
        played = take(due);
        m_carry -= double(due);
        // Audio that has not arrived yet is not owed: an empty queue stops the clock.
        if (m_taken == m_appended)
            m_carry = 0;
    }
    reportLevel(played);

    // Emitting may run a handler that speaks or resets, so the mark is removed first and
    // the loop re-reads the marks and the position each time.
    // The front mark is due once the pace reaches it; a device that has not played up to it
    // a while later is stalled, and the text counts as played all the same.
    const auto reached = [&](qint64 position) {
        if (position <= playedPosition())
            return true;
        if (!m_sink || m_paced < position)
            return false;
        if (m_dueSince < 0)
            m_dueSince = m_lastTick;
        return m_lastTick - m_dueSince >= StallSlackNanoseconds;
    };
    // A word is reached once what was played (or, with a device, the pace) passes it.
    while (!m_words.empty() && (m_words.front().position <= playedPosition() ||
                                (m_sink && m_words.front().position <= m_paced))) {
        const WordMark w = m_words.front();
        m_words.pop_front();
        Q_EMIT wordReached(w.utterance, w.begin, w.end);
    }
    while (!m_marks.empty() && reached(m_marks.front().position)) {
        const quint64 utterance = m_marks.front().utterance;
        m_marks.pop_front();
        m_dueSince = -1;
        Q_EMIT utteranceFinished(utterance);
    }
    updateTimer();
    if (!m_timer.isActive() && m_level != 0) {
        m_level = 0;
        Q_EMIT levelChanged(0);
    }
}

void AudioOutput::reportLevel(const QByteArray &pcm)
{
    if (pcm.isEmpty())
        return;
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype count = pcm.size() / BytesPerSample;
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    // Speech peaks well below full scale; three times the RMS opens the mouth fully.
    const double level = std::min(1.0, 3.0 * std::sqrt(sum / double(count)) / 32768.0);
    if (std::abs(level - m_level) > 0.01) {
        m_level = level;
        Q_EMIT levelChanged(level);
    }
}

} // namespace speech
