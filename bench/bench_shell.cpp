// Figures for the main window and the panes: building the window (the start-up cost
// before the first paint), loading a large text into a pane, and the undo memory's
// snapshot of a large pane. Offscreen, so no display is needed.
#include "GuiBenchMain.h"
#include "convert/Conversions.h"
#include "editor/PaneTextTarget.h"
#include "editor/RichEditSx.h"
#include "editor/VerticalTextView.h"
#include "search/FindReplace.h"
#include "shell/FontNames.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"
#include "text/DocumentFile.h"
#include "text/LargeTextMemory.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextCursor>

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

QString poemText(int lines)
{
    QStringList out;
    for (int i = 0; i < lines; ++i)
        out << QStringLiteral("春過ぎて夏来にけらし白妙の衣ほすてふ天の香具山 %1").arg(i);
    return out.join(QLatin1Char('\n'));
}

void BM_BuildMainWindow(benchmark::State &state)
{
    shell::QtUiServices ui;
    for (auto _ : state) {
        shell::TMainForm1 w(ui, QStringLiteral("/tmp/kotonami"));
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(&w);
    }
}
BENCHMARK(BM_BuildMainWindow)->Unit(benchmark::kMillisecond);

void BM_PaneSetText(benchmark::State &state)
{
    const QString text = poemText(int(state.range(0)));
    editor::TRichEditSx pane;
    pane.resize(600, 400);
    for (auto _ : state) {
        pane.setText(text);
        benchmark::DoNotOptimize(pane.rowCount());
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_PaneSetText)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_UndoSnapshotOfLargePane(benchmark::State &state)
{
    editor::TRichEditSx pane;
    pane.resize(600, 400);
    pane.setText(poemText(20000));
    int i = 0;
    for (auto _ : state) {
        // A character typed, then a paste: the paste stores a step, the cost of one
        // recorded step.
        pane.setSelection(i++ % 100, 0);
        QTextCursor(pane.document()).insertText(QStringLiteral("あ"));
        pane.recordAction(editor::ActionPaste);
    }
}
BENCHMARK(BM_UndoSnapshotOfLargePane)->Unit(benchmark::kMillisecond);

// A 10 MB text: 200 000 lines of a waka with its number, in a vertical pane.
struct LargeVerticalPane
{
    editor::TRichEditSx pane;
    LargeVerticalPane()
    {
        QFont f(QStringLiteral("ＭＳ 明朝"));
        f.setPixelSize(18);
        pane.setPaneFont(f);
        pane.resize(780, 400);
        pane.setVertical(true);
        pane.show();
        pane.setText(poemText(200000));
        QApplication::processEvents();
    }
};

LargeVerticalPane &largePane()
{
    // Kept until the process ends: widgets must not outlive the application object.
    static auto *p = new LargeVerticalPane;
    return *p;
}

void BM_VerticalCountRows(benchmark::State &state)
{
    auto &p = largePane();
    auto &layout = p.pane.verticalView()->layout();
    for (auto _ : state) {
        layout.invalidate();
        benchmark::DoNotOptimize(layout.columnCount());
    }
    state.counters["rows"] = layout.columnCount();
    state.counters["MB"] = double(p.pane.document()->characterCount()) * 2 / 1e6;
}
BENCHMARK(BM_VerticalCountRows)->Unit(benchmark::kMillisecond);

void BM_VerticalCountRowsCached(benchmark::State &state)
{
    auto &layout = largePane().pane.verticalView()->layout();
    layout.columnCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(largePane().pane.rowCount());
}
BENCHMARK(BM_VerticalCountRowsCached)->Unit(benchmark::kMillisecond);

void BM_VerticalPaintScreen(benchmark::State &state)
{
    auto &p = largePane();
    auto *view = p.pane.verticalView();
    p.pane.setSelection(p.pane.document()->characterCount() / 2, 0);
    view->ensureCaretVisible();
    QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        view->viewport()->render(&image);
    }
}
BENCHMARK(BM_VerticalPaintScreen)->Unit(benchmark::kMillisecond);

void BM_VerticalKeystrokeInTheMiddle(benchmark::State &state)
{
    // One typed character in the middle of the text and the repaint of the screen.
    auto &p = largePane();
    auto *view = p.pane.verticalView();
    p.pane.setSelection(p.pane.document()->characterCount() / 2, 0);
    view->ensureCaretVisible();
    QImage image(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QTest::keyClick(view, Qt::Key_A);
        p.pane.rowCount();
        view->viewport()->render(&image);
    }
}
BENCHMARK(BM_VerticalKeystrokeInTheMiddle)->Unit(benchmark::kMillisecond);

void BM_VerticalOpenLargeText(benchmark::State &state)
{
    // Loading 10 MB into a vertical pane, all of it (the row count asks for all), and
    // showing its first screen.
    const QString text = poemText(200000);
    editor::TRichEditSx pane;
    pane.resize(780, 400);
    pane.setVertical(true);
    pane.show();
    QImage image(pane.verticalView()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        pane.setText(text);
        pane.rowCount();
        pane.verticalView()->viewport()->render(&image);
    }
}
BENCHMARK(BM_VerticalOpenLargeText)->Unit(benchmark::kMillisecond)->Iterations(2);

// The Man'yogana conversion of a left pane holding N MB (2^20 characters each) of hiragana
// poems, through the pane's own text target: one edit block per conversion.
void BM_ManyoganaInPane(benchmark::State &state)
{
    const QString line =
        QStringLiteral("はるすぎてなつきにけらししろたへのころもほすてふあまのかぐやま");
    const qsizetype chars = state.range(0) << 20;
    QStringList lines;
    for (qsizetype n = 0; n < chars; n += line.size() + 1)
        lines << line;
    const QString text = lines.join(QLatin1Char('\n'));
    editor::TRichEditSx pane;
    pane.resize(400, 400);
    pane.setVertical(true);
    pane.show();
    convert::ReplaceEngine engine;
    engine.setSeed(1);
    for (auto _ : state) {
        state.PauseTiming();
        pane.setText(text);
        state.ResumeTiming();
        editor::PaneTextTarget target(&pane);
        benchmark::DoNotOptimize(convert::convertToManyogana(engine, target).characters);
    }
}
BENCHMARK(BM_ManyoganaInPane)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(2);

// Replace All in a shown pane of N occurrences of の (each between two other characters,
// so every one is an edit of its own), all on one line or one to a line: both must grow
// linearly with N.
void replaceAllInPane(benchmark::State &state, bool oneLine)
{
    const qsizetype n = state.range(0);
    const QString unit = QStringLiteral("はるの");
    QString text;
    text.reserve(n * (unit.size() + 1));
    for (qsizetype i = 0; i < n; ++i) {
        text += unit;
        if (!oneLine)
            text += u'\n';
    }
    editor::TRichEditSx pane;
    pane.resize(600, 400);
    pane.show();
    for (auto _ : state) {
        state.PauseTiming();
        pane.setText(text);
        QApplication::processEvents();
        state.ResumeTiming();
        editor::PaneTextTarget target(&pane);
        const search::ReplaceAllResult r =
            search::replaceAll(target, QStringLiteral("の"), QStringLiteral("ノ"));
        QApplication::processEvents();
        benchmark::DoNotOptimize(r.replacements);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_ReplaceAllInPaneOneLine(benchmark::State &state)
{
    replaceAllInPane(state, true);
}
BENCHMARK(BM_ReplaceAllInPaneOneLine)
    ->Arg(25000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_ReplaceAllInPaneManyLines(benchmark::State &state)
{
    replaceAllInPane(state, false);
}
BENCHMARK(BM_ReplaceAllInPaneManyLines)
    ->Arg(25000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// A 50 MB code page 932 file: opening it into a vertical pane (read, decode, the first part
// loaded and its first screen; the rest loads while the event loop is idle) and saving it
// back (encode, write atomically).
QString fiftyMegabyteFile()
{
    static const QString path = [] {
        const QString p = QStringLiteral("/tmp/kotonami-bench-50mb.txt");
        QStringList lines;
        const QString line = poemText(1);
        for (qsizetype bytes = 0; bytes < 50'000'000; bytes += line.size() * 2 + 2)
            lines << line;
        const text::EncodedDocument doc =
            text::encodeDocument(lines.join(QLatin1Char('\n')), text::FileEncoding::Cp932);
        text::writeFileSafely(p, doc.bytes, nullptr);
        return p;
    }();
    return path;
}

void BM_Open50MB(benchmark::State &state)
{
    const QString path = fiftyMegabyteFile();
    editor::TRichEditSx pane;
    pane.resize(780, 400);
    pane.setVertical(true);
    pane.show();
    for (auto _ : state) {
        const auto doc = text::readDocument(path, nullptr);
        pane.setText(doc->text);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_Open50MB)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Save50MB(benchmark::State &state)
{
    const auto doc = text::readDocument(fiftyMegabyteFile(), nullptr);
    editor::TRichEditSx pane;
    pane.setText(doc->text);
    pane.finishLoading();
    for (auto _ : state) {
        const text::EncodedDocument encoded = text::encodeDocument(pane.text(), doc->format);
        text::writeFileSafely(QStringLiteral("/tmp/kotonami-bench-50mb-out.txt"), encoded.bytes,
                              nullptr);
    }
}
BENCHMARK(BM_Save50MB)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
