// String colouring on a pane-sized document: every occurrence found in one pass over the
// text and coloured in one edit block, so the time grows with the text, not with the
// number of occurrences times the text.
#include "tools/StringColoring.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

// About bytes / 2 characters (the size counted as code page 932, two bytes each) holding
// the string 秋 `occurrences` times, spread over lines of 40 characters.
QString poemPane(qsizetype bytes, int occurrences)
{
    const qsizetype chars = bytes / 2;
    const qsizetype gap = chars / occurrences;
    QString s;
    s.reserve(chars + chars / 40);
    const QString filler =
        QStringLiteral("はるがすみたつやおそきと山がはの岩間をくくるおと聞こゆなり");
    for (qsizetype i = 0; i < chars; ++i) {
        if (i % gap == 0 && i / gap < occurrences)
            s += u'秋';
        else
            s += filler[i % filler.size()];
        if (i % 40 == 39)
            s += u'\n';
    }
    return s;
}

void BM_ColorAllMatches(benchmark::State &state)
{
    const qsizetype bytes = state.range(0);
    const int occurrences = int(state.range(1));
    const QString text = poemPane(bytes, occurrences);
    QTextDocument doc;
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc.setPlainText(text);
        QTextCursor cursor(&doc);
        state.ResumeTiming();
        found = tools::ColorAllMatches(cursor, QStringLiteral("秋"), QColor(194, 72, 37), QColor())
                    .value_or(-1);
    }
    state.counters["occurrences"] = found;
    state.SetComplexityN(bytes);
}
BENCHMARK(BM_ColorAllMatches)
    ->Args({1 << 20, 25000})
    ->Args({2 << 20, 50000})
    ->Args({4 << 20, 100000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Complexity(benchmark::oN);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
