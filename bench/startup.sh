#!/usr/bin/env bash
# Start-up benchmark, whole processes on a warm page cache: `halvex-cli
# --version` and `halvex-cli scan --json` of a card of COUNT small recordings
# beside the C floor reader (bench/startup/floor-reader.c: walks the same
# card and reads of each file the bytes the scan reads) and beside a process
# that does nothing (/bin/true), all in one run: ROUNDS hyperfine runs of the
# four commands, RUNS runs of each a round, medians over all the runs, and
# their CPU time (user + system); on a busy machine the CPU time is the
# steadier figure. Also the peak memory of the two halvex-cli commands. Run by hand or from
# bench/run-all:
#   bench/startup.sh [BUILD_DIR]           a report (default build/)
#   LINES=1 bench/startup.sh [BUILD_DIR]   only "name value unit" lines
# WORK (/tmp/halvex-bench-startup) keeps the card and the reader; COUNT
# (1000), ROUNDS (3), RUNS (20). CLI: another halvex-cli to time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${WORK:-/tmp/halvex-bench-startup}
count=${COUNT:-1000}
rounds=${ROUNDS:-3}
runs=${RUNS:-20}
lines=${LINES:-0}

# shellcheck source=support/paired.sh
. bench/support/paired.sh

command -v hyperfine >/dev/null || { echo "startup.sh: hyperfine is needed (apt install hyperfine)" >&2; exit 1; }
cmake --build "$build" --target halvex-bench-scan halvex-cli >/dev/null
cli=$(realpath "${CLI:-$build/tools/halvex-cli}")
mkdir -p "$work"
card=$work/card
if [ "$(cat "$work/card.made" 2>/dev/null)" != "$count" ]; then
  say "== making the card ($count recordings) in $work"
  rm -rf "$card"
  "$build/bench/halvex-bench-scan" make-card "$card" "$count" 0
  echo "$count" >"$work/card.made"
fi
cc -O2 -o "$work/floor-reader" bench/startup/floor-reader.c

# The reader reads every file the scan opens, no fewer.
read=$("$work/floor-reader" "$card")
scanned=$("$cli" scan --json "$card" | python3 -c 'import json, sys; print(json.load(sys.stdin)["scanCount"])')
[ "$read" -ge "$scanned" ] || { echo "startup.sh: the reader read $read files, the scan $scanned" >&2; exit 1; }

say "== whole processes, warm, $rounds rounds of $runs runs each (medians)"
: >"$work/times.txt"
for ((r = 0; r < rounds; r++)); do
  hyperfine -N --style none --warmup 3 --runs "$runs" --export-json "$work/round.json" \
    -n floor "$work/floor-reader $card" -n version "$cli --version" \
    -n scan "$cli scan --json $card" -n true "/bin/true" >/dev/null 2>&1
  python3 -c '
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    for t in r["times"]:
        print(r["command"], t, r["user"] + r["system"])
' "$work/round.json" >>"$work/times.txt"
done
med() { awk -v n="$1" '$1 == n { print $2 * 1000 }' "$work/times.txt" | median; }
# CPU (user + system): hyperfine gives its mean a round; the mean of those.
cpu() { awk -v n="$1" '$1 == n { s += $3; k++ } END { printf "%.2f", s / k * 1000 }' "$work/times.txt"; }
floor=$(med floor) version=$(med version) scan=$(med scan) none=$(med true)
result startup.floor_ms "$(printf %.2f "$floor")" ms
result startup.true_ms "$(printf %.2f "$none")" ms
result startup.version_ms "$(printf %.2f "$version")" ms
result startup.scan_ms "$(printf %.2f "$scan")" ms
result startup.scan.ratio "$(awk -v a="$scan" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')" x
result startup.version.ratio "$(awk -v a="$version" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')" x
result startup.floor.cpu_ms "$(cpu floor)" ms
result startup.version.cpu_ms "$(cpu version)" ms
result startup.scan.cpu_ms "$(cpu scan)" ms
result startup.scan.ratio.cpu "$(awk -v a="$(cpu scan)" -v b="$(cpu floor)" 'BEGIN { printf "%.2f", a / b }')" x
result startup.files "$scanned" files

say "== peak memory"
/usr/bin/time -o "$work/rss.txt" -f %M "$cli" --version >/dev/null
result startup.version.peak_rss "$(awk '{ printf "%.1f", $1 / 1024 }' "$work/rss.txt" | tail -1)" MiB
/usr/bin/time -o "$work/rss.txt" -f %M "$cli" scan --json "$card" >/dev/null
result startup.scan.peak_rss "$(awk '{ printf "%.1f", $1 / 1024 }' "$work/rss.txt" | tail -1)" MiB
say "== libraries loaded by halvex-cli"
result startup.libraries "$(ldd "$cli" | grep -c '=>')" libraries
