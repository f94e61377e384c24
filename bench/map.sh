#!/usr/bin/env bash
# The map benchmarks in one run: the route of a one-hour recording on both
# pages, the car at 5 Hz, memory across map changes; each beside its floor or
# the design's way, with the ratios as a Markdown table.
#   bench/map.sh [BUILD_DIR]      (HALVEX_BENCH_SECONDS sets the car's time, default 20)
set -euo pipefail
build=$(realpath "${1:-build}")
out=${OUT:-/tmp/halvex-bench-map}
mkdir -p "$out"
nice cmake --build "$build" --target bench_route_plot bench_map_car bench_map_views bench_overview \
  halvex_map_pages >/dev/null

export QTWEBENGINE_DISABLE_SANDBOX=1
cd "$build"
for b in route_plot map_car map_views overview; do
  cmd=(xvfb-run -a -s "-screen 0 1920x1080x24" "bench/bench_$b"
       --benchmark_out="$out/$b.json" --benchmark_out_format=json)
  echo "# command (in $build): HALVEX_BENCH_SECONDS=${HALVEX_BENCH_SECONDS:-20} $(printf '%q ' "${cmd[@]}")"
  "${cmd[@]}" >"$out/$b.txt" 2>&1
done

python3 - "$out" <<'PY'
import json, sys, os
out = sys.argv[1]
rows = {}
for b in ("route_plot", "map_car", "map_views"):
    for r in json.load(open(os.path.join(out, b + ".json")))["benchmarks"]:
        rows[r["name"].split("/iterations")[0]] = r
def get(name, key="real_time"):
    r = rows.get(name)
    return None if r is None or "error_message" in r else r.get(key)
def fmt(v, unit=""):
    return "n/a" if v is None else ("%.1f%s" % (v, unit))
def ratio(a, b):
    return "n/a" if a is None or b is None or b == 0 else "%.2f" % (a / b)
print("| measure | page | ours | floor or design | ratio |")
print("|---|---|---|---|---|")
for page, label in ((0, "Google"), (1, "China")):
    ours = get("BM_PlotHourRoute/%d" % page)
    print("| route, LoadTrack to last point drawn (ms) vs one batch call | %s | %s | %s | %s |" % (
        label, fmt(ours), fmt(get("BM_OneBatchCallFloor/%d" % page)),
        ratio(ours, get("BM_OneBatchCallFloor/%d" % page))))
    print("| route (ms) vs the design's one call per point | %s | %s | %s | %s |" % (
        label, fmt(ours), fmt(get("BM_PlotHourRouteOnePerPoint/%d" % page)),
        ratio(ours, get("BM_PlotHourRouteOnePerPoint/%d" % page))))
    print("| driven line after a seek to the end (ms) | %s | %s | | |" % (
        label, fmt(get("BM_DrivenLineAfterSeek/%d" % page))))
    print("| clearing the drawn route (ms) | %s | %s | | |" % (
        label, fmt(get("BM_DeleteHourRoute/%d" % page))))
    for key, what in (("load_ms", "LoadTrack itself"), ("bridge_ms", "into the page"),
                      ("page_ms", "page's drawing"), ("frame_ms", "to the next frame"),
                      ("toFrame_ms", "whole way")):
        print("| route split: %s (ms), LoadTrack vs one batch call | %s | %s | %s | %s |" % (
            what, label, fmt(get("BM_PlotHourRoute/%d" % page, key)),
            fmt(get("BM_OneBatchCallFloor/%d" % page, key)),
            ratio(get("BM_PlotHourRoute/%d" % page, key), get("BM_OneBatchCallFloor/%d" % page, key))))
    for minute in (0, 50):
        car = "BM_CarAt5Hz/page:%d/minute:%d" % (page, minute)
        floor = "BM_MarkerOnlyAt5Hz/page:%d/minute:%d" % (page, minute)
        rest = "BM_MapAtRest/page:%d/minute:%d" % (page, minute)
        for key, what in (("engineCpu_pct", "engine processes"), ("treeCpu_pct", "whole tree")):
            print("| car at 5 Hz from minute %d, %s (%% of a core) vs marker alone | %s | %s | %s | %s |" % (
                minute, what, label, fmt(get(car, key)), fmt(get(floor, key)),
                ratio(get(car, key), get(floor, key))))
        print("| map at rest from minute %d, whole tree (%% of a core) | %s | %s | | |" % (
            minute, label, fmt(get(rest, "treeCpu_pct"))))
        standing = "BM_CarStandingAt5Hz/page:%d/minute:%d" % (page, minute)
        print("| car standing at 5 Hz from minute %d, whole tree (%% of a core) vs at rest | %s | %s | %s | %s |" % (
            minute, label, fmt(get(standing, "treeCpu_pct")), fmt(get(rest, "treeCpu_pct")),
            ratio(get(standing, "treeCpu_pct"), get(rest, "treeCpu_pct"))))
        print("| frames drawn per second: car, marker alone, standing | %s | %s | %s | %s |" % (
            label, fmt(get(car, "framesPerSecond")), fmt(get(floor, "framesPerSecond")),
            fmt(get(standing, "framesPerSecond"))))
print("| PSS after 20 map changes vs before (MiB) | both | %s | %s | %s |" % (
    fmt(get("BM_MapChanges/20", "pssLast_MiB")), fmt(get("BM_MapChanges/20", "pssFirst_MiB")),
    ratio(get("BM_MapChanges/20", "pssLast_MiB"), get("BM_MapChanges/20", "pssFirst_MiB"))))
print("| PSS growth per change (MiB): one live view vs views kept | both | %s | %s | |" % (
    fmt(get("BM_MapChanges/20", "growthPerChange_MiB")),
    fmt(get("BM_MapChangesKeepingViews/5", "growthPerChange_MiB"))))
PY
