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

say() { [ "$lines" = 1 ] || echo "$@"; }
# One machine-readable result; also shown in the report.
result() {
  if [ "$lines" = 1 ]; then echo "$1 $2 $3"; else printf '   %-36s %12s %s\n' "$1" "$2" "$3"; fi
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

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

# Wall and CPU (user + system) seconds of one run of a command, its output
# dropped; on a busy machine the CPU time is the steadier figure.
timed() {
  /usr/bin/time -o "$work/time.txt" -f "%e %U %S" "$@" >/dev/null 2>&1 || true
  tail -1 "$work/time.txt" | awk '{ printf "%s %.2f\n", $1, $2 + $3 }'
}
seconds() { timed "$@" | cut -d' ' -f1; }
column() { awk -v c="$1" '{ print $c }' "$2" | median; }
exif=(exiftool -fast2 -r -q -q)

# Runs halvex and exiftool on the small card, in pairs, after `prepare`.
pairs() {
  local n=$1 prepare=$2 i
  : >"$work/halvex.txt"
  : >"$work/exif.txt"
  for ((i = 0; i < n; i++)); do
    $prepare
    timed "$cli" scan "$work/small" >>"$work/halvex.txt"
    $prepare
    timed "${exif[@]}" "$work/small" >>"$work/exif.txt"
  done
}
report() {
  local kind=$1 wallH wallE cpuH cpuE
  wallH=$(column 1 "$work/halvex.txt")
  wallE=$(column 1 "$work/exif.txt")
  cpuH=$(column 2 "$work/halvex.txt")
  cpuE=$(column 2 "$work/exif.txt")
  result "scan.$kind.halvex" "$wallH" s
  result "scan.$kind.exiftool" "$wallE" s
  result "scan.$kind.ratio" "$(ratio "$wallE" "$wallH")" x
  result "scan.$kind.halvex.cpu" "$cpuH" s
  result "scan.$kind.exiftool.cpu" "$cpuE" s
  result "scan.$kind.ratio.cpu" "$(ratio "$cpuE" "$cpuH")" x
  [ "$kind" != warm ] || warmHalvex=$wallH
}

say "== whole processes on the small card ($count files), warm, $runs paired runs (medians)"
timed "$cli" scan "$work/small" >/dev/null
timed "${exif[@]}" "$work/small" >/dev/null
pairs "$runs" :
report warm

# A cold card: the page cache dropped whole when the container allows it,
# else each file of the card evicted (its data; the folder entries stay).
coldMethod=drop_caches
dropCache() {
  if [ "$coldMethod" = drop_caches ] && sync && (echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then
    :
  else
    coldMethod=evict_files
    find "$work/small" -type f -exec dd if={} iflag=nocache count=0 status=none \;
  fi
  "$cli" scan "$work/one" >/dev/null 2>&1
  "${exif[@]}" "$work/one" >/dev/null 2>&1
}
say "== whole processes on the small card, cold, $coldRuns paired runs (medians)"
pairs "$coldRuns" dropCache
if [ "$lines" = 1 ]; then echo "# cold page cache by $coldMethod"; else say "   (cold page cache by $coldMethod)"; fi
report cold

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
