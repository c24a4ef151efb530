#pragma once
// main() of the benchmark programs that use the window's widgets: the offscreen platform
// unless a display is asked for, large blocks kept in the heap as the program keeps them,
// the program's font names installed, then Google Benchmark.

#include "shell/FontNames.h"
#include "text/LargeTextMemory.h"

#include <QApplication>
#include <benchmark/benchmark.h>

inline int runGuiBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    text::keepLargeBlocksInTheHeap();
    QApplication app(argc, argv);
    shell::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
