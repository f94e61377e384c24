#!/usr/bin/env bash
# Folder scan benchmark: the scan and the one-hour track load in process, then
# whole processes side by side with exiftool (warm and cold page cache), the
# peak memory of `halvex-cli scan --json` on a large card, and ffprobe per
# file. Run by hand or from bench/run-all:
#   bench/scan.sh [BUILD_DIR]            a report (default build/)
#   LINES=1 bench/scan.sh [BUILD_DIR]    only "name value unit" lines
# WORK (default /tmp/halvex-bench-scan) holds the cards, made once and kept.
# COUNT (1000) recordings a card; EXTRA (256 MiB) of sparse media added to
# each recording of the large cards; RUNS (5) paired warm runs, COLD_RUNS (3)
# paired cold runs; RSS_COUNT (10000, 0 skips) recordings on the card whose
# JSON scan's peak memory is taken (rounded up to whole copies of the small
# card); FFPROBE_FILES (100, 0 skips). BENCH and CLI: other programs to run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${WORK:-/tmp/halvex-bench-scan}
count=${COUNT:-1000}
extra=${EXTRA:-268435456}
runs=${RUNS:-5}
coldRuns=${COLD_RUNS:-3}
rssCount=${RSS_COUNT:-10000}
ffprobeFiles=${FFPROBE_FILES:-100}
lines=${LINES:-0}
half=$((count / 2))

# shellcheck source=support/paired.sh
. bench/support/paired.sh

cmake --build "$build" --target halvex-bench-scan halvex-cli >/dev/null
# BENCH and CLI may name other builds' programs, to compare before and after.
bench=${BENCH:-$build/bench/halvex-bench-scan}
cli=${CLI:-$build/tools/halvex-cli}

# Cards are kept between runs; a stamp says with which settings each was made.
card() {
  local name=$1 n=$2 media=$3
  if [ "$(cat "$work/$name.made" 2>/dev/null)" != "$n $media" ]; then
    say "== making $name ($n recordings, extra media $media bytes) in $work"
    "$bench" make-card "$work/$name" "$n" "$media"
    echo "$n $media" >"$work/$name.made"
  fi
}
mkdir -p "$work"
card small "$count" 0
card large "$count" "$extra"
card half "$half" "$extra"
[ -e "$work/hour/MOV_0001F.MOV" ] || "$bench" make-hour "$work/hour/MOV_0001F.MOV"
# The same hour with its records 200 KiB apart, as between the video of a
# real camera: one read per record.
[ -e "$work/spread/MOV_0001F.MOV" ] ||
  "$bench" make-hour-spread "$work/spread/MOV_0001F.MOV" 204800 >/dev/null
# One recording of each kind: runs each program once before a cold run, so
# that only the card is cold, not the programs and their libraries.
if [ ! -e "$work/one/ONE.made" ]; then
  rm -rf "$work/one"
  "$bench" make-card "$work/one" 2 0 && touch "$work/one/ONE.made"
fi

say "== in process, warm page cache (google-benchmark; wall ms unless cpu)"
# The benchmark's own table goes to /dev/null; its CSV file has the figures.
inProcess() {
  # The warm-up reads in what an earlier cold run dropped.
  "$bench" --benchmark_filter="$1" --benchmark_min_warmup_time=1 --benchmark_out="$work/bm.csv" \
    --benchmark_out_format=csv >/dev/null 2>&1 || true
  grep "^\"$1" "$work/bm.csv" || echo ",,,,,,,,,,"
}
for c in small half large; do
  row=$(HALVEX_BENCH_CARD="$work/$c" inProcess BM_ScanCard)
  result "scan.inprocess.$c" "$(echo "$row" | awk -F, '{ printf "%.1f", $3 }')" ms
  result "scan.inprocess.$c.cpu" "$(echo "$row" | awk -F, '{ printf "%.1f", $4 }')" ms
  result "scan.inprocess.$c.bytes_read_per_file" "$(echo "$row" | awk -F, '{ printf "%.0f", $11 }')" B
done
row=$(HALVEX_BENCH_HOUR="$work/hour/MOV_0001F.MOV" inProcess BM_LoadHourTrack)
result load_hour_track "$(echo "$row" | awk -F, '{ printf "%.2f", $3 }')" ms
row=$(HALVEX_BENCH_HOUR="$work/spread/MOV_0001F.MOV" inProcess BM_LoadHourTrack)
result load_hour_track_spread "$(echo "$row" | awk -F, '{ printf "%.2f", $3 }')" ms
result load_hour_track_spread.cpu "$(echo "$row" | awk -F, '{ printf "%.2f", $4 }')" ms

exif=(exiftool -fast2 -r -q -q)
ours=("$cli" scan "$work/small")
peer=("${exif[@]}" "$work/small")
coldCard=$work/small warmCard=$work/one

say "== whole processes on the small card ($count files), warm, $runs paired runs (medians)"
timed "$cli" scan "$work/small" >/dev/null
timed "${exif[@]}" "$work/small" >/dev/null
pairs "$runs" :
report scan warm
warmHalvex=$oursWall

say "== whole processes on the small card, cold, $coldRuns paired runs (medians)"
pairs "$coldRuns" dropCache
if [ "$lines" = 1 ]; then echo "# cold page cache by $coldMethod"; else say "   (cold page cache by $coldMethod)"; fi
report scan cold

# The large card: copies of the small card side by side, hard links in
# folders of their own; what costs memory is the number of recordings.
manyCard() {
  if [ "$(cat "$work/many.made" 2>/dev/null)" != "$rssCount $count" ]; then
    rm -rf "$work/many"
    mkdir -p "$work/many"
    for ((k = 0; k * count < rssCount; k++)); do cp -al "$work/small" "$work/many/CARD$k"; done
    echo "$rssCount $count" >"$work/many.made"
  fi
}
if ((rssCount > 0)); then
  manyCard
  say "== peak memory of halvex-cli scan --json, $rssCount recordings"
  /usr/bin/time -o "$work/time.txt" -f %M "$cli" scan --json "$work/many" >/dev/null 2>&1
  result scan.json_many.peak_rss "$(awk '{ printf "%.1f", $1 / 1024 }' "$work/time.txt" | tail -1)" MiB
  result scan.json_many.files "$(find "$work/many" -type f | wc -l)" files
fi

if ((ffprobeFiles > 0)); then
  say "== ffprobe once per file, the first $ffprobeFiles files of the small card (warm)"
  t=$(seconds bash -c 'find "$1" -type f -print0 | head -z -n "$2" |
        while IFS= read -r -d "" f; do ffprobe -v error -show_format -show_streams "$f"; done' \
        _ "$work/small" "$ffprobeFiles")
  perFfprobe=$(awk -v t="$t" -v n="$ffprobeFiles" 'BEGIN { printf "%.5f", t / n }')
  perHalvex=$(awk -v t="$warmHalvex" -v n="$count" 'BEGIN { printf "%.6f", t / n }')
  result scan.ffprobe.per_file "$perFfprobe" s
  result scan.halvex.per_file "$perHalvex" s
  result scan.ffprobe.ratio "$(ratio "$perFfprobe" "$perHalvex")" x
fi
