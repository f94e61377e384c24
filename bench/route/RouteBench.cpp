// From LoadTrack of a one-hour metadata-track recording (18000 points) to the
// last point drawn on the map page, for both pages, next to the same route
// sent the design's way (one script call per point); the driven line rebuilt
// after a seek to the end; the route line cleared. Run from the build folder
// (the pages are found in res/ there) under a display;
// HALVEX_BENCH_SCREENSHOT=FILE.png saves the pane after the last run.
#include "../support/HourRoute.h"
#include "../support/MapBenchMain.h"
#include "../support/PageClock.h"
#include "../support/ProcessTree.h"
#include "presenter/MapScripts.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QWebEngineView>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using benchmap::HourRoute;
using benchmap::kHourSeconds;

// Destroyed before the application object, which the engine needs.
std::unique_ptr<HourRoute> g_routes[2];

HourRoute* Route(int choice) {
    std::unique_ptr<HourRoute>& route = g_routes[choice];
    if (!route) {
        route = std::make_unique<HourRoute>();
        if (!route->Prepare(choice))
            return nullptr;
    }
    return route.get();
}

// Runs the step once per iteration, timed up to the moment the line shows
// the points; reports the engine processes' CPU as well. For a step that
// plots with the batch functions it splits the time (means, ms): load_ms is
// the step itself (for LoadTrack: decoding and the texts), bridge_ms until
// the page enters the batch function (the text's way into the page and its
// compilation), page_ms the page's own work up to the line drawn (the China
// page's conversion included), frame_ms from there to the start of the frame
// after the one that shows it, toFrame_ms the whole way, free of the polling
// that ends the timed span.
template <typename Step>
void TimeUntilDrawn(benchmark::State& state, HourRoute* r, const char* line, int points, Step step,
                    bool batch = true) {
    double engineCpu = 0;
    double load = 0, bridge = 0, page = 0, frame = 0, toFrame = 0;
    for (auto _ : state) {
        if (batch) {
            benchmap::InstallPageClock(r->view);
            benchmap::ResetPageTimes(r->view);
        }
        const double cpuBefore = ChildrenCpuSeconds();
        QElapsedTimer timer;
        const double start = benchmap::NowMs();
        timer.start();
        step();
        const double stepped = benchmap::NowMs();
        if (!r->WaitForLine(line, points)) {
            state.SkipWithError("the line was not drawn");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        engineCpu += ChildrenCpuSeconds() - cpuBefore;
        if (batch) {
            const benchmap::PageTimes t = benchmap::WaitForPageTimes(r->view);
            load += stepped - start;
            bridge += t.entered - stepped;
            page += t.drawn - t.entered;
            frame += t.framed - t.drawn;
            toFrame += t.framed - start;
        }
    }
    const double n = double(state.iterations());
    state.counters["points"] = points;
    state.counters["engineCpu_ms"] = 1000.0 * engineCpu / n;
    if (batch) {
        state.counters["load_ms"] = load / n;
        state.counters["bridge_ms"] = bridge / n;
        state.counters["page_ms"] = page / n;
        state.counters["frame_ms"] = frame / n;
        state.counters["toFrame_ms"] = toFrame / n;
    }
}

void BM_PlotHourRoute(benchmark::State& state) {
    HourRoute* r = Route(int(state.range(0)));
    if (!r) {
        state.SkipWithError("no one-hour recording or no map page");
        return;
    }
    TimeUntilDrawn(state, r, "route", r->singles.size(), [&] { r->presenter.LoadTrack(0); });
}

// The viewer's own share: decoding the track and writing the route's texts,
// handed to a map that drops them.
void BM_LoadTrackTextsOnly(benchmark::State& state) {
    HourRoute* r = Route(0);
    if (!r) {
        state.SkipWithError("no one-hour recording or no map page");
        return;
    }
    struct DroppingMap : MapView {
        void RunScript(const QString& s) override { bytes += s.size(); }
        void MovePosition(double, double, StoredCoordinates) override {}
        qsizetype bytes = 0;
    } drop;
    r->ShowOn(&drop);
    for (auto _ : state)
        r->presenter.LoadTrack(0);
    r->ShowOn(r->pane.map.get());
    state.counters["textBytes"] = double(drop.bytes) / double(state.iterations());
}
BENCHMARK(BM_LoadTrackTextsOnly)->Unit(benchmark::kMillisecond);

// The design's way: the route cleared and sent one text per point.
void BM_PlotHourRouteOnePerPoint(benchmark::State& state) {
    HourRoute* r = Route(int(state.range(0)));
    if (!r) {
        state.SkipWithError("no one-hour recording or no map page");
        return;
    }
    TimeUntilDrawn(
        state, r, "route", r->singles.size(),
        [&] {
            r->pane.map->RunScript(kPathDeleteScript);
            for (const QString& s : r->singles)
                r->pane.map->RunScript(s);
        },
        false);
}

// The floor: the page's own share, the same route handed over as one batch
// call with no track to decode and no texts to write.
void BM_OneBatchCallFloor(benchmark::State& state) {
    HourRoute* r = Route(int(state.range(0)));
    if (!r) {
        state.SkipWithError("no one-hour recording or no map page");
        return;
    }
    QStringList pairs;
    for (const QString& single : r->singles)
        pairs << single.mid(int(qstrlen("path_plot(")), single.size() - 11);
    const QString batch = QLatin1String(kPathPlotBatch) + "([" + pairs.join(',') + "])";
    TimeUntilDrawn(state, r, "route", r->singles.size(), [&] {
        r->pane.map->RunScript(kPathDeleteScript);
        r->pane.map->RunScript(batch);
    });
}

// A seek to the end rebuilds the whole driven line.
void BM_DrivenLineAfterSeek(benchmark::State& state) {
    HourRoute* r = Route(int(state.range(0)));
    if (!r) {
        state.SkipWithError("no one-hour recording or no map page");
        return;
    }
    TimeUntilDrawn(state, r, "driven", r->singles.size(),
                   [&] { r->presenter.PlotDrivenTo(kHourSeconds * 1000); });
}

// Clearing the drawn route.
void BM_DeleteHourRoute(benchmark::State& state) {
    HourRoute* r = Route(int(state.range(0)));
    if (!r) {
        state.SkipWithError("no one-hour recording or no map page");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        r->presenter.LoadTrack(0);
        r->WaitForLine("route", r->singles.size());
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        r->pane.map->RunScript(kPathDeleteScript);
        if (!r->WaitForLine("route", 0)) {
            state.SkipWithError("the line was not cleared");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

void SaveScreenshots() {
    const QString shot = qEnvironmentVariable("HALVEX_BENCH_SCREENSHOT");
    if (shot.isEmpty())
        return;
    for (int choice : {0, 1}) {
        HourRoute* r = Route(choice);
        if (!r)
            continue;
        // The route drawn, part of it driven, the car at its end.
        r->presenter.LoadTrack(0);
        r->presenter.PlotDrivenTo(20 * 60 * 1000);
        const GpsFix& car = r->PointAt(20 * 60 * 1000);
        r->pane.map->MovePosition(car.latitude, car.longitude, StoredCoordinates::kDecimalDegrees);
        r->pane.map->RunScript("map.setZoom ? map.setZoom(13) : 0");
        benchmap::Idle(1500);
        r->view->grab().save(QFileInfo(shot).path() + "/" + QFileInfo(shot).completeBaseName() +
                             (choice == 1 ? "-china.png" : "-google.png"));
    }
}

#define MAP_PAGES(b)                                                                               \
    BENCHMARK(b)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)
MAP_PAGES(BM_PlotHourRoute);
MAP_PAGES(BM_OneBatchCallFloor);
MAP_PAGES(BM_PlotHourRouteOnePerPoint);
MAP_PAGES(BM_DrivenLineAfterSeek);
MAP_PAGES(BM_DeleteHourRoute);

} // namespace

int main(int argc, char** argv) {
    return RunMapBenchmarks(argc, argv, [] {
        SaveScreenshots();
        for (auto& route : g_routes)
            route.reset();
    });
}
