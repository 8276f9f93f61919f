#!/usr/bin/env bash
# bench/navdisc/run.sh [BUILD_DIR]
# The DVD engine beside the players a user would otherwise pick, on the sample disc:
#   decoding throughput against `ffmpeg -benchmark` on the title VOB (target >= 0.8),
#   CPU seconds per media second at normal speed into a 1280x720 window against mpv and VLC,
#   time to the first picture after render+play (< 200 ms), after a menu button and after a
#   seek (< 250 ms), and peak memory.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$ROOT/build}
BIN=$BUILD/bin
FIX=$BUILD/fixtures
DISC=$FIX/sample-dvd/VIDEO_TS/
export LUMORA_AUDIO=null QT_QPA_PLATFORM=offscreen
[ -x "$BIN/navdisc-bench" ] || { echo "build navdisc-bench first (cmake --build $BUILD --target navdisc-bench navdisc-cli)"; exit 1; }
[ -d "$DISC" ] || { echo "sample disc missing: cmake --build $BUILD --target sample_fixtures"; exit 1; }

echo "== Navdisc on $DISC"
"$BIN/navdisc-bench" "$DISC" 2>/dev/null | tee /tmp/navdisc-bench.$$
ours=$(awk '/^decode_cpu_fps/ {print $2}' /tmp/navdisc-bench.$$)

# ffmpeg decodes the title set's VOB (titles 1 and 2: 550 pictures) as fast as it can.
VOB=$FIX/sample-dvd/VIDEO_TS/VTS_01_1.VOB
# Compared on CPU time (user + system), which other work on the machine does not distort.
ff_out=$(ffmpeg -hide_banner -nostdin -benchmark -i "$VOB" -map 0:v -map 0:a:0 -f null - 2>&1 | tr '\r' '\n')
ff_frames=$(echo "$ff_out" | grep -E '^frame=' | tail -1 | sed -E 's/^frame= *([0-9]+).*/\1/')
ff_cpu=$(echo "$ff_out" | sed -nE 's/.*bench: utime=([0-9.]+)s stime=([0-9.]+)s.*/\1 \2/p' | awk '{print $1 + $2}')
if [ -n "$ff_cpu" ] && [ -n "$ff_frames" ]; then
  ff_fps=$(awk -v f="$ff_frames" -v t="$ff_cpu" 'BEGIN {printf "%.0f", f / t}')
  echo "ffmpeg_decode_cpu_fps $ff_fps frames/cpu-s"
  awk -v a="$ours" -v b="$ff_fps" 'BEGIN {printf "decode_ratio %.2f (target >= 0.8)\n", a / b}'
fi

# CPU per media second at 1x: title 1 (12 s) into a 1280x720 window.
cpu_of() { /usr/bin/time -f "%U %S" "$@" 2>&1 >/dev/null | tail -1 | awk '{print $1 + $2}'; }
ours_cpu=$(cpu_of "$BIN/navdisc-cli" --window 1280x720 "$DISC" play "title 1" "wait 12000")
echo "navdisc_cpu_per_media_s $(awk -v c="$ours_cpu" 'BEGIN {printf "%.3f", c / 12}')"
if command -v mpv >/dev/null; then
  mpv_cpu=$(cpu_of mpv --no-config --vo=null --ao=null --length=12 dvd://1 --dvd-device="$DISC")
  echo "mpv_cpu_per_media_s $(awk -v c="$mpv_cpu" 'BEGIN {printf "%.3f", c / 12}')"
else
  echo "mpv_cpu_per_media_s skipped (mpv not installed)"
fi
if command -v cvlc >/dev/null; then
  home=$(mktemp -d); chmod 777 "$home"
  vlc_cpu=$(HOME=$home cpu_of setpriv --reuid=65534 --regid=65534 --clear-groups \
    cvlc --intf dummy --vout dummy --aout dummy --run-time=12 --play-and-exit "dvd://$DISC")
  echo "vlc_cpu_per_media_s $(awk -v c="$vlc_cpu" 'BEGIN {printf "%.3f", c / 12}')"
  rm -rf "$home"
else
  echo "vlc_cpu_per_media_s skipped (VLC is not installed; it is not part of setup-deps)"
fi
rm -f /tmp/navdisc-bench.$$
