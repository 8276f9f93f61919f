#!/usr/bin/env bash
# Screenshots of the real player on the sample DVD under Xvfb, for every shipped skin, with
# the control bar docked and floating, in the normal and the maximised layout (a double click
# on the title strip; skins without a maximised layout go to full screen there instead).
# usage: scripts/mainwindow-screenshots.sh [BUILD_DIR] [OUT_DIR] [--wm]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$build/screenshots/mainwindow}
wm=${3:-}
mkdir -p "$out"
out=$(cd "$out" && pwd)
dvd="$build/fixtures/sample-dvd"
[ -d "$dvd" ] || cmake --build "$build" --target sample_fixtures >/dev/null
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
exec 3<>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb LUMORA_AUDIO=null
if [ "$wm" = --wm ]; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

for skin_dir in "$build"/bin/Skin/*/; do
  skin=$(basename "$skin_dir")
  for docked in 1 0; do
    name="$skin-$([ $docked = 1 ] && echo docked || echo floating)"
    home="$work/$name"
    mkdir -p "$home/run"
    printf '[GenOption]\r\nCurrentSkinPath=%s/bin/Skin/%s/\r\nb_DisplayControlPanel=%s\r\n' \
      "$build" "$skin" "$docked" >"$home/Option.ini"
    LUMORA_HOME="$home" LUMORA_RUNTIME_DIR="$home/run" "$build/bin/LumoraDVD" "$dvd" \
      >"$home/log" 2>&1 &
    player=$!
    id=
    for _ in $(seq 1 100); do
      id=$(xdotool search --name "^Lumora DVD Player Main Window$" 2>/dev/null | head -1 || true)
      [ -n "$id" ] && break
      sleep 0.1
    done
    sleep 3
    import -window root "$out/$name-normal.png"
    if [ -n "$id" ]; then
      eval "$(xdotool getwindowgeometry --shell "$id")"
      xdotool mousemove $((X + WIDTH / 2)) $((Y + 8)) click --repeat 2 --delay 80 1
      sleep 2
      import -window root "$out/$name-maximised.png"
    fi
    kill "$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
    echo "$name: $(ls "$out/$name"-*.png | wc -l) screenshots"
  done
done
echo "screenshots in $out"
