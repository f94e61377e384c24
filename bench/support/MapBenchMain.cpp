#include "MapBenchMain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int RunMapBenchmarks(int argc, char** argv, const std::function<void()>& beforeExit) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeExit)
        beforeExit();
    return 0;
}
