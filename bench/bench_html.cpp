// The long-text page over large texts: the figure to quote is the 100 000-line run; the
// range shows that the time grows linearly with the number of lines.

#include "html/PageGenerator.h"

#include <benchmark/benchmark.h>

namespace {

QStringList longText(int lines)
{
    // Rows of 20 characters with punctuation, brackets, dashes, a long vowel and now and
    // then a blank row, so every replacement row has work to do.
    const QStringList pattern{QStringLiteral("「朝の窓、」しろく光る――。雨ーの音…（風）"),
                              QStringLiteral("ひとり待つ《雨》の夜、遠き海へと白き鳥来て"),
                              QString(),
                              QStringLiteral("山：川～空［鳴く］〔遠く〕―＜ひとり＞『鳥』")};
    QStringList rows;
    rows.reserve(lines);
    for (int i = 0; i < lines; ++i)
        rows.append(pattern[i % pattern.size()]);
    return rows;
}

void longTextPage(benchmark::State &state, bool symbols)
{
    const QStringList rows = longText(int(state.range(0)));
    html::HtmlStyle style;
    style.boxes[html::Symbols] = symbols;
    style.boxes[html::BlankAsText] = !symbols;
    style.boxes[html::PadTo30] = true;
    qsizetype size = 0;
    for (auto _ : state) {
        const html::HtmlPage page = html::longTextPage(rows, style);
        size = page.lines.size();
        benchmark::DoNotOptimize(size);
    }
    state.counters["page_lines"] = double(size);
    state.SetComplexityN(state.range(0));
}

void BM_LongTextPageSymbols(benchmark::State &state)
{
    longTextPage(state, true);
}

void BM_LongTextPageBlanks(benchmark::State &state)
{
    longTextPage(state, false);
}

void BM_VerticalPage30(benchmark::State &state)
{
    const QStringList rows = longText(30);
    html::HtmlStyle style;
    style.boxes[html::Symbols] = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(html::verticalPage(rows, style).lines.size());
}

} // namespace

BENCHMARK(BM_LongTextPageSymbols)
    ->RangeMultiplier(2)
    ->Range(12500, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_LongTextPageBlanks)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerticalPage30)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
