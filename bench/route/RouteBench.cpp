// From LoadTrack of a one-hour metadata-track recording (18000 points) to the
// last point drawn on the map page, for both pages. Run from the build folder
// (the pages are found in res/ there) with a display or QT_QPA_PLATFORM=offscreen;
// HALVEX_BENCH_SCREENSHOT=FILE.png saves the pane after the last run.
#include "map/CCEFWebkitUI.h"
#include "map/CCefClientHandler.h"
#include "map/CHtmlMapDlg.h"
#include "recordings/CVel3gpParser.h"
#include "recordings/RecordingCatalog.h"
#include "tools/synth/RecordingWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

constexpr int kSeconds = 3600;

bool WriteHourRecording(const QString& path) {
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::MovTrack;
    recipe.durationMs = kSeconds * 1000;
    recipe.frameSize = QSize(160, 90);
    recipe.frameRate = 1;
    recipe.audio = false;
    // A drive that never stands still (about 80 km/h), so every point is drawn;
    // the records keep thousandths of a minute.
    for (int i = 0; i < kSeconds * synth::kTrackRecordRate; ++i) {
        const double t = double(i) / synth::kTrackRecordRate;
        recipe.fixes.push_back(synth::Fix{
            35.40 + 0.00015 * t, 139.40 + 0.00015 * t + 0.002 * std::sin(t / 90.0), 12, 80, 45});
    }
    for (int i = 0; i < kSeconds * synth::kTrackRecordRate; ++i)
        recipe.gsensor.push_back({int16_t(i % 7), int16_t(-(i % 5)), 16});
    QString error;
    if (!synth::WriteRecording(recipe, path, &error)) {
        std::fprintf(stderr, "cannot write the recording: %s\n", qPrintable(error));
        return false;
    }
    return true;
}

QVariant Evaluate(QWebEngineView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return result;
}

void WaitUntil(QWebEngineView* view, const QString& condition) {
    while (!Evaluate(view, condition).toBool())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Counts the texts a load sends, to know when the page has all of them.
struct CountingMap : MapView {
    void RunScript(const QString& s) override { plotted += s.startsWith("path_plot("); }
    void MovePosition(double, bool, double) override {}
    int plotted = 0;
};

void BM_PlotHourRoute(benchmark::State& state) {
    const int choice = int(state.range(0));
    static QTemporaryDir dir;
    static const QString path = dir.filePath("HOUR.MOV");
    static const bool written = WriteHourRecording(path);
    RecordingCatalog catalog;
    RecordingFile file;
    CVel3gpParser parser;
    parser.SetInfo(&file.info);
    if (!written || parser.Parse(path) != 0) {
        state.SkipWithError("no one-hour recording");
        return;
    }
    file.root = QFileInfo(path).absolutePath() + "/";
    file.fileName = QFileInfo(path).fileName();
    catalog.files.push_back(file);

    CountingMap counter;
    catalog.mapWindow = &counter;
    catalog.LoadTrack(0);
    const int expected = counter.plotted;

    QWidget parent;
    parent.resize(1000, 700);
    parent.show();
    CHtmlMapDlg map(&parent);
    map.show();
    map.SetMapType(choice);
    map.PlaceMap(QRect(0, 0, 1000, 700));
    while (!map.IsReady() || map.ViewWrapper()->Handler()->Views().empty())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QWebEngineView* view = map.ViewWrapper()->Handler()->Views().back();
    WaitUntil(view, "typeof driven === 'object' && driven !== null");
    catalog.mapWindow = &map;

    const QString routeLength =
        choice == 1 ? "route.getPath().length" : "route.getPath().getLength()";
    const QString allDrawn =
        QStringLiteral("%1 === %2 && route._drawnLength() === %2").arg(routeLength).arg(expected);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        catalog.LoadTrack(0);
        WaitUntil(view, allDrawn);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    state.counters["points"] = expected;

    const QString shot = qEnvironmentVariable("HALVEX_BENCH_SCREENSHOT");
    if (!shot.isEmpty()) {
        // Part of the route driven, the car at its end.
        catalog.PlotDrivenTo(20 * 60 * 1000);
        const GpsPoint car = catalog.points[size_t(20 * 60 * catalog.gpsRate)];
        map.MovePosition(car.latitude, true, car.longitude);
        map.RunScript("map.setZoom ? map.setZoom(13) : 0");
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 1500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        view->grab().save(QFileInfo(shot).path() + "/" + QFileInfo(shot).completeBaseName() +
                          (choice == 1 ? "-china.png" : "-google.png"));
    }
}
BENCHMARK(BM_PlotHourRoute)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
