// Reading aloud: how soon the first audio of a long text exists, and how fast the
// synthesiser runs against the time its audio takes to play.

#include "speech/EspeakBackend.h"
#include "speech/EspeakEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>

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
BENCHMARK_CAPTURE(BM_SynthesisSpeed, english, "Mary",
                  QStringLiteral("The quick brown fox jumps over the lazy dog. ").repeated(20))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
