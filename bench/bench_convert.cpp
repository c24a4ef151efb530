#include "text/LargeTextMemory.h"
// The conversions and Replace All over a plain string, as kotonami-tool runs them. Sizes
// are in millions of characters (2^20): 1 M kana is 2 MB of code page 932 text.
#include "convert/ConversionTables.h"
#include "convert/Conversions.h"
#include "convert/ReplaceEngine.h"
#include "convert/TextTarget.h"

#include <benchmark/benchmark.h>

namespace {

// Tanka-length lines of kana cut from the syllabary, so every row of a table has work.
QString kanaText(qsizetype megaChars, char16_t first, char16_t last)
{
    const qsizetype size = megaChars << 20;
    QString out;
    out.reserve(size);
    char16_t c = first;
    while (out.size() < size) {
        for (int i = 0; i < 31 && out.size() < size; ++i) {
            out += QChar(c);
            c = c == last ? first : char16_t(c + 1);
        }
        out += u'\n';
    }
    out.truncate(size);
    return out;
}

const QString &hiragana(qsizetype mega)
{
    static QString cache[17];
    if (cache[mega].isEmpty())
        cache[mega] = kanaText(mega, u'ぁ', u'ん');
    return cache[mega];
}

const QString &katakana(qsizetype mega)
{
    static QString cache[17];
    if (cache[mega].isEmpty())
        cache[mega] = kanaText(mega, u'ァ', u'ヶ');
    return cache[mega];
}

template <void (*Convert)(convert::ReplaceEngine &, convert::TextTarget &)>
void runConversion(benchmark::State &state, const QString &text)
{
    convert::ReplaceEngine engine;
    for (auto _ : state) {
        convert::StringTarget target(text);
        Convert(engine, target);
        benchmark::DoNotOptimize(target.text().constData());
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}

void manyogana(convert::ReplaceEngine &e, convert::TextTarget &t)
{
    convert::convertToManyogana(e, t);
}

void BM_Manyogana(benchmark::State &state)
{
    runConversion<&manyogana>(state, hiragana(state.range(0)));
}

void BM_KatakanaToHiragana(benchmark::State &state)
{
    runConversion<&convert::convertKatakanaToHiragana>(state, katakana(state.range(0)));
}

void BM_KatakanaToKanji(benchmark::State &state)
{
    runConversion<&convert::convertKatakanaToKanji>(state, katakana(state.range(0)));
}

void BM_HiraganaToKatakana(benchmark::State &state)
{
    runConversion<&convert::convertHiraganaToKatakana>(state, hiragana(state.range(0)));
}

// Every row of a table one by one, as the window's fallback path would: 84 passes.
void BM_ManyoganaRowByRow(benchmark::State &state)
{
    const QString &text = hiragana(state.range(0));
    convert::ReplaceEngine engine;
    for (auto _ : state) {
        convert::StringTarget target(text);
        engine.runTableRowByRow(target, convert::manyoganaTable());
        benchmark::DoNotOptimize(target.text().constData());
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}

// Replace All of one character (one pass), and of two characters by one (the
// restart-equivalent pass, which reads the text a character at a time).
void BM_ReplaceAllOneCharacter(benchmark::State &state)
{
    const QString &text = hiragana(state.range(0));
    convert::ReplaceEngine engine;
    for (auto _ : state) {
        convert::StringTarget target(text);
        engine.DoReplaceAll2(target, QStringLiteral("の"), QStringLiteral("ノ"));
        benchmark::DoNotOptimize(target.text().constData());
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}

void BM_ReplaceAllTwoByOne(benchmark::State &state)
{
    const QString &text = hiragana(state.range(0));
    convert::ReplaceEngine engine;
    for (auto _ : state) {
        convert::StringTarget target(text);
        engine.DoReplaceAll2(target, QStringLiteral("はば"), QStringLiteral("花"));
        benchmark::DoNotOptimize(target.text().constData());
    }
    state.SetItemsProcessed(state.iterations() * text.size());
}

} // namespace

BENCHMARK(BM_Manyogana)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KatakanaToHiragana)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KatakanaToKanji)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HiraganaToKatakana)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyoganaRowByRow)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllOneCharacter)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllTwoByOne)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // As the programs do at start.
    text::keepLargeBlocksInTheHeap();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
