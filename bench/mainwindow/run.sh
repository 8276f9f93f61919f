#!/usr/bin/env bash
# Time from a resize of the main window to the next video frame drawn at the new size, for
# the sample DVD and a 720p file (target: under 50 ms), and from closing the window to the
# end of the process (target: under 300 ms), each beside mpv. Runs under Xvfb when it is
# installed (real X windows), else on the offscreen platform.
# usage: bench/mainwindow/run.sh [BUILD_DIR] [RESIZES]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
resizes=${2:-40}
cmake --build "$build" --target mainwindow-bench sample_fixtures -j2 >/dev/null
work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
clip="$work/clip.mp4"
ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=s=1280x720:r=30:d=30 \
  -c:v libx264 -preset ultrafast -pix_fmt yuv420p "$clip"
dvd="$build/fixtures/sample-dvd"
export LUMORA_AUDIO=null LUMORA_BIN_DIR="$build/bin"
if command -v Xvfb >/dev/null; then
  exec 3<> "$work/display"
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb
  echo "on Xvfb $DISPLAY"
else
  export QT_QPA_PLATFORM=offscreen
  echo "on the offscreen platform (no Xvfb)"
fi
"$build/bin/mainwindow-bench" dvd "$dvd" "$resizes"
"$build/bin/mainwindow-bench" file "$clip" "$resizes" | tee "$work/ours.txt"
# The peer on the same clip and display: mpv's own window resized through X.
if command -v mpv >/dev/null && [ "$QT_QPA_PLATFORM" = xcb ]; then
  python3 "$root/bench/mainwindow/mpv_resize.py" "$clip" "$resizes" | tee "$work/mpv.txt"
  median() { sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$1"; }
  awk -v ours="$(median "$work/ours.txt")" -v peer="$(median "$work/mpv.txt")" \
    'BEGIN { if (ours > 0 && peer > 0) printf "file resize, player / mpv (medians): %.2f\n", ours / peer }'
fi
# Closing the window while playing, to the end of the process, and mpv beside it.
if command -v Xvfb >/dev/null && command -v openbox >/dev/null && command -v wmctrl >/dev/null; then
  LUMORA_SOURCE_DIR="$root" LUMORA_FIXTURE_DIR="$build/fixtures" \
    PYTHONPATH="$root/tests/userflow" PYTHONDONTWRITEBYTECODE=1 \
    python3 "$root/bench/mainwindow/exit_time.py" "$clip"
fi
