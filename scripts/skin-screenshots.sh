#!/usr/bin/env bash
# Screenshots of the real windows with each shipped skin under Xvfb: main window with the
# docked control bar, control panel, control bar, side panel, full-screen bar, button states,
# and the whole screen. Usage: scripts/skin-screenshots.sh [BUILD_DIR] [OUTPUT_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$build/skin-screenshots}
cmake --build "$build" --target skinshots lumora_skins -j2 >/dev/null
mkdir -p "$out"
status=0
for skin in "$build"/bin/Skin/*/; do
  name=$(basename "$skin")
  # Real X11 windows so shapes and stacking are what a desktop shows.
  if ! QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
      "$build/bin/skinshots" "$skin" "$out/$name"; then
    echo "screenshots of $name failed" >&2
    status=1
  fi
done
ls -1 "$out"
exit $status
