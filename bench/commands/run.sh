#!/usr/bin/env bash
# Time from a key or click to the engine acting on it: Space to pause (target < 30 ms), a DVD
# arrow key to the highlight redrawn (target < 50 ms), a click on a DVD menu button to its
# title starting. Usage: bench/commands/run.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target commands-bench sample_fixtures -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=s=640x360:r=25:d=30 \
  -f lavfi -i sine=f=440:d=30 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac \
  -shortest "$work/clip.mp4"
LUMORA_BIN_DIR="$build/bin" LUMORA_AUDIO=${LUMORA_AUDIO:-null} QT_QPA_PLATFORM=offscreen \
  "$build/bin/commands-bench" "$work/clip.mp4" "$build/fixtures/sample-dvd/"
# The peer on the same clip: mpv told to pause over its IPC socket.
if command -v mpv >/dev/null; then
  python3 "$root/bench/commands/mpv_pause.py" "$work/clip.mp4"
fi
