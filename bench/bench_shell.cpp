// Figures for the main window and the panes: building the window (the start-up cost
// before the first paint), loading a large text into a pane, and the undo memory's
// snapshot of a large pane. Offscreen, so no display is needed.
#include "shell/FontNames.h"
#include "shell/RichEditSx.h"
#include "shell/UiServices.h"
#include "shell/Utamain.h"

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
    shell::TRichEditSx pane;
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
    shell::TRichEditSx pane;
    pane.resize(600, 400);
    pane.setText(poemText(20000));
    int i = 0;
    for (auto _ : state) {
        // A paste always stores a snapshot: the cost of one recorded step.
        pane.recordAction(shell::ActionPaste);
        pane.setSelection(i++ % 100, 0);
    }
}
BENCHMARK(BM_UndoSnapshotOfLargePane)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    shell::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
