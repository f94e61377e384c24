// halvex-bench-scan make-card DIR COUNT EXTRA_BYTES | make-hour FILE
//                   | make-hour-spread FILE SPACING | [benchmark options]
// The benchmarks read the card from HALVEX_BENCH_CARD and the one-hour
// recording from HALVEX_BENCH_HOUR.
#include "BenchCard.h"

#include "recordings/CVel3gpParser.h"
#include "recordings/RecordingCatalog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

// Bytes this process has read through system calls so far (rchar).
double BytesReadSoFar() {
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toDouble();
    return 0;
}

void BM_ScanCard(benchmark::State& state) {
    const QString card = qEnvironmentVariable("HALVEX_BENCH_CARD");
    if (card.isEmpty()) {
        state.SkipWithError("set HALVEX_BENCH_CARD");
        return;
    }
    RecordingCatalog catalog;
    const double readBefore = BytesReadSoFar();
    for (auto _ : state)
        benchmark::DoNotOptimize(catalog.Open(card));
    const double read = BytesReadSoFar() - readBefore;
    state.counters["files"] = double(catalog.scanCount);
    // What the scan reads of each file: the same for small and large media.
    state.counters["bytesRead/file"] =
        read / double(state.iterations()) / std::max(1, catalog.scanCount);
    state.counters["recordings"] = double(catalog.Files().size());
    state.counters["recordings/s"] = benchmark::Counter(
        double(catalog.Files().size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ScanCard)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadHourTrack(benchmark::State& state) {
    const QString path = qEnvironmentVariable("HALVEX_BENCH_HOUR");
    RecordingCatalog catalog;
    RecordingFile file;
    CVel3gpParser parser;
    parser.SetInfo(&file.info);
    if (path.isEmpty() || parser.Parse(path) != 0) {
        state.SkipWithError("set HALVEX_BENCH_HOUR to a metadata-track recording");
        return;
    }
    file.root = QFileInfo(path).absolutePath() + "/";
    file.fileName = QFileInfo(path).fileName();
    catalog.ListFiles({file});
    for (auto _ : state)
        benchmark::DoNotOptimize(catalog.LoadTrack(0));
    state.counters["points"] = double(catalog.CurrentTrack().fixes.size());
    state.counters["samples"] = double(catalog.CurrentTrack().samples.size());
}
BENCHMARK(BM_LoadHourTrack)->Unit(benchmark::kMillisecond);

int Make(const QStringList& args) {
    QString error;
    bool ok = false;
    if (args.value(1) == "make-card" && args.size() == 5)
        ok = bench::WriteBenchCard(args[2], args[3].toInt(), args[4].toULongLong(), &error);
    else if (args.value(1) == "make-hour" && args.size() == 3)
        ok = bench::WriteHourRecording(args[2], &error);
    else if (args.value(1) == "make-hour-spread" && args.size() == 4)
        ok = bench::WriteHourRecording(args[2], &error) &&
             bench::SpreadRecords(args[2], args[3].toULongLong(), &error);
    else
        error = "usage: make-card DIR COUNT EXTRA_BYTES | make-hour FILE"
                " | make-hour-spread FILE SPACING";
    if (!ok)
        std::fprintf(stderr, "halvex-bench-scan: %s\n", qPrintable(error));
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1).startsWith("make-"))
        return Make(args);
    benchmark::Initialize(&argc, argv);
    // The parser traces each start time to standard output: the table goes
    // to the original output, everything else to /dev/null.
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    std::ofstream table("/dev/fd/" + std::to_string(saved));
    const int devNull = open("/dev/null", O_WRONLY);
    if (saved < 0 || !table || devNull < 0) {
        benchmark::RunSpecifiedBenchmarks();
        return 0;
    }
    dup2(devNull, STDOUT_FILENO);
    benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&table);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
