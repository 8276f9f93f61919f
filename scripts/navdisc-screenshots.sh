#!/usr/bin/env bash
# scripts/navdisc-screenshots.sh [BUILD_DIR] [OUT_DIR]
# Pictures of the DVD engine in a real X window (Xvfb): the sample disc's menu with the
# highlight on button 1 and then on button 2 (4:3 menu pillarboxed in a 16:9 window), and
# title 1 playing (16:9, burnt-in frame numbers).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
OUT=${2:-$BUILD/screenshots/navdisc}
DISC=$BUILD/fixtures/sample-dvd/VIDEO_TS/
CLI=$BUILD/bin/navdisc-cli
[ -x "$CLI" ] || { echo "build navdisc-cli first" >&2; exit 1; }
[ -d "$DISC" ] || { echo "sample disc missing: cmake --build $BUILD --target sample_fixtures" >&2; exit 1; }
mkdir -p "$OUT"

DISPLAY_NUM=${NAVDISC_DISPLAY:-:97}
Xvfb "$DISPLAY_NUM" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true' EXIT
for _ in $(seq 50); do xdpyinfo -display "$DISPLAY_NUM" >/dev/null 2>&1 && break; sleep 0.1; done

DISPLAY=$DISPLAY_NUM QT_QPA_PLATFORM=xcb LUMORA_AUDIO=null "$CLI" --window 960x540 "$DISC" \
  "owner 120 0 720 540" play "waitfor EC_DVD_STILL_ON 8000" "wait 800" \
  "grab $OUT/menu-button1.png" \
  "button 2" "wait 800" "grab $OUT/menu-button2.png" \
  "title 1" "owner" "waitfor EC_DVD_CHAPTER_START 8000" "wait 2500" "grab $OUT/title1-playing.png" \
  "snapshot $OUT/title1-snapshot.bmp" stop
ls -l "$OUT"
