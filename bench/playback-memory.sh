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
echo "card: $files MOV files"

cd "$work"   # Halvex.ini of this run stays here
QTWEBENGINE_DISABLE_SANDBOX=1 xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$OLDPWD/$build/halvex" "$work/card" >/dev/null 2>&1 &
sleep 3
viewer=$(pgrep -n -f "$OLDPWD/$build/halvex $work/card" || true)
[ -n "$viewer" ] || { echo "viewer did not start" >&2; exit 1; }

echo "seconds rss_kib"
end=$((SECONDS + minutes * 60))
start=$SECONDS
while ((SECONDS < end)); do
  kill -0 "$viewer" 2>/dev/null || { echo "viewer exited" >&2; exit 1; }
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$viewer/status")
  echo "$((SECONDS - start)) $rss"
  sleep "$every"
done
