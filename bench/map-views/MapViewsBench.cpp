// Memory of the whole process tree (the viewer and the web engine's
// processes, proportional set size) across 20 map changes, each made as the
// configuration dialog's OK makes it, alternating between the two pages; next
// to the design's behaviour, where every change adds a view and keeps the
// older ones (5 changes, each view opened without the closing of the older).
// Run from the build folder under a display.
#include "../support/MapBenchMain.h"
#include "../support/MapPane.h"
#include "../support/ProcessTree.h"
#include "map/CCEFWebkitUI.h"
#include "map/CCefClientHandler.h"
#include "map/LocalPages.h"
#include "settings/AppSettings.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>

namespace {

using benchmap::MapPane;

constexpr int kSettleMs = 1500;

int Changes(benchmark::State& state) {
    return int(state.range(0));
}

// Makes the changes; after each, waits until the new page is built and the
// condition holds, lets the engine settle and samples the tree.
void MeasureChanges(benchmark::State& state, const char* name,
                    const std::function<void(MapPane&, int choice)>& change,
                    const std::function<bool(MapPane&, size_t changesMade)>& settled) {
    for (auto _ : state) {
        MapPane pane;
        if (!pane.Open(MAP_GOOGLE)) {
            state.SkipWithError("no map page");
            return;
        }
        benchmap::Idle(kSettleMs);
        const ProcessTreeSample first = SampleProcessTree();
        ProcessTreeSample last = first;
        double highest = first.pssMiB;
        std::fprintf(stderr, "%s: change 0: %.0f MiB PSS, %.0f MiB RSS, %d processes, %zu views\n",
                     name, first.pssMiB, first.rssMiB, first.processes,
                     benchmap::ViewCount(*pane.map));
        for (int i = 1; i <= Changes(state); ++i) {
            change(pane, i % 2 ? MAP_CHINA : MAP_GOOGLE);
            if (!pane.WaitForPage() || !settled(pane, size_t(i))) {
                state.SkipWithError("the new page did not come up");
                return;
            }
            benchmap::Idle(kSettleMs);
            last = SampleProcessTree();
            highest = std::max(highest, last.pssMiB);
            std::fprintf(
                stderr, "%s: change %d: %.0f MiB PSS, %.0f MiB RSS, %d processes, %zu views\n",
                name, i, last.pssMiB, last.rssMiB, last.processes, benchmap::ViewCount(*pane.map));
        }
        state.counters["pssFirst_MiB"] = first.pssMiB;
        state.counters["pssLast_MiB"] = last.pssMiB;
        state.counters["pssHighest_MiB"] = highest;
        state.counters["rssFirst_MiB"] = first.rssMiB;
        state.counters["rssLast_MiB"] = last.rssMiB;
        state.counters["growthPerChange_MiB"] = (last.pssMiB - first.pssMiB) / Changes(state);
        state.counters["views"] = double(benchmap::ViewCount(*pane.map));
        state.counters["processes"] = last.processes;
    }
}

void BM_MapChanges(benchmark::State& state) {
    MeasureChanges(
        state, "one live view", [](MapPane& pane, int choice) { pane.map->SetMapType(choice); },
        [](MapPane& pane, size_t) {
            return benchmap::WaitFor([&] { return benchmap::ViewCount(*pane.map) == 1; });
        });
}

// The design: a new view per change, the older ones kept.
void BM_MapChangesKeepingViews(benchmark::State& state) {
    MeasureChanges(
        state, "views kept",
        [](MapPane& pane, int choice) {
            CCEFWebkitUI* ui = pane.map->ViewWrapper();
            ui->Handler()->CreateBrowser(ui->GetRect(), LocalPages::MapPageUrl(choice));
        },
        [](MapPane& pane, size_t changes) {
            return benchmap::ViewCount(*pane.map) == changes + 1;
        });
}

BENCHMARK(BM_MapChanges)->Arg(20)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MapChangesKeepingViews)->Arg(5)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    return RunMapBenchmarks(argc, argv);
}
