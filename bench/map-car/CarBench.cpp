// The car driven on the map at 5 Hz, as the playback tick moves it while a
// metadata-track recording plays: CPU of the whole process tree (the viewer
// and the web engine's processes) over a fixed time, next to the same pane
// left alone and to the car's marker alone moving at the same rate (the
// floors). The route of a one-hour recording is drawn and the
// driven line already holds the points up to the start minute. Run from the
// build folder under a display.
#include "../support/FrameCounter.h"
#include "../support/HourRoute.h"
#include "../support/MapBenchMain.h"
#include "../support/ProcessTree.h"

#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>
#include <optional>

namespace {

using benchmap::HourRoute;

constexpr int kTickMs = 200;

int MeasureSeconds() {
    const int seconds = qEnvironmentVariableIntValue("HALVEX_BENCH_SECONDS");
    return seconds > 0 ? seconds : 20;
}

std::unique_ptr<HourRoute> g_route;

// One pane at a time, so an idle one does not add to the figures.
HourRoute* Route(int choice) {
    if (!g_route || g_route->choice != choice) {
        g_route.reset();
        g_route = std::make_unique<HourRoute>();
        if (!g_route->Prepare(choice)) {
            g_route.reset();
            return nullptr;
        }
    }
    return g_route.get();
}

void MoveCar(HourRoute* r, const GpsFix& p) {
    r->pane.map->MovePosition(p.latitude, p.longitude, StoredCoordinates::kDecimalDegrees);
}

// The route drawn and the driven line up to the minute, settled.
bool SetUp(HourRoute* r, int minute) {
    r->presenter.LoadTrack(0);
    if (!r->WaitForLine("route", r->singles.size()))
        return false;
    r->presenter.PlotDrivenTo(int64_t(minute) * 60000);
    const int driven = r->catalog.CurrentTrack().IndexAt(int64_t(minute) * 60000);
    if (!r->WaitForLine("driven", driven))
        return false;
    // The view where the car starts, as the tick's first move puts it.
    MoveCar(r, r->catalog.CurrentTrack().fixes[size_t(driven)]);
    benchmap::Idle(2000);
    return true;
}

struct CpuSample {
    ProcessTreeSample tree = SampleProcessTree(false);
    double engine = ChildrenCpuSeconds();
};

// Percent of one core: the whole tree, and the web engine's processes alone
// (its renderer draws the page; the viewer's process composes the window).
// framesPerSecond: what the view drew.
void Report(benchmark::State& state, const CpuSample& before, double seconds, int frames) {
    const CpuSample after;
    state.SetIterationTime(seconds);
    state.counters["treeCpu_pct"] =
        100.0 * (after.tree.cpuSeconds - before.tree.cpuSeconds) / seconds;
    state.counters["engineCpu_pct"] = 100.0 * (after.engine - before.engine) / seconds;
    state.counters["processes"] = after.tree.processes;
    state.counters["framesPerSecond"] = double(frames) / seconds;
}

// Calls the move with the next point of the track every 200 ms for the
// measuring time, from the start minute on.
void DriveAt5Hz(benchmark::State& state,
                const std::function<void(HourRoute*, const GpsFix&)>& move) {
    HourRoute* r = Route(int(state.range(0)));
    const int minute = int(state.range(1));
    if (!r || !SetUp(r, minute)) {
        state.SkipWithError("no map page or no route");
        return;
    }
    const std::vector<GpsFix>& points = r->catalog.CurrentTrack().fixes;
    size_t next = size_t(r->catalog.CurrentTrack().IndexAt(int64_t(minute) * 60000));
    for (auto _ : state) {
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            move(r, points[next]);
            next = (next + 1) % points.size();
        });
        const benchmap::FrameCounter frames(r->view);
        const CpuSample before;
        QElapsedTimer timer;
        timer.start();
        ticks.start(kTickMs);
        benchmap::Idle(MeasureSeconds() * 1000);
        ticks.stop();
        Report(state, before, double(timer.nsecsElapsed()) / 1e9, frames.Frames());
    }
}

// The car as the playback tick moves it: centred, its marker moved and the
// driven line extended, one script call per tick.
void BM_CarAt5Hz(benchmark::State& state) {
    DriveAt5Hz(state, [](HourRoute* r, const GpsFix& p) { MoveCar(r, p); });
}

// The car standing (the camera repeats its position while the car stops):
// the same point every tick, which changes no pixel.
void BM_CarStandingAt5Hz(benchmark::State& state) {
    auto standing = std::make_shared<std::optional<GpsFix>>();
    DriveAt5Hz(state, [standing](HourRoute* r, const GpsFix& next) {
        if (!*standing)
            *standing = next;
        MoveCar(r, **standing);
    });
}

// The floor: only the marker moves (no centring, no line), the least a
// moving car can cost; one frame per tick all the same.
void BM_MarkerOnlyAt5Hz(benchmark::State& state) {
    DriveAt5Hz(state, [](HourRoute* r, const GpsFix& p) {
        r->pane.map->RunScript(
            r->choice == 1 ? QString::asprintf("marker.setPosition(new BMap.Point(%f, %f))",
                                               p.longitude, p.latitude)
                           : QString::asprintf("marker.setPosition(new google.maps.LatLng(%f, %f))",
                                               p.latitude, p.longitude));
    });
}

// The same pane and lines, the car standing.
void BM_MapAtRest(benchmark::State& state) {
    HourRoute* r = Route(int(state.range(0)));
    if (!r || !SetUp(r, int(state.range(1)))) {
        state.SkipWithError("no map page or no route");
        return;
    }
    for (auto _ : state) {
        const benchmap::FrameCounter frames(r->view);
        const CpuSample before;
        QElapsedTimer timer;
        timer.start();
        benchmap::Idle(MeasureSeconds() * 1000);
        Report(state, before, double(timer.nsecsElapsed()) / 1e9, frames.Frames());
    }
}

// Page (0 Google, 1 China) and the minute the car starts at: a short and a
// long driven line.
#define CAR_CASES(b)                                                                               \
    BENCHMARK(b)                                                                                   \
        ->ArgsProduct({{0, 1}, {0, 50}})                                                           \
        ->ArgNames({"page", "minute"})                                                             \
        ->UseManualTime()                                                                          \
        ->Unit(benchmark::kSecond)                                                                 \
        ->Iterations(1)
CAR_CASES(BM_MapAtRest);
CAR_CASES(BM_MarkerOnlyAt5Hz);
CAR_CASES(BM_CarAt5Hz);
CAR_CASES(BM_CarStandingAt5Hz);

} // namespace

int main(int argc, char** argv) {
    return RunMapBenchmarks(argc, argv, [] { g_route.reset(); });
}
