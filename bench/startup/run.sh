#!/usr/bin/env bash
# Time from process start to the main window first shown, for the player and,
# beside it, mpv opening a small clip to its first frame.
# usage: bench/startup/run.sh [BUILD_DIR] [RUNS]
set -euo pipefail
BUILD=${1:-build}
RUNS=${2:-10}
PLAYER=$(cd "$BUILD/bin" && pwd)/LumoraDVD
[ -x "$PLAYER" ] || { echo "no player at $PLAYER" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -m 700 "$WORK/run"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export LUMORA_AUDIO=null LUMORA_HOME="$WORK/home" LUMORA_RUNTIME_DIR="$WORK/run"
export LUMORA_BENCH_STARTUP=1

now_ms() { date +%s%3N; }

median() { sort -n | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print int((a[NR/2]+a[NR/2+1])/2)}'; }

one_player_run() {
  rm -rf "$LUMORA_HOME"; mkdir -p "$LUMORA_HOME"
  local out="$WORK/out.txt" start shown pid
  start=$(now_ms)
  "$PLAYER" -pd x >"$out" 2>/dev/null &
  pid=$!
  for _ in $(seq 1 1200); do
    shown=$(awk '/^LUMORA_FIRST_SHOWN/ {print $2}' "$out")
    [ -n "$shown" ] && break
    sleep 0.025
  done
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  # A run that never showed its window is reported and left out.
  [ -n "$shown" ] || { echo "  (a run never showed its window)" >&2; return 0; }
  echo $((shown - start))
}

echo "player start to first show, $RUNS runs ($QT_QPA_PLATFORM):"
for _ in $(seq 1 "$RUNS"); do one_player_run; done >"$WORK/player.txt"
[ -s "$WORK/player.txt" ] || { echo "no run showed the window" >&2; exit 1; }
P=$(median <"$WORK/player.txt")
echo "  LumoraDVD median ${P} ms (min $(sort -n "$WORK/player.txt" | head -1), max $(sort -n "$WORK/player.txt" | tail -1))"

if command -v mpv >/dev/null && command -v ffmpeg >/dev/null; then
  ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=s=320x240:r=25:d=2 \
    -c:v libx264 -preset ultrafast "$WORK/clip.mp4"
  for _ in $(seq 1 "$RUNS"); do
    s=$(now_ms)
    mpv --no-config --vo=null --ao=null --frames=1 "$WORK/clip.mp4" >/dev/null 2>&1
    echo $(( $(now_ms) - s ))
  done >"$WORK/mpv.txt"
  M=$(median <"$WORK/mpv.txt")
  echo "  mpv (--vo=null, first frame of a clip, then exit) median ${M} ms"
  awk -v p="$P" -v m="$M" 'BEGIN { if (m > 0) printf "  ratio LumoraDVD / mpv: %.2f\n", p / m }'
fi
