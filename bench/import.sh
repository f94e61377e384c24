#!/usr/bin/env bash
# Import benchmark: `halvex-cli import` of a card of front/rear pairs into a
# new library beside `cp -r` of the same card to the same disk (and `cp -r`
# followed by `sync`, since the import syncs each file before it names it),
# the card's pages warm for both; the import's peak memory; a second import
# of the same card (nothing to copy). Run by hand or from bench/run-all:
#   bench/import.sh [BUILD_DIR]            a report (default build/)
#   LINES=1 bench/import.sh [BUILD_DIR]    only "name value unit" lines
# WORK (default /tmp/halvex-bench-import) holds the card, made once and
# kept, and the copies; PAIRS (8) one-minute pairs of FRONT (90 MiB, a minute
# of 1080p at 12 Mbit/s) and REAR (45 MiB) bytes; RUNS (3) paired runs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${WORK:-/tmp/halvex-bench-import}
pairs=${PAIRS:-8}
front=${FRONT:-94371840}
rear=${REAR:-47185920}
runs=${RUNS:-3}
lines=${LINES:-0}

# shellcheck source=support/paired.sh
. bench/support/paired.sh

cmake --build "$build" --target halvex-bench-import halvex-cli >/dev/null
bench=${BENCH:-$build/bench/halvex-bench-import}
cli=${CLI:-$build/tools/halvex-cli}

mkdir -p "$work"
if [ "$(cat "$work/card.made" 2>/dev/null)" != "$pairs $front $rear" ]; then
  say "== making the card ($pairs pairs of $front and $rear bytes) in $work"
  "$bench" make-card "$work/card" "$pairs" "$front" "$rear"
  echo "$pairs $front $rear" >"$work/card.made"
fi
export XDG_CACHE_HOME=$work/xdg
bytes=$(du -sb "$work/card" | cut -f1)
result import.card.bytes "$bytes" B

# Wall, CPU and peak memory (KiB) of one run.
measured() {
  /usr/bin/time -o "$work/time.txt" -f "%e %U %S %M" "$@" >/dev/null 2>&1 || true
  tail -1 "$work/time.txt" | awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }'
}
fresh() {
  rm -rf "$work/cp" "$work/library"
  sync
  cat "$work"/card/DCIM/Movie/*/* >/dev/null
}

: >"$work/cp.txt"
: >"$work/cpsync.txt"
: >"$work/import.txt"
: >"$work/again.txt"
say "== $runs paired runs (medians)"
for ((i = 0; i < runs; i++)); do
  fresh
  start=$(date +%s.%N)
  measured cp -r "$work/card" "$work/cp" >>"$work/cp.txt"
  sync
  awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f\n", e - s }' >>"$work/cpsync.txt"
  fresh
  measured "$cli" import "$work/card" --library "$work/library" >>"$work/import.txt"
  measured "$cli" import "$work/card" --library "$work/library" >>"$work/again.txt"
done
cpWall=$(column 1 "$work/cp.txt")
cpSync=$(column 1 "$work/cpsync.txt")
importWall=$(column 1 "$work/import.txt")
result import.cp.wall "$cpWall" s
result import.cp_sync.wall "$cpSync" s
result import.halvex.wall "$importWall" s
result import.halvex.cpu "$(column 2 "$work/import.txt")" s
result import.speed_vs_cp "$(awk -v a="$cpWall" -v b="$importWall" 'BEGIN { printf "%.2f", a / b }')" x
result import.speed_vs_cp_sync "$(awk -v a="$cpSync" -v b="$importWall" 'BEGIN { printf "%.2f", a / b }')" x
result import.halvex.mb_per_s "$(awk -v n="$bytes" -v t="$importWall" 'BEGIN { printf "%.1f", n / t / 1e6 }')" MB/s
result import.halvex.peak "$(awk '{ print $3 / 1024 }' "$work/import.txt" | median)" MiB
result import.second.wall "$(column 1 "$work/again.txt")" s
rm -rf "$work/cp" "$work/library"
