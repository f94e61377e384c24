// The card overview with 100 hours of town driving (over 360 000 fixes):
// the lines thinned for a zoom, the window drawn from its answers, one zoom
// step, a place asked, and the memory the window adds.
#include "../support/FrameCounter.h"
#include "../support/MapBenchMain.h"
#include "../support/MapPane.h"
#include "../support/ProcessTree.h"
#include "cardindex/CardIndex.h"
#include "overview/CardIndexOverview.h"
#include "overview/OverviewWindow.h"
#include "overview/RouteLayers.h"
#include "recordings/RecordingCatalog.h"
#include "settings/AppSettings.h"
#include "tools/synth/IndexedCards.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTest>
#include <QWebEngineView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

// 240 days of about 25 minutes each.
const std::shared_ptr<OverviewValues>& HundredHours() {
    static const auto card = [] {
        synth::IndexedCard made = synth::TownDrivingCard(240);
        auto values = std::make_shared<OverviewValues>();
        values->recordings = std::move(made.recordings);
        values->trips = std::move(made.trips);
        values->events = std::move(made.events);
        values->life = made.life;
        return values;
    }();
    return card;
}

size_t PointCount(const OverviewValues& card) {
    size_t n = 0;
    for (const IndexedRecording& r : card.recordings)
        n += r.points.size();
    return n;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 60000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return true;
}

QVariant Evaluate(QWebEnginePage* page, const QString& script) {
    auto result = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    page->runJavaScript(script, [result, done](const QVariant& v) {
        *result = v;
        *done = true;
    });
    WaitFor([done] { return *done; }, 10000);
    return *result;
}

// Until the page's lines have reached the screen.
bool WaitDrawn(QWebEngineView* view) {
    return WaitFor([&] { return Evaluate(view->page(), "ov.framedZoom() >= 0").toBool(); });
}

void BM_ThinForZoom(benchmark::State& state) {
    const auto& card = HundredHours();
    const int zoom = int(state.range(0));
    size_t vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RouteLayers layers(card->recordings, card->trips);
        state.ResumeTiming();
        benchmark::DoNotOptimize(layers.ForZoom(zoom).size());
        vertices = layers.VertexCount(zoom);
    }
    state.counters["points"] = double(PointCount(*card));
    state.counters["vertices_sent"] = double(vertices);
}
BENCHMARK(BM_ThinForZoom)->Arg(11)->Arg(14)->Arg(17)->Unit(benchmark::kMillisecond);

void BM_OverviewDrawn(benchmark::State& state) {
    const auto& card = HundredHours();
    // The viewer with no overview open has its map pane on screen: the
    // memory figure is what the overview adds to that.
    benchmap::MapPane viewer;
    if (!viewer.Open(MAP_GOOGLE)) {
        state.SkipWithError("the viewer's map pane never ready");
        return;
    }
    benchmap::Idle(2000);
    const ProcessTreeSample before = SampleProcessTree();
    double lastMemory = 0, zoomMs = 0, placeMs = 0, setDataMs = 0;
    // One frame is one sample of a noisy figure: each iteration's, medians.
    std::vector<double> emptyPanMs, emptyZoomMs, zoomFrameMs, panMs, longPanMs;
    for (auto _ : state) {
        OverviewWindow window;
        window.setGeometry(0, 0, 1600, 940);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            state.SkipWithError("window never shown");
            return;
        }
        if (!WaitFor([&] { return window.PageReady(); })) {
            state.SkipWithError("page never ready");
            return;
        }
        const benchmap::FrameCounter frames(window.MapView());
        // Runs a script in the page; the time until the next frame is shown.
        const auto toNextFrame = [&](const char* script) {
            const int before = frames.Frames();
            QElapsedTimer clock;
            clock.start();
            window.MapView()->page()->runJavaScript(QString::fromLatin1(script));
            WaitFor([&] { return frames.Frames() > before; }, 5000);
            return double(clock.nsecsElapsed()) / 1e6;
        };
        const char* const kPan = "ov.pan(120, 0)";
        const char* const kZoomIn = "document.querySelector('.leaflet-control-zoom-in').click()";
        // The floors: the same pan and zoom on the page without lines.
        emptyPanMs.push_back(toNextFrame(kPan));
        emptyZoomMs.push_back(toNextFrame(kZoomIn));
        // Past the zoom's animation, whose end would ask for lines.
        benchmap::Idle(500);
        QElapsedTimer timer;
        timer.start();
        const qint64 givenAt = QDateTime::currentMSecsSinceEpoch();
        window.SetData(card);
        setDataMs = double(timer.nsecsElapsed()) / 1e6;
        if (!WaitDrawn(window.MapView())) {
            state.SkipWithError("never drawn");
            return;
        }
        // The page's own clock of that frame (the same system clock): asking
        // the page waits behind whatever it does next, such as reading the
        // levels it asks for once the lines are out.
        const double framedAt = Evaluate(window.MapView()->page(), "ov.framedAt()").toDouble();
        state.SetIterationTime((framedAt - double(givenAt)) / 1e3);

        // A second with the lines on screen, as a user looks before zooming:
        // the levels next to this one are asked for meanwhile.
        benchmap::Idle(1000);
        // One zoom step in: the first frame (the lines scaled at once),
        // then the new level's own lines on screen.
        Evaluate(window.MapView()->page(), "window.__z = ov.zoom()");
        QElapsedTimer zoom;
        zoom.start();
        zoomFrameMs.push_back(toNextFrame(kZoomIn));
        WaitFor([&] {
            return Evaluate(window.MapView()->page(), "ov.framedZoom() > window.__z").toBool();
        });
        zoomMs = double(zoom.nsecsElapsed()) / 1e6;

        // A pan: the lines move with the map, nothing is asked.
        panMs.push_back(toNextFrame(kPan));
        // A long pan, step by step as a drag goes: it leaves the drawn
        // margin and the lines are drawn again on the way. Its slowest frame.
        double longPan = 0;
        for (int step = 0; step < 16; ++step)
            longPan = std::max(longPan, toNextFrame(kPan));
        longPanMs.push_back(longPan);

        QElapsedTimer place;
        place.start();
        window.AskPlace(synth::kHomeLatitude, synth::kHomeLongitude);
        placeMs = double(place.nsecsElapsed()) / 1e6;
        lastMemory = SampleProcessTree().pssMiB - before.pssMiB;
    }
    state.counters["points"] = double(PointCount(*card));
    state.counters["zoom_frame_ms"] = Median(zoomFrameMs);
    state.counters["zoom_step_ms"] = zoomMs;
    state.counters["set_data_ms"] = setDataMs;
    state.counters["pan_frame_ms"] = Median(panMs);
    state.counters["long_pan_slowest_frame_ms"] = Median(longPanMs);
    state.counters["empty_pan_frame_ms"] = Median(emptyPanMs);
    state.counters["empty_zoom_frame_ms"] = Median(emptyZoomMs);
    state.counters["place_list_ms_walking_points"] = placeMs;
    state.counters["added_pss_mib"] = lastMemory;
}
BENCHMARK(BM_OverviewDrawn)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// A card on disk (HALVEX_BENCH_CARD, bench/index.sh makes its card of 1000
// recordings) reopened with its cache while the overview is open: from the
// scan's end, the index read from its cache and the overview's lines on
// screen. The viewer builds the index on a worker; the time is the same.
void BM_ReopenedCardDrawn(benchmark::State& state) {
    const QString folder = qEnvironmentVariable("HALVEX_BENCH_CARD");
    if (folder.isEmpty()) {
        state.SkipWithError("HALVEX_BENCH_CARD names no card");
        return;
    }
    RecordingCatalog catalog;
    catalog.Open(folder);
    const QString cacheFolder = CardIndex::DefaultCacheFolder();
    CardIndex first;
    if (catalog.Files().empty() || !first.Build(catalog.Files(), cacheFolder, {}, nullptr)) {
        state.SkipWithError("no recordings, or no index");
        return;
    }
    double indexMs = 0;
    for (auto _ : state) {
        OverviewWindow window;
        window.setGeometry(0, 0, 1600, 940);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window) ||
            !WaitFor([&] { return window.PageReady(); })) {
            state.SkipWithError("page never ready");
            return;
        }
        benchmap::Idle(500);
        QElapsedTimer timer;
        timer.start();
        const qint64 scanEndedAt = QDateTime::currentMSecsSinceEpoch();
        auto index = std::make_shared<CardIndex>();
        index->Build(catalog.Files(), cacheFolder, {}, nullptr);
        indexMs = double(timer.nsecsElapsed()) / 1e6;
        window.SetData(std::make_shared<CardIndexOverview>(index, folder));
        if (!WaitDrawn(window.MapView())) {
            state.SkipWithError("never drawn");
            return;
        }
        const double framedAt = Evaluate(window.MapView()->page(), "ov.framedAt()").toDouble();
        state.SetIterationTime((framedAt - double(scanEndedAt)) / 1e3);
    }
    state.counters["recordings"] = double(catalog.Files().size());
    state.counters["index_from_cache_ms"] = indexMs;
}
BENCHMARK(BM_ReopenedCardDrawn)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunMapBenchmarks(argc, argv);
}
