#!/usr/bin/env bash
# Hostile-card benchmark: time and peak memory of halvex-cli scan, info and
# track on crafted files (see bench/hostile/HostileCard.cpp). Run by hand:
#   bench/hostile.sh [BUILD_DIR] [CLI]    (default build/ and its halvex-cli)
# LIMIT (default 60) seconds before a run is stopped; WORK moves the files.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli=${2:-$build/tools/halvex-cli}
work=${WORK:-/tmp/halvex-bench-hostile}
limit=${LIMIT:-60}

cmake --build "$build" --target halvex-bench-hostile >/dev/null || exit 1
if [ ! -e "$work/many/FILE9999.MOV" ]; then
  rm -rf "$work"
  "$build/bench/halvex-bench-hostile" "$work" || exit 1
fi
# The yardstick: a real one-hour metadata-track recording.
if [ ! -e "$work/hour/MOV_0001F.MOV" ]; then
  cmake --build "$build" --target halvex-bench-scan >/dev/null &&
    "$build/bench/halvex-bench-scan" make-hour "$work/hour/MOV_0001F.MOV" || exit 1
fi

# A damaged AVI as a camera that preallocates leaves it: a header, then 1 GiB
# of written (not sparse) zeros or noise without a single known token.
damaged_avi() {
  [ -e "$1" ] && return 0
  mkdir -p "${1%/*}"
  { printf 'RIFF\xf0\xff\xff\xffAVI '; head -c 1073741824 "$2"; } >"$1.part" && mv "$1.part" "$1"
}
damaged_avi "$work/avi-1g-zeros/FILE0006.AVI" /dev/zero || exit 1
damaged_avi "$work/avi-1g-noise/FILE0007.AVI" /dev/urandom || exit 1

run() {
  local what=$1; shift
  local out
  /usr/bin/time -o "$work/time.txt" -f "%e %M" timeout -s KILL "$limit" "$cli" "$@" >/dev/null 2>&1
  out=$(tail -1 "$work/time.txt")
  local seconds=${out% *} kib=${out#* }
  if awk -v s="$seconds" -v l="$limit" 'BEGIN { exit !(s >= l - 0.05) }'; then
    printf '%-28s %-8s  > %3d s  (stopped)   %8.1f MiB\n' "$what" "$1" "$limit" "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')"
  else
    printf '%-28s %-8s  %7.2f s             %8.1f MiB\n' "$what" "$1" "$seconds" "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')"
  fi
}

echo "file                         command   time               peak memory"
run "hour/MOV_0001F.MOV (1 h)" info "$work/hour/MOV_0001F.MOV"
run "hour/MOV_0001F.MOV (1 h)" track "$work/hour/MOV_0001F.MOV"
echo "--"
for f in meta-64m/MOV_0001.MOV meta-4g/MOV_0002.MOV meta-day/MOV_0003.MOV \
         avi-damaged/FILE0004.AVI avi-zeros/FILE0005.AVI \
         avi-1g-zeros/FILE0006.AVI avi-1g-noise/FILE0007.AVI; do
  run "$f" scan "$work/${f%/*}"
  run "$f" info "$work/$f"
  run "$f" track "$work/$f"
done
run "many/ (10 003 entries)" scan "$work/many"
run "many/FILE0001.MOV" track "$work/many/FILE0001.MOV"
