// Reading aloud: how soon the first audio of a long text exists, how fast the synthesiser
// runs against the time its audio takes to play, and the memory a long reading holds.
// Naoko and Kenji speak through their HTS voices when these are installed.

#include "speech/EspeakBackend.h"
#include "speech/EspeakEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

// About 10 000 characters of ordinary Japanese prose with kanji, punctuation and lines.
QString longJapaneseText()
{
    const QString paragraph =
        QStringLiteral("朝早く川べりを歩くと、霧の向こうから鳥の声が聞こえてくる。"
                       "橋の上で立ち止まり、流れる水の音にしばらく耳を澄ませた。\n");
    QString text;
    while (text.size() < 10000)
        text += paragraph;
    return text.left(10000);
}

int voiceOf(const char *speaker)
{
    for (int v : speech::EspeakEngine::instance().availableVoices()) {
        if (qstrcmp(speech::voiceModeTable()[v].speakerName, speaker) == 0)
            return v;
    }
    return -1;
}

// From SpeakText to the first audio reaching the output, through MeCab, the worker thread
// and the queued hand-over, for a 10 000-character text.
void BM_TimeToFirstAudio(benchmark::State &state)
{
    speech::EspeakDirectSS ss(nullptr, speech::AudioOutput::Kind::Null);
    const QString text = longJapaneseText();
    double totalMs = 0;
    for (auto _ : state) {
        const qint64 before = ss.audioBytesReceived();
        QElapsedTimer clock;
        clock.start();
        ss.SpeakText(text);
        while (ss.audioBytesReceived() == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        totalMs += ms;
        state.SetIterationTime(ms / 1000);
        state.PauseTiming();
        ss.ResetAudio();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["first_audio_ms"] = totalMs / double(state.iterations());
}
BENCHMARK(BM_TimeToFirstAudio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// From SpeakText to its completion on the paced null output, against the length of the
// audio: a reading should last as long as it sounds (pace_ratio near 1), and a pause should
// lengthen it by the pause (pause_added_ms near the 800 ms paused).
void BM_PlaybackPace(benchmark::State &state)
{
    speech::EspeakDirectSS ss(nullptr, speech::AudioOutput::Kind::Null);
    ss.setSpeed(400);
    const QString text = QStringLiteral("しずかなよるに、つきがのぼる。");
    int done = 0;
    QObject::connect(&ss, &speech::TDirectSS::OnTextDataDone, [&done] { ++done; });
    const auto readOnce = [&](int pauseMs) {
        const int before = done;
        const qint64 bytes = ss.audioBytesReceived();
        QElapsedTimer clock;
        clock.start();
        ss.SpeakText(text);
        if (pauseMs > 0) {
            while (clock.elapsed() < 150)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            ss.PauseAudio();
            QElapsedTimer paused;
            paused.start();
            while (paused.elapsed() < pauseMs)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            ss.ResumeAudio();
        }
        while (done == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double audioMs =
            double(ss.audioBytesReceived() - bytes) * 1000 / (2.0 * ss.sampleRate());
        return std::pair{double(clock.elapsed()), audioMs};
    };
    double ratio = 0, added = 0;
    for (auto _ : state) {
        const auto [plainMs, audioMs] = readOnce(0);
        const auto [pausedMs, unused] = readOnce(800);
        ratio += plainMs / audioMs;
        added += pausedMs - plainMs;
    }
    state.counters["pace_ratio"] = ratio / double(state.iterations());
    state.counters["pause_added_ms"] = added / double(state.iterations());
}
BENCHMARK(BM_PlaybackPace)->Unit(benchmark::kMillisecond)->Iterations(2);

// Seconds of audio made per second of synthesis, Japanese (with MeCab) and English.
void BM_SynthesisSpeed(benchmark::State &state, const char *speaker, QString text)
{
    const int voice = voiceOf(speaker);
    if (voice < 0) {
        state.SkipWithError("voice not installed");
        return;
    }
    qint64 bytes = 0;
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        for (const QString &piece : speech::splitIntoPieces(text)) {
            speech::EspeakEngine::instance().synthesize(piece, voice, 150,
                                                        [&](const QByteArray &pcm) {
                                                            bytes += pcm.size();
                                                            return true;
                                                        });
        }
        seconds += double(clock.nsecsElapsed()) / 1e9;
    }
    const double audioSeconds =
        double(bytes) / (2.0 * speech::EspeakEngine::instance().sampleRate());
    state.counters["audio_s_per_iter"] = audioSeconds / double(state.iterations());
    state.counters["x_real_time"] = audioSeconds / seconds;
}
BENCHMARK_CAPTURE(BM_SynthesisSpeed, japanese, "Naoko", longJapaneseText().left(1000))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_SynthesisSpeed, japanese_kenji, "Kenji", longJapaneseText().left(1000))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_SynthesisSpeed, english, "Mary",
                  QStringLiteral("The quick brown fox jumps over the lazy dog. ").repeated(20))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Memory while reading 1 MB of text aloud: the text is made into audio only a minute ahead
// of the voice, so what the reading holds stays small whatever the text's length.
void BM_MemoryWhileReading(benchmark::State &state)
{
    speech::EspeakDirectSS ss(nullptr, speech::AudioOutput::Kind::Null);
    QString text;
    while (text.size() < 512 * 1024) // 1 MB of UTF-16
        text += longJapaneseText();
    long before = 0;
    long peak = 0;
    for (auto _ : state) {
        before = residentKilobytes();
        ss.SpeakText(text);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            peak = std::max(peak, residentKilobytes());
        }
        ss.ResetAudio();
        QCoreApplication::processEvents();
    }
    state.counters["resident_mb"] = double(peak) / 1024;
    state.counters["added_mb"] = double(peak - before) / 1024;
}
BENCHMARK(BM_MemoryWhileReading)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
