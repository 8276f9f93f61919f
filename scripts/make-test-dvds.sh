#!/usr/bin/env bash
# make-test-dvds.sh OUTDIR
#
# Builds the discs that exercise what the sample disc does not (make-sample-dvd.sh keeps that one):
#   OUTDIR/ntsc-dvd/VIDEO_TS/   NTSC (29.97 frames/s) disc without menus, first play -> title 1:
#     title 1 (title set 1): 10 s, chapters 0:00 and 0:05; audio 0 "en" AC-3, audio 1 "de" LPCM;
#                            sub-picture 0 "en", one cue a second: n.000 to n.900 s, n = 1..9
#     title 2 (title set 1): 4 s; only audio stream 1 ("de" LPCM) present, stream 0 absent
#     title 3 (title set 2): 4 s; audio 0 "en" AC-3
#   Every title picture carries its frame number within the title as a bar code along the top
#   (bit b is the 48-pixel box at x = 48 b, y 0..47, white = 1) and as digits, plus the time;
#   the bottom band (y 360..479) is black but for the sub-pictures.
# Encoded with bitexact flags, so two runs give identical bytes.
set -euo pipefail

source "$(dirname "$0")/dvd-authoring.sh"
dvd_authoring_start make-test-dvds NTSC "ffmpeg dvdauthor spumux perl" "$@"
# NTSC DVD video, 15-frame closed GOPs (about half a second) with B-frames.
DVDVIDEO=(-c:v mpeg2video -r 30000/1001 -b:v 2500k -maxrate 6000k -bufsize 1835k -g 15 -bf 2 -flags:v +cgop
          -sc_threshold 1000000000 -pix_fmt yuv420p -f dvd -muxrate 10080000 -packetsize 2048)

# The title picture: test pattern, frame bar code, digits, time, black band for the sub-pictures.
picture_filter() {
  local n=$1 vf="drawbox=x=0:y=0:w=480:h=48:color=black:t=fill"
  local b
  for b in $(seq 0 9); do
    vf+=",drawbox=x=$((48 * b)):y=0:w=48:h=48:color=white:t=fill:enable='mod(floor(n/pow(2\\,$b))\\,2)'"
  done
  vf+=",drawbox=x=0:y=360:w=720:h=120:color=black:t=fill"
  vf+=",drawtext=fontfile=$FONT:fontsize=36:fontcolor=white:box=1:boxcolor=black:x=500:y=6:text='%{frame_num}'"
  vf+=",drawtext=fontfile=$FONT:fontsize=32:fontcolor=yellow:box=1:boxcolor=black:x=40:y=80:text='NTSC TITLE $n'"
  vf+=",drawtext=fontfile=$FONT:fontsize=32:fontcolor=white:box=1:boxcolor=black:x=40:y=130:text='%{pts\\:hms}'"
  printf '%s' "$vf"
}

# title N SECONDS AUDIO...: AUDIO is ac3 or lpcm; the LPCM track is moved to sub-stream 0xA1
# (audio stream 1) because the muxer numbers each kind from 0.
make_title() {
  local n=$1 secs=$2
  shift 2
  local inputs=(-f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=$secs")
  local maps=(-map 0:v) codecs=() i=1 a=0 lpcm=0
  for kind in "$@"; do
    inputs+=(-f lavfi -i "sine=frequency=$((300 + 200 * i)):sample_rate=48000:duration=$secs")
    maps+=(-map "$i:a")
    if [ "$kind" = lpcm ]; then
      codecs+=("-c:a:$a" pcm_s16be) lpcm=1
    else
      codecs+=("-c:a:$a" ac3 "-b:a:$a" 128k)
    fi
    i=$((i + 1)) a=$((a + 1))
  done
  # (The muxer reports each LPCM packet larger than its buffer model; the DVD plays regardless.)
  "${FF[@]}" "${inputs[@]}" "${maps[@]}" -vf "$(picture_filter "$n")" -aspect 4:3 "${DVDVIDEO[@]}" \
    "${codecs[@]}" -ar 48000 -ac 2 "${BITEXACT[@]}" "$WORK/title$n.mpg" 2>"$WORK/title$n.log" ||
    { cat "$WORK/title$n.log" >&2; exit 1; }
  if [ $lpcm = 1 ]; then
    # Walk the 2048-byte packs and renumber private-stream-1 sub-stream 0xA0 as 0xA1.
    perl -e '
      local $/; open(my $f, "+<:raw", $ARGV[0]) or die; my $d = <$f>;
      for (my $p = 0; $p + 14 <= length($d); $p += 2048) {
        next unless substr($d, $p, 4) eq "\x00\x00\x01\xba";
        my $q = $p + 14 + (ord(substr($d, $p + 13, 1)) & 7);
        while ($q + 9 < $p + 2048 && substr($d, $q, 3) eq "\x00\x00\x01") {
          my $id = ord(substr($d, $q + 3, 1));
          my $len = unpack("n", substr($d, $q + 4, 2));
          if ($id == 0xbd) {
            my $s = $q + 9 + ord(substr($d, $q + 8, 1));
            substr($d, $s, 1) = "\xa1" if ord(substr($d, $s, 1)) == 0xa0;
          }
          $q += 6 + $len;
        }
      }
      seek($f, 0, 0); print $f $d; close($f);' "$WORK/title$n.mpg"
  fi
}

echo "make-test-dvds: encoding"
make_title 1 10 ac3 lpcm
make_title 2 4 lpcm
make_title 3 4 ac3

# One sub-picture cue a second, shown for nine tenths of it.
: >"$WORK/cues.srt"
for k in $(seq 1 9); do
  printf '%d\n00:00:%02d,000 --> 00:00:%02d,900\nCue %d\n\n' "$k" "$k" "$k" "$k" >>"$WORK/cues.srt"
done
cat >"$WORK/cues.xml" <<EOF
<subpictures format="NTSC">
 <stream>
  <textsub filename="$WORK/cues.srt" characterset="UTF-8" fontsize="36.0" font="DejaVuSans.ttf"
   horizontal-alignment="center" vertical-alignment="bottom" bottom-margin="40"
   movie-fps="29.97" movie-width="720" movie-height="480" subtitle-fps="29.97"/>
 </stream>
</subpictures>
EOF
spumux -s 0 "$WORK/cues.xml" <"$WORK/title1.mpg" >"$WORK/title1-sub.mpg" 2>"$WORK/cues.log" ||
  { cat "$WORK/cues.log" >&2; exit 1; }

cat >"$WORK/ntsc.xml" <<EOF
<dvdauthor dest="$OUT/ntsc-dvd" jumppad="no">
 <vmgm>
  <fpc>jump title 1;</fpc>
 </vmgm>
 <titleset>
  <titles>
   <video format="ntsc" aspect="4:3"/>
   <audio format="ac3" lang="en"/>
   <audio format="pcm" lang="de"/>
   <subpicture lang="en"/>
   <pgc>
    <vob file="$WORK/title1-sub.mpg" chapters="0:00,0:05"/>
   </pgc>
   <pgc>
    <vob file="$WORK/title2.mpg"/>
   </pgc>
  </titles>
 </titleset>
 <titleset>
  <titles>
   <video format="ntsc" aspect="4:3"/>
   <audio format="ac3" lang="en"/>
   <pgc>
    <vob file="$WORK/title3.mpg"/>
   </pgc>
  </titles>
 </titleset>
</dvdauthor>
EOF
echo "make-test-dvds: authoring"
rm -rf "$OUT/ntsc-dvd"
dvdauthor -x "$WORK/ntsc.xml" >"$WORK/dvdauthor.log" 2>&1 || { cat "$WORK/dvdauthor.log" >&2; exit 1; }
# dvdauthor marks every stream of the title set present in every program chain; a disc made
# otherwise leaves audio stream 0 out of title 2's (audio control word 0 of PGC 2 cleared).
for f in "$OUT/ntsc-dvd/VIDEO_TS/VTS_01_0.IFO" "$OUT/ntsc-dvd/VIDEO_TS/VTS_01_0.BUP"; do
  perl -e '
    local $/; open(my $f, "+<:raw", $ARGV[0]) or die; my $d = <$f>;
    my $pgcit = unpack("N", substr($d, 0xcc, 4)) * 2048;
    my $pgc = $pgcit + unpack("N", substr($d, $pgcit + 8 + 8 + 4, 4));
    substr($d, $pgc + 0x0c, 2) = "\x00\x00";
    seek($f, 0, 0); print $f $d; close($f);' "$f"
done
find "$OUT/ntsc-dvd" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
echo "make-test-dvds: done in $OUT ($(du -sh "$OUT/ntsc-dvd" | cut -f1) ntsc-dvd)"
