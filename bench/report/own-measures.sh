#!/usr/bin/env bash
# Whole-process figures bench/run-all takes itself, as `name value unit`
# lines: halvex-cli scan against exiftool -fast2 -r on the same card, in
# alternating pairs (medians), with a warm and with a dropped page cache; the
# peak resident memory of `halvex-cli scan --json` over a folder of 10 000
# recordings. A benchmark script that prints the same names wins over these.
#   bench/report/own-measures.sh CLI CARD MANY_FOLDER [PAIRS]
set -uo pipefail
cli=$1 card=$2 many=$3 pairs=${4:-5}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Wall seconds of one whole process, its output dropped.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || echo "# $1 failed (exit $?)" >&2
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }'
}

median() {
  sort -g | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

drop_cache() {
  sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null
}

if [ -d "$card" ]; then
  # One untimed pass each fills the page cache and the tools' own caches.
  seconds "$cli" scan "$card" >/dev/null
  seconds exiftool -fast2 -r -q -q "$card" >/dev/null
  for ((i = 0; i < pairs; i++)); do
    seconds "$cli" scan "$card" >>"$scratch/halvex-warm"
    seconds exiftool -fast2 -r -q -q "$card" >>"$scratch/exiftool-warm"
  done
  echo "scan.warm.halvex_s $(median <"$scratch/halvex-warm") s"
  echo "scan.warm.exiftool_s $(median <"$scratch/exiftool-warm") s"
  if drop_cache; then
    for ((i = 0; i < pairs; i++)); do
      drop_cache && seconds "$cli" scan "$card" >>"$scratch/halvex-cold"
      drop_cache && seconds exiftool -fast2 -r -q -q "$card" >>"$scratch/exiftool-cold"
    done
    echo "scan.cold.halvex_s $(median <"$scratch/halvex-cold") s"
    echo "scan.cold.exiftool_s $(median <"$scratch/exiftool-cold") s"
  else
    echo "# the page cache cannot be dropped here (not root?): no cold figures" >&2
  fi
fi

if [ -d "$many" ]; then
  /usr/bin/time -o "$scratch/json" -f "%M" "$cli" scan --json "$many" >/dev/null 2>&1
  echo "scan.json10k.peak_mib $(tail -1 "$scratch/json" | awk '{ printf "%.1f", $1 / 1024 }') MiB"
fi
