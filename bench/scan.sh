#!/usr/bin/env bash
# Folder scan benchmark: scan throughput on cards of small and of large
# (sparse) recordings, track loading of a one-hour recording, and exiftool and
# ffprobe on the same files for comparison. Run by hand:
#   bench/scan.sh [BUILD_DIR]      (default build/; WORK=/tmp/... to move the cards)
# COUNT (default 1000) recordings a card; EXTRA (default 256 MiB) of sparse
# media data added to each recording of the large cards.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${WORK:-/tmp/halvex-bench-scan}
count=${COUNT:-1000}
extra=${EXTRA:-268435456}
half=$((count / 2))

cmake --build "$build" --target halvex-bench-scan >/dev/null
bench="$build/bench/halvex-bench-scan"

echo "== making cards in $work (count $count, extra media $extra bytes)"
"$bench" make-card "$work/small" "$count" 0
"$bench" make-card "$work/large" "$count" "$extra"
"$bench" make-card "$work/half" "$half" "$extra"
"$bench" make-hour "$work/hour/MOV_0001F.MOV"
for card in small half large; do
  printf '%-6s %5d files, %8d MiB apparent, %6d MiB on disk\n' "$card" \
    "$(find "$work/$card" -type f | wc -l)" \
    "$(du -sm --apparent-size "$work/$card" | cut -f1)" "$(du -sm "$work/$card" | cut -f1)"
done

echo "== halvex scan (warm page cache)"
echo "   name                           wall time   cpu time   iterations  bytesRead/file  files  recordings  recordings/s"
for card in small half large; do
  echo "-- $card"
  HALVEX_BENCH_CARD="$work/$card" "$bench" --benchmark_filter=BM_ScanCard 2>/dev/null |
    grep BM_ScanCard
done

echo "== halvex LoadTrack of a one-hour metadata-track recording"
HALVEX_BENCH_HOUR="$work/hour/MOV_0001F.MOV" "$bench" --benchmark_filter=BM_LoadHourTrack \
  2>/dev/null | grep BM_LoadHourTrack

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

echo "== the same cards with other readers (one run each, warm cache)"
for card in small half large; do
  files=$(find "$work/$card" -type f | wc -l)
  t=$(seconds exiftool -fast2 -r -q -q "$work/$card")
  printf 'exiftool -fast2 -r   %-6s %7.2f s  %8.1f files/s\n' "$card" "$t" "$(awk -v n="$files" -v t="$t" 'BEGIN { print n / t }')"
  t=$(seconds bash -c 'find "$1" -type f -print0 | while IFS= read -r -d "" f; do
        ffprobe -v error -show_format -show_streams "$f"; done' _ "$work/$card")
  printf 'ffprobe per file     %-6s %7.2f s  %8.1f files/s\n' "$card" "$t" "$(awk -v n="$files" -v t="$t" 'BEGIN { print n / t }')"
done
