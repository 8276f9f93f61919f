#!/usr/bin/env bash
# Screenshots of the side panel's four pages, docked and floating, with each shipped skin,
# on a private Xvfb screen. Usage: scripts/side-panel-screenshots.sh [BUILD_DIR] [OUTPUT_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$build/side-panel-screenshots}
cmake --build "$build" --target sideshots lumora_skins -j2 >/dev/null
mkdir -p "$out"
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fifo"' EXIT
read -r display <"$fifo"
status=0
for skin in "$build"/bin/Skin/*/; do
  name=$(basename "$skin")
  if ! DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$build/bin/sideshots" "$skin" "$out/$name"; then
    echo "screenshots of $name failed" >&2
    status=1
  fi
done
ls -1 "$out"
exit $status
