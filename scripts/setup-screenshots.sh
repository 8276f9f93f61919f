#!/bin/sh
# Pictures of the settings dialog's three pages at 1x and 2x under a private Xvfb.
# Usage: scripts/setup-screenshots.sh [BUILD_DIR] [OUTDIR]
set -eu
build=${1:-build}
out=${2:-$build/screenshots/setup}
helper=$build/bin/settings_screens
[ -x "$helper" ] || { echo "build the settings_screens target first" >&2; exit 1; }
mkdir -p "$out"
exec 3>&1
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 4 -screen 0 1600x1200x24 -nolisten tcp 4>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fifo"' EXIT
read -r display <"$fifo"
for scale in 1 2; do
  DISPLAY=:$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale LUMORA_BIN_DIR=$build/bin \
    "$helper" "$out/${scale}x"
done
echo "pictures in $out"
