// Throughput of the text helpers on document-sized input. Figures only: files of tens of
// megabytes should open and save in about a second, so anything well above 20 MB/s holds.

#include "text/Cp932Codec.h"
#include "text/FileEncoding.h"
#include "text/RecoveryStore.h"
#include "text/TextMetrics.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <memory>
#include <random>

namespace {

constexpr qsizetype kTargetBytes = 10 * 1024 * 1024;

// Lines of poetry-like text: kanji and kana with some ASCII, half-width katakana and
// Windows-only symbols, CR LF line ends, the mix of a real document.
QString mixedText()
{
    static const QString pieces[] = {
        QString::fromUtf8("春はあけぼの。"),
        QString::fromUtf8("やうやう白くなりゆく山ぎは、"),
        QString::fromUtf8("少しあかりて、"),
        QStringLiteral("Kotonami 0.1 "),
        QString::fromUtf8("紫だちたる雲の細くたなびきたる。"),
        QString::fromUtf8("ｶﾀｶﾅ "),
        QString::fromUtf8("～―∥①ⅰ纊"),
        QStringLiteral("(1234) "),
    };
    std::mt19937 rng(10);
    std::uniform_int_distribution<int> piece(0, int(std::size(pieces)) - 1);
    std::uniform_int_distribution<int> lineLength(1, 6);
    QString text;
    text.reserve(kTargetBytes / 2 + 1024);
    while (text.size() < kTargetBytes / 2) {
        for (int i = lineLength(rng); i > 0; --i)
            text += pieces[piece(rng)];
        text += QStringLiteral("\r\n");
    }
    return text;
}

const QString &sampleText()
{
    static const QString text = mixedText();
    return text;
}

const QByteArray &sampleCp932()
{
    static const QByteArray bytes = text::encodeCp932(sampleText()).bytes;
    return bytes;
}

const QByteArray &sampleUtf8()
{
    static const QByteArray bytes = sampleText().toUtf8();
    return bytes;
}

void decodeCp932(benchmark::State &state)
{
    const QByteArray &bytes = sampleCp932();
    for (auto _ : state)
        benchmark::DoNotOptimize(text::decodeCp932(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(decodeCp932)->Unit(benchmark::kMillisecond);

// The same bytes through ICU's own converter, without the lossless handling, to show what
// the lookup tables gain.
void decodeCp932WithIcuConverter(benchmark::State &state)
{
    const QByteArray &bytes = sampleCp932();
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> cnv(ucnv_open("windows-31j", &status),
                                                           &ucnv_close);
    QString out(bytes.size(), Qt::Uninitialized);
    for (auto _ : state) {
        status = U_ZERO_ERROR;
        ucnv_reset(cnv.get());
        benchmark::DoNotOptimize(ucnv_toUChars(cnv.get(), reinterpret_cast<UChar *>(out.data()),
                                               int32_t(out.size()), bytes.data(),
                                               int32_t(bytes.size()), &status));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(decodeCp932WithIcuConverter)->Unit(benchmark::kMillisecond);

void encodeCp932(benchmark::State &state)
{
    const QString &textIn = sampleText();
    for (auto _ : state)
        benchmark::DoNotOptimize(text::encodeCp932(textIn));
    state.SetBytesProcessed(state.iterations() * sampleCp932().size());
}
BENCHMARK(encodeCp932)->Unit(benchmark::kMillisecond);

void cp932ByteLength(benchmark::State &state)
{
    const QString &textIn = sampleText();
    for (auto _ : state)
        benchmark::DoNotOptimize(text::cp932ByteLength(textIn));
    state.SetBytesProcessed(state.iterations() * sampleCp932().size());
}
BENCHMARK(cp932ByteLength)->Unit(benchmark::kMillisecond);

// A code page 932 file fails UTF-8 validation within its first bytes; a UTF-8 file has to
// be read to the end, which is the case that costs.
void detectEncodingCp932(benchmark::State &state)
{
    const QByteArray &bytes = sampleCp932();
    for (auto _ : state)
        benchmark::DoNotOptimize(text::detectEncoding(bytes));
    // No bytes processed: detection stops at the first byte that is not UTF-8.
}
BENCHMARK(detectEncodingCp932)->Unit(benchmark::kMillisecond);

void detectEncodingUtf8(benchmark::State &state)
{
    const QByteArray &bytes = sampleUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(text::detectEncoding(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(detectEncodingUtf8)->Unit(benchmark::kMillisecond);

void detectEncodingAscii(benchmark::State &state)
{
    const QByteArray bytes(kTargetBytes, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(text::detectEncoding(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(detectEncodingAscii)->Unit(benchmark::kMillisecond);

void splitLines(benchmark::State &state)
{
    const QString &textIn = sampleText();
    qsizetype lines = 0;
    for (auto _ : state) {
        const QStringList result = text::splitLines(textIn);
        lines = result.size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = double(lines);
    state.SetBytesProcessed(state.iterations() * textIn.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(splitLines)->Unit(benchmark::kMillisecond);

// The recovery copy of an unsaved text, written while the poet types: escaped, encoded and
// written safely (fsync included), ten megabytes of UTF-16 a time.
void recoveryCopy(benchmark::State &state)
{
    const QString &textIn = sampleText();
    QTemporaryDir dir;
    text::RecoveryStore store(dir.path());
    for (auto _ : state) {
        const bool written = store.save(QStringLiteral("right"), QStringLiteral("/tmp/a.txt"),
                                        textIn, text::DocumentFormat());
        benchmark::DoNotOptimize(written);
    }
    store.finish();
    state.SetBytesProcessed(state.iterations() * textIn.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(recoveryCopy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
