#include "speech/EspeakBackend.h"

#include "speech/EspeakEngine.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace speech {

namespace {

// Audio is handed to the GUI thread in lumps of at least this many milliseconds, except
// the first lump of a text, which goes as soon as it exists.
constexpr int LumpMilliseconds = 250;
// The synthesis runs far ahead of the voice (a thousand times real time): it waits while
// this much audio is made and not yet played, so a long text read aloud keeps a minute
// of audio in memory, not all of it (a megabyte of text is days of speech).
constexpr int AheadSeconds = 60;

} // namespace

EspeakDirectSS::EspeakDirectSS(QObject *parent, AudioOutput::Kind output)
    : TDirectSS(parent), m_droppedUpTo(std::make_shared<std::atomic<quint64>>(0))
{
    EspeakEngine &engine = EspeakEngine::instance();
    m_voices = engine.availableVoices();
    m_audio = new AudioOutput(engine.sampleRate(), output, this);
    const QString logPath = qEnvironmentVariable("KOTONAMI_SPEECH_LOG");
    if (!logPath.isEmpty()) {
        m_log = std::make_unique<QFile>(logPath);
        if (!m_log->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            m_log.reset();
    }
    connect(m_audio, &AudioOutput::wordReached, this,
            [this](quint64 utterance, int begin, int end) {
                if (!isDropped(utterance))
                    Q_EMIT wordSpoken(begin, end);
            });
    connect(m_audio, &AudioOutput::utteranceFinished, this, [this](quint64 utterance) {
        if (!isDropped(utterance)) {
            log(QStringLiteral("done"));
            Q_EMIT OnTextDataDone();
        }
    });
    connect(m_audio, &AudioOutput::levelChanged, this, &TDirectSS::outputLevelChanged);

    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("speech synthesis"));
    m_thread.start();
}

EspeakDirectSS::~EspeakDirectSS()
{
    m_droppedUpTo->store(m_lastUtterance);
    EspeakEngine::instance().interruptHtsVoices();
    m_thread.quit();
    m_thread.wait();
}

int EspeakDirectSS::GetModeCount() const
{
    return int(m_voices.size());
}

QString EspeakDirectSS::GetModeName(int mode) const
{
    if (mode < 1 || mode > GetModeCount())
        return {};
    return QString::fromLatin1(voiceModeTable()[m_voices[mode - 1]].modeName);
}

QString EspeakDirectSS::GetSpeakerName(int mode) const
{
    if (mode < 1 || mode > GetModeCount())
        return {};
    return QString::fromLatin1(voiceModeTable()[m_voices[mode - 1]].speakerName);
}

void EspeakDirectSS::SelectMode(int mode)
{
    if (mode >= 1 && mode <= GetModeCount())
        m_mode = mode;
}

void EspeakDirectSS::log(const QString &line)
{
    if (!m_log)
        return;
    m_log->write(line.toUtf8() + '\n');
    m_log->flush();
}

void EspeakDirectSS::SpeakText(const QString &text)
{
    log(QStringLiteral("speak ") + QString(text).replace(u'\n', QStringLiteral("\\n")));
    const quint64 utterance = ++m_lastUtterance;
    const int voice = GetModeCount() > 0 ? m_voices[m_mode - 1] : -1;
    if (!m_fallbackNoticed && usesHtsVoices()) {
        const QString speaker = EspeakEngine::instance().speakerWithoutHtsVoice(voice);
        if (!speaker.isEmpty()) {
            m_fallbackNoticed = true;
            Q_EMIT noticed(
                QStringLiteral("%1の声が見つからないため、espeak-ng で読み上げます").arg(speaker));
        }
    }
    if (m_log && voice >= 0)
        log(QStringLiteral("voice ") +
            EspeakEngine::instance().voiceInput(text, voice).replace(u'\n', QStringLiteral("\\n")));
    const int rate = m_speed;
    const bool recite = recites();
    const bool opening = opensWithJoka();
    const int lumpBytes = m_audio->sampleRate() * 2 * LumpMilliseconds / 1000;
    const qint64 aheadBytes = qint64(m_audio->sampleRate()) * 2 * AheadSeconds;
    const std::shared_ptr<std::atomic<quint64>> dropped = m_droppedUpTo;

    // Runs on the worker thread; what it makes goes back to this object on the GUI
    // thread, in order. A queued call to a deleted object is discarded by Qt, and the
    // destructor waits for the worker, so nothing reaches a dead object.
    // (The output outlives the worker, whose waits end once the text is dropped.)
    QMetaObject::invokeMethod(m_worker, [this, text, utterance, voice, rate, recite, opening,
                                         lumpBytes, aheadBytes, dropped] {
        const auto alive = [&] { return utterance > dropped->load(); };
        QByteArray lump;
        bool first = true;
        const auto flush = [&] {
            if (lump.isEmpty())
                return;
            while (alive() && !m_unthrottled.load() &&
                   m_inFlight.load() + m_audio->queuedBytes() > aheadBytes)
                QThread::msleep(20);
            m_inFlight += lump.size();
            QMetaObject::invokeMethod(
                this,
                [this, utterance, pcm = lump] {
                    m_inFlight -= pcm.size();
                    if (!isDropped(utterance))
                        m_audio->append(utterance, pcm);
                },
                Qt::QueuedConnection);
            lump.clear();
            first = false;
        };
        if (voice >= 0) {
            const EspeakEngine::ChunkSink sink = [&](const QByteArray &pcm) {
                if (!alive())
                    return false;
                lump.append(pcm);
                if (first || lump.size() >= lumpBytes)
                    flush();
                return true;
            };
            // Recited by an HTS voice, or else read a piece at a time.
            const bool recited =
                recite && EspeakEngine::instance().recite(text, voice, rate, sink, opening);
            bool firstPiece = true;
            qsizetype pieceStart = 0;
            for (const QString &piece : recited ? QStringList() : splitIntoPieces(text)) {
                if (!alive())
                    break;
                // Each word's place goes to the output between the audio before it and its
                // own, so that the output tells when it is heard.
                const EspeakEngine::WordSink word = [&](qsizetype begin, qsizetype end) {
                    flush();
                    QMetaObject::invokeMethod(
                        this,
                        [this, utterance, from = int(pieceStart + begin),
                         to = int(pieceStart + end)] {
                            if (!isDropped(utterance))
                                m_audio->markWord(utterance, from, to);
                        },
                        Qt::QueuedConnection);
                };
                EspeakEngine::instance().synthesize(piece, voice, rate, sink, firstPiece, word);
                firstPiece = false;
                pieceStart += piece.size();
            }
            flush();
        }
        QMetaObject::invokeMethod(
            this,
            [this, utterance] {
                if (!isDropped(utterance))
                    m_audio->finish(utterance);
            },
            Qt::QueuedConnection);
    });
}

void EspeakDirectSS::waitUntilSynthesised()
{
    // The worker runs its calls in order: when this empty one has run, every text before it
    // has been made, and what it sent back is queued here. (Nothing plays meanwhile, so the
    // synthesis does not wait for the voice to catch up.)
    m_unthrottled = true;
    QMetaObject::invokeMethod(
        m_worker, [] {}, Qt::BlockingQueuedConnection);
    m_unthrottled = false;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void EspeakDirectSS::ResetAudio()
{
    log(QStringLiteral("reset"));
    m_droppedUpTo->store(m_lastUtterance);
    EspeakEngine::instance().interruptHtsVoices();
    m_audio->clear();
}

void EspeakDirectSS::PauseAudio()
{
    m_audio->pause();
}

void EspeakDirectSS::ResumeAudio()
{
    m_audio->resume();
}

void EspeakDirectSS::setSpeed(int wordsPerMinute)
{
    m_speed = wordsPerMinute;
}

void EspeakDirectSS::setHtsVoices(bool on)
{
    TDirectSS::setHtsVoices(on);
    EspeakEngine::instance().setHtsVoicesEnabled(on);
    m_fallbackNoticed = false;
}

void EspeakDirectSS::setOutputVolume(double volume)
{
    m_audio->setVolume(volume);
}

} // namespace speech
