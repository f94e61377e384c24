#!/usr/bin/env bash
# Plays a demo card in a loop (Loop is on at start) in the real window under
# Xvfb and samples the viewer's resident memory, to show that memory stays
# flat while file after file is opened.
#   bench/playback-memory.sh [BUILD_DIR] [MINUTES] [SAMPLE_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
minutes=${2:-5}
every=${3:-10}

work=$(mktemp -d)
trap 'kill "$viewer" 2>/dev/null || true; rm -rf "$work"' EXIT
"$build/tools/halvex-synth" demo-card "$work/card" >/dev/null
files=$(find "$work/card" -name '*.MOV' | wc -l)
# Pairs play side by side, so one pass lasts as long as the groups together.
pass=$("$build/tools/halvex-cli" scan --json "$work/card" 2>/dev/null |
  python3 -c 'import json,sys; print(sum(g["totalDurationMs"] for g in json.load(sys.stdin)["groups"]) // 1000)')
echo "card: $files MOV files, one pass of $pass s"

cd "$work"   # Halvex.ini of this run stays here
QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$OLDPWD/$build/halvex" "$work/card" >/dev/null 2>&1 &
sleep 3
viewer=$(pgrep -n -f "$OLDPWD/$build/halvex $work/card" || true)
[ -n "$viewer" ] || { echo "viewer did not start" >&2; exit 1; }

echo "seconds rss_kib playing"
end=$((SECONDS + minutes * 60))
start=$SECONDS
first=0 high=0 rss=0
while ((SECONDS < end)); do
  kill -0 "$viewer" 2>/dev/null || { echo "viewer exited" >&2; exit 1; }
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$viewer/status")
  at=$((SECONDS - start))
  # The front file open at the moment shows that the loop goes on.
  playing=$(find "/proc/$viewer/fd" -lname "$work/card/*" -printf '%l\n' 2>/dev/null |
    grep -v '_b\.\|R\.MOV' | head -1 | xargs -r basename || true)
  echo "$at $rss ${playing:--}"
  # What the first pass leaves is warm-up (plug-ins, fonts, caches); a leak
  # shows as growth on the passes after it.
  if ((at <= pass)); then first=$rss; elif ((rss > high)); then high=$rss; fi
  sleep "$every"
done
if ((high > 0)); then
  echo "after the first pass: $((first / 1024)) MiB; highest since: $((high / 1024)) MiB; last: $((rss / 1024)) MiB"
fi
