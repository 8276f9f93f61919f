#!/usr/bin/env bash
# Media engine figures on a 1080p30 H.264 file made here:
#  - start to first frame on the surface (InitialGraph + RenderFile + PutOwner + PlayFile),
#    in a fresh process and again within a running one; target < 150 ms
#  - CPU seconds per media second at 1x, scaled into 1280x720, against mpv --vo=null --ao=null
#    on the same file; target ratio <= 2.0
#  - peak memory of both
# Usage: bench/clipcore/run.sh [build-dir]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
cli=$build/bin/clipcore-cli
[ -x "$cli" ] || { echo "run.sh: $cli not built (cmake --build $build --target clipcore-cli)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen LUMORA_AUDIO=null

seconds=10
media=$work/hd1080p30.mp4
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=s=1920x1080:r=30:d=$seconds" \
  -f lavfi -i "sine=f=440:d=$seconds" -c:v libx264 -preset veryfast -pix_fmt yuv420p \
  -c:a aac -shortest "$media"

median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "n/a"}'; }

echo "clipcore bench: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "media: 1920x1080 30 fps H.264 + AAC, $seconds s"

# First frame, fresh process each time (the library and libmpv start cold in the process).
cold=()
for i in 1 2 3 4 5; do
  ms=$(printf 'start %s\n' "$media" | "$cli" --size 1280x720 --script - 2>/dev/null |
       awk '/^firstframe/ {print $2}')
  cold+=("${ms:-nan}")
done
# First frame, repeated starts in one process (what a player does from the second file on).
warm=$(for i in 1 2 3 4 5 6; do printf 'start %s\nclose\n' "$media"; done |
       "$cli" --size 1280x720 --script - 2>/dev/null | awk '/^firstframe/ {print $2}' | tail -n +2)
# mpv's own start to its first frame on the same file and machine, for scale.
ref=()
for i in 1 2 3 4 5; do
  ms=$(mpv --no-config --vo=null --ao=null --frames=1 -v --msg-time "$media" 2>&1 |
       awk '/first video frame after restart shown/ {
              match($0, /[0-9]+\.[0-9]+/); printf "%d", substr($0, RSTART, RLENGTH) * 1000; exit}')
  ref+=("${ms:-nan}")
done
printf 'first frame, new process:  median %s ms  (all: %s)\n' \
  "$(printf '%s\n' "${cold[@]}" | median)" "${cold[*]}"
printf 'first frame, running:      median %s ms  (all: %s)\n' \
  "$(echo "$warm" | median)" "$(echo $warm)"
printf 'mpv --vo=null start to first frame: median %s ms  (all: %s)\n' \
  "$(printf '%s\n' "${ref[@]}" | median)" "${ref[*]}"

# CPU per media second at 1x into 1280x720, and peak memory.
out=$(printf 'start %s\nwaitend %d\n' "$media" $(( (seconds + 20) * 1000 )) |
      "$cli" --size 1280x720 --script - 2>/dev/null)
echo "$out" | grep -q '^event 1' || { echo "run.sh: playback did not reach the end"; exit 1; }
ours_cpu=$(echo "$out" | sed -n 's/^usage cpu=\([0-9.]*\) rss=.*/\1/p')
ours_rss=$(echo "$out" | sed -n 's/^usage cpu=.* rss=\([0-9]*\)/\1/p')
mpv_out=$( { /usr/bin/time -f 'TIME %U %S %M' mpv --no-config --really-quiet --vo=null --ao=null \
             "$media" >/dev/null; } 2>&1 | grep '^TIME')
mpv_cpu=$(echo "$mpv_out" | awk '{print $2 + $3}')
mpv_rss=$(echo "$mpv_out" | awk '{print $4}')
awk -v o="$ours_cpu" -v m="$mpv_cpu" -v s="$seconds" 'BEGIN {
  printf "cpu per media second at 1x: clipcore %.3f (1280x720 surface), mpv --vo=null %.3f, ratio %.2f\n",
         o / s, m / s, (m > 0 ? o / m : 0) }'
printf 'peak memory: clipcore-cli %d MB, mpv %d MB\n' $((ours_rss / 1024)) $((mpv_rss / 1024))
