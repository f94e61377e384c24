#!/usr/bin/env bash
# Card index benchmark: `halvex-cli trips --no-cache` (whole process, so scan,
# track reading, index and print) beside `exiftool -ee` extracting the same
# GPS points from the same card, warm and cold page cache; reopening with the
# cache; then the index in process on 100 hours of driving ("when was I
# here?", a box, trips, events). Run by hand or from bench/run-all:
#   bench/index.sh [BUILD_DIR]            a report (default build/)
#   LINES=1 bench/index.sh [BUILD_DIR]    only "name value unit" lines
# WORK (default /tmp/halvex-bench-index) holds the cards, made once and kept.
# COUNT (1000) one-minute recordings on the card, MEDIA (90 MiB, a minute of
# 12 Mbit/s video) of sparse media in each, so its GPS and G-sensor boxes lie
# that far behind the header; HOURS (100) of driving for the in-process
# measures; RUNS (5) paired warm runs, COLD_RUNS (3) paired cold runs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${WORK:-/tmp/halvex-bench-index}
count=${COUNT:-1000}
media=${MEDIA:-94371840}
hours=${HOURS:-100}
runs=${RUNS:-5}
coldRuns=${COLD_RUNS:-3}
lines=${LINES:-0}

# shellcheck source=support/paired.sh
. bench/support/paired.sh

cmake --build "$build" --target halvex-bench-index halvex-cli >/dev/null
bench=${BENCH:-$build/bench/halvex-bench-index}
cli=${CLI:-$build/tools/halvex-cli}

mkdir -p "$work"
if [ "$(cat "$work/card.made" 2>/dev/null)" != "$count $media" ]; then
  say "== making the card ($count recordings, $media bytes of media each) in $work"
  "$bench" make-card "$work/card" "$count" "$media"
  echo "$count $media" >"$work/card.made"
fi
if [ "$(cat "$work/hours.made" 2>/dev/null)" != "$hours" ]; then
  say "== making $hours hours of driving in $work"
  "$bench" make-hours "$work/hours" "$hours"
  echo "$hours" >"$work/hours.made"
fi
if [ ! -e "$work/one.made" ]; then
  "$bench" make-card "$work/one" 2 0 && touch "$work/one.made"
fi

# The cache of these runs only, never the user's.
export XDG_CACHE_HOME=$work/xdg
rm -rf "$XDG_CACHE_HOME"

# Every GPS point of every embedded document, as decimal numbers.
exif=(exiftool -ee -r -q -q -n -GPSDateTime -GPSLatitude -GPSLongitude -GPSSpeed -GPSTrack)

say "== the same points from both"
result index.card.recordings "$(find "$work/card" -type f | wc -l)" files
result index.exiftool.points "$("${exif[@]}" "$work/card" | grep -c '^GPS Latitude')" points
"$bench" measure "$work/card" >"$work/card-measure.txt"
result index.halvex.points "$(awk '$1 == "index.points" { printf "%d", $2 }' "$work/card-measure.txt")" points

ours=("$cli" trips --no-cache "$work/card")
peer=("${exif[@]}" "$work/card")
coldCard=$work/card warmCard=$work/one

say "== whole processes, warm, $runs paired runs (medians)"
timed "$cli" trips --no-cache "$work/card" >/dev/null
pairs "$runs" :
report index warm

say "== whole processes, cold, $coldRuns paired runs (medians)"
pairs "$coldRuns" dropCache
if [ "$lines" = 1 ]; then echo "# cold page cache by $coldMethod"; else say "   (cold page cache by $coldMethod)"; fi
report index cold

say "== reopening the card with its cache (whole process; in process from the scan's end)"
"$cli" trips "$work/card" >/dev/null
: >"$work/reopen.txt"
for ((i = 0; i < runs; i++)); do timed "$cli" trips "$work/card" >>"$work/reopen.txt"; done
result index.reopen.halvex "$(column 1 "$work/reopen.txt")" s
"$bench" measure "$work/card" "$work/cache-card" >"$work/card-measure.txt"
result index.reopen.inprocess "$(awk '$1 == "index.build_from_cache" { print $2 }' "$work/card-measure.txt")" ms
result index.build.inprocess "$(awk '$1 == "index.build_no_cache" { print $2 }' "$work/card-measure.txt")" ms

say "== reopening the card with the overview open: the scan's end to its lines on screen"
cmake --build "$build" --target bench_overview halvex_map_pages >/dev/null
(cd "$build" && HALVEX_BENCH_CARD=$work/card QTWEBENGINE_DISABLE_SANDBOX=1 \
  xvfb-run -a -s "-screen 0 1920x1080x24" bench/bench_overview --benchmark_filter=Reopened \
  --benchmark_out="$work/reopen-drawn.json" --benchmark_out_format=json >"$work/reopen-drawn.txt" 2>&1)
result index.reopen.drawn "$(python3 -c 'import json, sys
print("%.0f" % json.load(open(sys.argv[1]))["benchmarks"][0]["real_time"])' "$work/reopen-drawn.json")" ms

say "== $hours hours of driving, in process"
"$bench" measure "$work/hours" "$work/cache-hours" >"$work/hours-measure.txt"
while read -r name value unit; do
  result "${name/index./index.hours.}" "$value" "$unit"
done <"$work/hours-measure.txt"
