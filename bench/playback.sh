#!/usr/bin/env bash
# Steady playback and first picture of two 1080p30 recordings: the viewer
# (started as README starts it, the map pane showing the route) against two
# plain VLC players drawing into windows of the same geometry, in one run.
#   bench/playback.sh [BUILD_DIR]
#   PAIRS=3 SECONDS_MEASURED=20 WARMUP=5 WORK=/tmp/halvex-bench-playback BENCH_USER=benchuser
#   VIEWER=PROGRAM (default BUILD_DIR/halvex) VIEWER_INI=FILE (settings to start with)
# Each pair runs the viewer and the plain players once, in alternating order.
# Lines starting with "RESULT" are the figures (medians over the pairs).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
pairs=${PAIRS:-3}
seconds=${SECONDS_MEASURED:-20}
warmup=${WARMUP:-5}
work=${WORK:-/tmp/halvex-bench-playback}
user=${BENCH_USER:-benchuser}
bench=$build/bench/halvex-bench-playback
viewer_program=$(realpath "${VIEWER:-$build/halvex}")
[ -x "$bench" ] || { echo "build halvex-bench-playback first" >&2; exit 1; }

# VLC refuses to run as root; the plain players run as an ordinary user.
id "$user" >/dev/null 2>&1 || useradd -m "$user"

# Two recordings of a minute each, front and rear: the first shows still
# stripes of red, green and blue, the second the moving test picture, whose
# yellow, cyan and magenta tell its first picture from the first's.
card=$work/card
if [ ! -f "$card/.complete" ]; then
  rm -rf "$card" && mkdir -p "$card"
  for cam in F R; do
    "$build/tools/halvex-synth" file --kind mov-track --size 1920x1080 --fps 30 --duration 60 \
      --pattern rgbtestsrc --start "2021-07-04 18:30:05" --cache "$work/cache" \
      "$card/EVSW0001$cam.MOV" >/dev/null
    "$build/tools/halvex-synth" file --kind mov-track --size 1920x1080 --fps 30 --duration 60 \
      --pattern testsrc2 --start "2021-07-04 18:31:05" --drive-offset 60 --cache "$work/cache" \
      "$card/EVSW0002$cam.MOV" >/dev/null
  done
  touch "$card/.complete"
fi
chmod -R a+rX "$work"

# An X server of our own that any user may draw on.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1000x24 -ac -nolisten tcp >/dev/null 2>&1 &
xserver=$!
export DISPLAY=":$display"
: >"$work/children"
cleanup() {
  for p in $(cat "$work/children") "$xserver"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
sleep 1

percent() { awk -v s="$1" -v t="$seconds" 'BEGIN { printf "%.1f", 100 * s / t }'; }

# CPU over the measured span: the tree of each pid, then the X server.
measure_cpu() {
  "$bench" cpu "$seconds" "$@" "$xserver" | awk '{ print $3 }' | paste -sd' '
}

geometry=""
run_viewer() {
  local dir=$work/viewer
  rm -rf "$dir" && mkdir -p "$dir"
  [ -n "${VIEWER_INI:-}" ] && cp "$VIEWER_INI" "$dir/Halvex.ini"
  (cd "$dir" && QTWEBENGINE_DISABLE_SANDBOX=1 exec "$viewer_program" "$card" >/dev/null 2>&1) &
  local viewer=$!
  echo "$viewer" >>"$work/children"
  local tries=0
  until geometry=$("$bench" surfaces "$viewer" 2>/dev/null); do
    tries=$((tries + 1))
    ((tries < 120)) || { echo "viewer shows no pictures" >&2; exit 1; }
    sleep 0.5
  done
  # The window as a user sizes it: the M button (four fifths of the screen)
  # of the window as it first opens.
  local window
  window=$(xdotool search --pid "$viewer" --onlyvisible | head -1)
  xdotool mousemove --window "$window" 628 18 click 1
  sleep "$warmup"
  "$bench" surfaces "$viewer" >"$work/geometry"
  geometry=$(cat "$work/geometry")
  xdotool windowfocus --sync "$window"
  # The next recording, as a user starts it: the N key.
  local first
  first=$("$bench" first-frame $geometry -- xdotool key n | awk '/first_frame_ms/ { print $2 }' || true)
  sleep "$warmup"
  local cpu
  cpu=$(measure_cpu "$viewer")
  echo "vout viewer: $("$bench" vout "$viewer" | paste -sd' ')" >&2
  kill "$viewer"
  wait "$viewer" 2>/dev/null || true
  echo "$first $cpu" >"$work/viewer.out"
}

run_plain() {
  local ids
  "$bench" windows $geometry >"$work/windows.out" &
  local windows=$!
  echo "$windows" >>"$work/children"
  local tries=0
  until [ "$(wc -l <"$work/windows.out")" -ge 2 ]; do
    tries=$((tries + 1))
    ((tries < 120)) || { echo "plain windows did not open" >&2; exit 1; }
    sleep 0.25
  done
  ids=($(cat "$work/windows.out"))
  local launch=$work/launch.sh
  cat >"$launch" <<EOF
#!/bin/sh
runuser -u $user -- env DISPLAY=$DISPLAY cvlc -q --drawable-xid=${ids[0]} "$card/EVSW0002F.MOV" >/dev/null 2>&1 &
echo \$! >$work/plain.pids
runuser -u $user -- env DISPLAY=$DISPLAY cvlc -q --no-audio --drawable-xid=${ids[1]} "$card/EVSW0002R.MOV" >/dev/null 2>&1 &
echo \$! >>$work/plain.pids
EOF
  chmod +x "$launch"
  local first
  first=$("$bench" first-frame $geometry -- "$launch" | awk '/first_frame_ms/ { print $2 }' || true)
  local pids
  pids=$(cat "$work/plain.pids")
  sleep "$warmup"
  local both
  both=$(measure_cpu $pids)
  local vlc_vout
  vlc_vout=$(for p in $pids; do "$bench" vout "$p"; done | sort -u | paste -sd' ')
  echo "vout plain: $vlc_vout" >&2
  for p in $pids; do kill $(pgrep -P "$p") "$p" 2>/dev/null || true; done
  kill "$windows"
  wait "$windows" 2>/dev/null || true
  # Two trees: sum them, the X server stays last.
  echo "$first $(echo "$both" | awk '{ printf "%.3f %s", $1 + $2, $3 }')" >"$work/plain.out"
}

results=$work/results.txt
: >"$results"
# One unmeasured round first: the plain players' user builds its font and
# plug-in caches on its first start, the viewer its web engine's.
run_viewer
run_plain
# The plain windows take the geometry the viewer's surfaces had, so the
# first pair starts with the viewer.
for ((i = 1; i <= pairs; i++)); do
  if ((i % 2 == 1)); then
    run_viewer; run_plain
  else
    run_plain; run_viewer
  fi
  read -r vf vc vx <"$work/viewer.out"
  read -r pf pc px <"$work/plain.out"
  echo "pair $i viewer first_frame_ms $vf cpu_percent $(percent "$vc") xserver_percent $(percent "$vx")"
  echo "pair $i plain  first_frame_ms $pf cpu_percent $(percent "$pc") xserver_percent $(percent "$px")"
  echo "$vf $vc $vx $pf $pc $px" >>"$results"
done
echo "surfaces: $geometry" | paste -sd' '

python3 - "$results" "$seconds" <<'EOF'
import statistics, sys
rows = [list(map(float, l.split())) for l in open(sys.argv[1]) if l.strip()]
span = float(sys.argv[2])
col = lambda i: statistics.median(r[i] for r in rows)
vf, vc, vx, pf, pc, px = (col(i) for i in range(6))
print(f"RESULT playback_viewer_first_frame_ms {vf:.0f}")
print(f"RESULT playback_plain_first_frame_ms {pf:.0f}")
print(f"RESULT playback_first_frame_ratio {vf / pf:.2f}")
print(f"RESULT playback_viewer_cpu_percent {100 * vc / span:.1f}")
print(f"RESULT playback_plain_cpu_percent {100 * pc / span:.1f}")
print(f"RESULT playback_cpu_ratio {vc / pc:.2f}")
print(f"RESULT playback_cpu_ratio_with_xserver {(vc + vx) / (pc + px):.2f}")
EOF
