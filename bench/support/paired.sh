# Sourced by the benchmarks that time our command beside a peer's on the same
# card, in pairs. The caller sets `lines` (1: only "name value unit" lines),
# `work` (a scratch folder) and the arrays `ours` and `peer` (the two
# commands, the card last).

say() { [ "$lines" = 1 ] || echo "$@"; }
# One machine-readable result; also shown in the report.
result() {
  if [ "$lines" = 1 ]; then echo "$1 $2 $3"; else printf '   %-36s %12s %s\n' "$1" "$2" "$3"; fi
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

# Wall and CPU (user + system) seconds of one run of a command, its output
# dropped; on a busy machine the CPU time is the steadier figure.
timed() {
  /usr/bin/time -o "$work/time.txt" -f "%e %U %S" "$@" >/dev/null 2>&1 || true
  tail -1 "$work/time.txt" | awk '{ printf "%s %.2f\n", $1, $2 + $3 }'
}
seconds() { timed "$@" | cut -d' ' -f1; }
column() { awk -v c="$1" '{ print $c }' "$2" | median; }

# Runs ours and the peer's N times each, in pairs, each after PREPARE.
pairs() {
  local n=$1 prepare=$2 i
  : >"$work/halvex.txt"
  : >"$work/exif.txt"
  for ((i = 0; i < n; i++)); do
    $prepare
    timed "${ours[@]}" >>"$work/halvex.txt"
    $prepare
    timed "${peer[@]}" >>"$work/exif.txt"
  done
}

# The medians of the last pairs as results named PREFIX.KIND.*; the wall
# time of ours is left in `oursWall`.
report() {
  local prefix=$1 kind=$2 wallH wallE cpuH cpuE
  wallH=$(column 1 "$work/halvex.txt")
  wallE=$(column 1 "$work/exif.txt")
  cpuH=$(column 2 "$work/halvex.txt")
  cpuE=$(column 2 "$work/exif.txt")
  result "$prefix.$kind.halvex" "$wallH" s
  result "$prefix.$kind.exiftool" "$wallE" s
  result "$prefix.$kind.ratio" "$(ratio "$wallE" "$wallH")" x
  result "$prefix.$kind.halvex.cpu" "$cpuH" s
  result "$prefix.$kind.exiftool.cpu" "$cpuE" s
  result "$prefix.$kind.ratio.cpu" "$(ratio "$cpuE" "$cpuH")" x
  oursWall=$wallH
}

# A cold card (`coldCard`): the page cache dropped whole when the container
# allows it, else each file of the card evicted (its data; the folder entries
# stay). Both commands then run once on `warmCard`, so only the card is cold,
# not the programs and their libraries. `coldMethod` says which way.
coldMethod=drop_caches
dropCache() {
  if [ "$coldMethod" = drop_caches ] && sync && (echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then
    :
  else
    coldMethod=evict_files
    find "$coldCard" -type f -exec dd if={} iflag=nocache count=0 status=none \;
  fi
  "${ours[@]:0:${#ours[@]}-1}" "$warmCard" >/dev/null 2>&1
  "${peer[@]:0:${#peer[@]}-1}" "$warmCard" >/dev/null 2>&1
}
