// The reading engine on long text: every format, on kanji without a blank (one line the
// lattice has to cut into pieces) and on a line of 100 000 ruby marks, at three sizes, so
// that the growth from 256 KB to 1 MB shows whether the work stays linear.

#include "reading/ReadingEngine.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

// Kanji prose without blanks or marks: the worst case for a word lattice.
QString kanjiText(qsizetype bytes)
{
    const QString words =
        QStringLiteral("春夏秋冬山川草木日月星辰風花雪月天地人心海原旅路古寺鐘声");
    QString text;
    const qsizetype characters = bytes / 3; // UTF-8 takes three bytes a kanji
    while (text.size() < characters)
        text += words;
    return text.left(characters);
}

const reading::ReadingEngine &engine()
{
    static const reading::ReadingEngine e;
    return e;
}

enum Format { Kana, Romaji, Ruby, Mora };

void run(benchmark::State &state, const QString &text, Format format)
{
    for (auto _ : state) {
        switch (format) {
        case Kana:
            benchmark::DoNotOptimize(engine().kana(text));
            break;
        case Romaji:
            benchmark::DoNotOptimize(engine().romaji(text));
            break;
        case Ruby:
            benchmark::DoNotOptimize(engine().withRuby(text));
            break;
        case Mora:
            benchmark::DoNotOptimize(engine().meter(text));
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}

void BM_Kanji(benchmark::State &state, Format format)
{
    run(state, kanjiText(state.range(0)), format);
}

// 100 000 ｜ with nothing to open: ruby notation the parser must pass over.
void BM_Bars(benchmark::State &state, Format format)
{
    QString text;
    for (int i = 0; i < 100000; ++i)
        text += i % 2 ? QStringLiteral("｜") : QStringLiteral("｜春");
    run(state, text, format);
}

} // namespace

#define SIZES                                                                                      \
    ->Arg(16 * 1024)                                                                               \
        ->Arg(256 * 1024)                                                                          \
        ->Arg(1024 * 1024)                                                                         \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(1)
BENCHMARK_CAPTURE(BM_Kanji, kana, Kana) SIZES;
BENCHMARK_CAPTURE(BM_Kanji, romaji, Romaji) SIZES;
BENCHMARK_CAPTURE(BM_Kanji, ruby, Ruby) SIZES;
BENCHMARK_CAPTURE(BM_Kanji, mora, Mora) SIZES;
BENCHMARK_CAPTURE(BM_Bars, kana, Kana)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Bars, mora, Mora)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Bars, ruby, Ruby)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
