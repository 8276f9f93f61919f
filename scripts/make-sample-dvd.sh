#!/usr/bin/env bash
# make-sample-dvd.sh OUTDIR
#
# Builds the sample DVD-Video the tests, the demo and the benchmarks play:
#   OUTDIR/sample-dvd/VIDEO_TS/   menus, three titles, chapters, two audio and two subtitle languages
#   OUTDIR/nofp-dvd/VIDEO_TS/     the same disc with no first-play program (pointer cleared)
#   OUTDIR/deadfp-dvd/VIDEO_TS/   the same disc with a first-play program that jumps nowhere
#   OUTDIR/sample.iso             ISO image of sample-dvd, volume label LUMORA_SAMPLE
#   OUTDIR/README.txt             the exact layout (titles, chapters, buttons, languages)
# Everything is encoded with bitexact flags and fixed timestamps, so two runs give identical bytes.
set -euo pipefail

source "$(dirname "$0")/dvd-authoring.sh"
dvd_authoring_start make-sample-dvd PAL "ffmpeg dvdauthor spumux genisoimage" "$@"
# PAL DVD video, 10-frame closed GOPs (0.4 s) so chapter marks at whole seconds fall on a GOP.
DVDVIDEO=(-c:v mpeg2video -r 25 -b:v 1800k -maxrate 6000k -bufsize 1835k -g 10 -bf 2 -flags:v +cgop -sc_threshold 1000000000
          -pix_fmt yuv420p -c:a ac3 -b:a 128k -ar 48000 -ac 2 -f dvd -muxrate 10080000 -packetsize 2048)

# title N, seconds, aspect, caption, audio tones (Hz)...
make_title() {
  local n=$1 secs=$2 aspect=$3 caption=$4
  shift 4
  local inputs=(-f lavfi -i "testsrc2=size=720x576:rate=25:duration=$secs")
  local maps=(-map 0:v)
  local i=1
  for hz in "$@"; do
    inputs+=(-f lavfi -i "sine=frequency=$hz:sample_rate=48000:duration=$secs")
    maps+=(-map "$i:a")
    i=$((i + 1))
  done
  local text="drawtext=fontfile=$FONT:fontsize=56:fontcolor=white:box=1:boxcolor=black@0.7:x=40:y=40:text='TITLE $n'"
  text+=",drawtext=fontfile=$FONT:fontsize=40:fontcolor=yellow:box=1:boxcolor=black@0.7:x=40:y=120:text='$caption'"
  text+=",drawtext=fontfile=$FONT:fontsize=40:fontcolor=white:box=1:boxcolor=black@0.7:x=40:y=440:text='frame %{frame_num}  time %{pts\\:hms}'"
  "${FF[@]}" "${inputs[@]}" "${maps[@]}" -vf "$text" -aspect "$aspect" "${DVDVIDEO[@]}" "${BITEXACT[@]}" \
    "$WORK/title$n.mpg"
}

# Buttons of both menus, in picture coordinates (720x576, 4:3 menus): three clearly separated rows.
BTN_X0=200 BTN_X1=520
BTN_Y0=(140 260 380)
BTN_Y1=(220 340 460)

# menu NAME, heading, three labels: a one-second still background with the labels burnt in.
make_menu() {
  local name=$1 heading=$2
  shift 2
  local vf="drawtext=fontfile=$FONT:fontsize=48:fontcolor=white:x=(w-text_w)/2:y=50:text='$heading'"
  local i
  for i in 0 1 2; do
    local y0=${BTN_Y0[$i]} h=$((BTN_Y1[$i] - BTN_Y0[$i]))
    vf+=",drawbox=x=$BTN_X0:y=$y0:w=$((BTN_X1 - BTN_X0)):h=$h:color=0x203060:t=fill"
    vf+=",drawtext=fontfile=$FONT:fontsize=36:fontcolor=white:x=(w-text_w)/2:y=$((y0 + h / 2 - 18)):text='$1'"
    shift
  done
  "${FF[@]}" -f lavfi -i "color=c=0x101828:size=720x576:rate=25:duration=1" \
    -f lavfi -i "anullsrc=channel_layout=stereo:sample_rate=48000" -t 1 \
    -map 0:v -map 1:a -vf "$vf" -aspect 4:3 "${DVDVIDEO[@]}" "${BITEXACT[@]}" "$WORK/$name-bg.mpg"
  # Button overlays: frame (normal), yellow (selected), red (activated).
  local draw_norm="" draw_hl="" draw_sel=""
  for i in 0 1 2; do
    # Inside the button rectangle (highlight colours apply only there); black becomes transparent.
    local box="x=$BTN_X0:y=${BTN_Y0[$i]}:w=$((BTN_X1 - BTN_X0)):h=$((BTN_Y1[$i] - BTN_Y0[$i])):t=6"
    draw_norm+=",drawbox=$box:color=0x808080@1.0"
    draw_hl+=",drawbox=$box:color=0xFFFF00@1.0"
    draw_sel+=",drawbox=$box:color=0xFF0000@1.0"
  done
  local kind draw
  for kind in norm hl sel; do
    case $kind in norm) draw=$draw_norm ;; hl) draw=$draw_hl ;; sel) draw=$draw_sel ;; esac
    "${FF[@]}" -f lavfi -i "color=c=black:size=720x576,format=rgba$draw,colorkey=0x000000:0.01:0" -frames:v 1 \
      "${BITEXACT[@]}" "$WORK/$name-$kind.png"
  done
  cat >"$WORK/$name.xml" <<EOF
<subpictures format="PAL">
 <stream>
  <spu start="00:00:00.00" image="$WORK/$name-norm.png" highlight="$WORK/$name-hl.png" select="$WORK/$name-sel.png" force="yes">
   <button name="b1" x0="$BTN_X0" y0="${BTN_Y0[0]}" x1="$BTN_X1" y1="${BTN_Y1[0]}" up="b3" down="b2"/>
   <button name="b2" x0="$BTN_X0" y0="${BTN_Y0[1]}" x1="$BTN_X1" y1="${BTN_Y1[1]}" up="b1" down="b3"/>
   <button name="b3" x0="$BTN_X0" y0="${BTN_Y0[2]}" x1="$BTN_X1" y1="${BTN_Y1[2]}" up="b2" down="b1"/>
  </spu>
 </stream>
</subpictures>
EOF
  spumux -s 0 "$WORK/$name.xml" <"$WORK/$name-bg.mpg" >"$WORK/$name.mpg" 2>"$WORK/$name.log" ||
    { cat "$WORK/$name.log" >&2; exit 1; }
}

# subtitle FILE stream LANGUAGE-TEXT: one cue per chapter-ish stretch of title 1.
add_subtitles() {
  local in=$1 out=$2 stream=$3 srt=$4
  cat >"$WORK/sub$stream.xml" <<EOF
<subpictures format="PAL">
 <stream>
  <textsub filename="$srt" characterset="UTF-8" fontsize="28.0" font="DejaVuSans.ttf"
   horizontal-alignment="center" vertical-alignment="bottom" bottom-margin="60"
   movie-fps="25" movie-width="720" movie-height="576" subtitle-fps="25"/>
 </stream>
</subpictures>
EOF
  spumux -s "$stream" "$WORK/sub$stream.xml" <"$in" >"$out" 2>"$WORK/sub$stream.log" ||
    { cat "$WORK/sub$stream.log" >&2; exit 1; }
}

echo "make-sample-dvd: encoding titles"
make_title 1 12 16:9 'Chapters 1-3  EN 440 Hz / FR 880 Hz' 440 880
make_title 2 10 16:9 'Chapters 1-2  EN 660 Hz' 660
make_title 3 8 4:3 'Chapter 1  4x3  EN 330 Hz' 330

cat >"$WORK/en.srt" <<'EOF'
1
00:00:00,500 --> 00:00:03,500
English subtitle one

2
00:00:04,500 --> 00:00:07,500
English subtitle two

3
00:00:08,500 --> 00:00:11,500
English subtitle three
EOF
cat >"$WORK/fr.srt" <<'EOF'
1
00:00:00,500 --> 00:00:03,500
Sous-titre français un

2
00:00:04,500 --> 00:00:07,500
Sous-titre français deux

3
00:00:08,500 --> 00:00:11,500
Sous-titre français trois
EOF
add_subtitles "$WORK/title1.mpg" "$WORK/title1-s0.mpg" 0 "$WORK/en.srt"
add_subtitles "$WORK/title1-s0.mpg" "$WORK/title1-sub.mpg" 1 "$WORK/fr.srt"

echo "make-sample-dvd: building menus"
make_menu vmgm 'LumoraDVD Sample' 'Title 1' 'Title 2' 'Title 3'
make_menu vtsm 'Title Set 1' 'Play Title 1' 'Play Title 2' 'Main Menu'

# fpc: the first-play program. Title menu (VMGM) starts the titles; root menu of title set 1
# offers its two titles and the way back. Titles return to the main menu when they end.
write_dvd_xml() {
  local dest=$1 fpc=$2
  cat >"$WORK/dvd.xml" <<EOF
<dvdauthor dest="$dest" jumppad="no">
 <vmgm>
  <fpc>$fpc</fpc>
  <menus>
   <video format="pal" aspect="4:3"/>
   <audio lang="en"/>
   <pgc entry="title">
    <vob file="$WORK/vmgm.mpg" pause="inf"/>
    <button name="b1">jump title 1;</button>
    <button name="b2">jump title 2;</button>
    <button name="b3">jump title 3;</button>
   </pgc>
  </menus>
 </vmgm>
 <titleset>
  <menus>
   <video format="pal" aspect="4:3"/>
   <audio lang="en"/>
   <pgc entry="root">
    <vob file="$WORK/vtsm.mpg" pause="inf"/>
    <button name="b1">jump title 1;</button>
    <button name="b2">jump title 2;</button>
    <button name="b3">jump vmgm menu 1;</button>
   </pgc>
  </menus>
  <titles>
   <video format="pal" aspect="16:9" widescreen="nopanscan"/>
   <audio lang="en"/>
   <audio lang="fr"/>
   <subpicture lang="en"/>
   <subpicture lang="fr"/>
   <pgc>
    <vob file="$WORK/title1-sub.mpg" chapters="0:00,0:04,0:08"/>
    <post>call vmgm menu 1;</post>
   </pgc>
   <pgc>
    <vob file="$WORK/title2.mpg" chapters="0:00,0:06"/>
    <post>call vmgm menu 1;</post>
   </pgc>
  </titles>
 </titleset>
 <titleset>
  <titles>
   <video format="pal" aspect="4:3"/>
   <audio lang="en"/>
   <pgc>
    <vob file="$WORK/title3.mpg"/>
    <post>call vmgm menu 1;</post>
   </pgc>
  </titles>
 </titleset>
</dvdauthor>
EOF
}

echo "make-sample-dvd: authoring"
rm -rf "$OUT/sample-dvd" "$OUT/nofp-dvd" "$OUT/deadfp-dvd" "$OUT/sample.iso"
write_dvd_xml "$OUT/sample-dvd" "jump vmgm menu 1;"
dvdauthor -x "$WORK/dvd.xml" >"$WORK/dvdauthor.log" 2>&1 || { cat "$WORK/dvdauthor.log" >&2; exit 1; }

# No first-play program at all: clear the first-play PGC pointer (offset 0x84) in the IFO and its backup.
cp -r "$OUT/sample-dvd" "$OUT/nofp-dvd"
for f in "$OUT/nofp-dvd/VIDEO_TS/VIDEO_TS.IFO" "$OUT/nofp-dvd/VIDEO_TS/VIDEO_TS.BUP"; do
  printf '\0\0\0\0' | dd of="$f" bs=1 seek=$((0x84)) count=4 conv=notrunc status=none
done

# A first-play program that only sets a register and jumps nowhere: the navigator stops at once.
write_dvd_xml "$OUT/deadfp-dvd" "g0 = 1;"
dvdauthor -x "$WORK/dvd.xml" >"$WORK/dvdauthor-deadfp.log" 2>&1 || { cat "$WORK/dvdauthor-deadfp.log" >&2; exit 1; }

# Fixed file times; genisoimage still stamps the image with its creation time.
find "$OUT/sample-dvd" "$OUT/nofp-dvd" "$OUT/deadfp-dvd" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
# libdvdread reads image files through UDF, which xorriso does not write; genisoimage does.
genisoimage -quiet -dvd-video -udf -V LUMORA_SAMPLE -o "$OUT/sample.iso" "$OUT/sample-dvd" \
  >"$WORK/iso.log" 2>&1 || { cat "$WORK/iso.log" >&2; exit 1; }

cat >"$OUT/README.txt" <<EOF
LumoraDVD sample discs (made by scripts/make-sample-dvd.sh; do not edit)

sample-dvd/VIDEO_TS/   the full disc
nofp-dvd/VIDEO_TS/     same disc, first-play PGC pointer (VIDEO_TS.IFO/.BUP offset 0x84) cleared:
                       libdvdnav starts in the video-manager menu, reported as the first-play domain
deadfp-dvd/VIDEO_TS/   same disc, first-play program "g0 = 1;" that jumps nowhere:
                       libdvdnav stops at once (DVDNAV_STOP before any block)
sample.iso             ISO 9660/UDF image of sample-dvd, volume label LUMORA_SAMPLE
                       (identical content each run; only its creation timestamps differ)
                       (folders have no volume label)

Video: PAL 720x576, 25 frames/s, MPEG-2, 10-frame closed GOPs. Audio: AC-3 48 kHz stereo, sine tones.
Every title frame shows "TITLE n", a caption, and "frame N  time H:MM:SS.mmm" burnt in.

First play: jump to the video-manager menu (title menu, DVD_MENU_Title).

Video-manager menu (4:3, still, waits for the user), heading "LumoraDVD Sample":
  button 1 "Title 1"  rectangle x ${BTN_X0}..${BTN_X1}, y ${BTN_Y0[0]}..${BTN_Y1[0]}  -> jump title 1
  button 2 "Title 2"  rectangle x ${BTN_X0}..${BTN_X1}, y ${BTN_Y0[1]}..${BTN_Y1[1]}  -> jump title 2
  button 3 "Title 3"  rectangle x ${BTN_X0}..${BTN_X1}, y ${BTN_Y0[2]}..${BTN_Y1[2]}  -> jump title 3
  up/down move between them (wrapping); normal frame grey, selected yellow, activated red.
Title-set 1 root menu (DVD_MENU_Root from titles 1 and 2; 4:3, still), heading "Title Set 1":
  button 1 "Play Title 1"  same rectangles as above -> title 1
  button 2 "Play Title 2"                              -> title 2
  button 3 "Main Menu"                                 -> video-manager menu
Title set 2 has no menus.
Rectangles are in picture coordinates (720x576), x0..x1 and y0..y1 as authored.

Title 1 (title set 1, VTS_TTN 1): 16:9, 12 s, 3 chapters starting 0:00, 0:04, 0:08
  audio 0 "en" 440 Hz, audio 1 "fr" 880 Hz
  sub-picture 0 "en", sub-picture 1 "fr" (text cues 0.5-3.5 s, 4.5-7.5 s, 8.5-11.5 s)
Title 2 (title set 1, VTS_TTN 2): 16:9, 10 s, 2 chapters starting 0:00, 0:06; audio 0 "en" 660 Hz
Title 3 (title set 2, VTS_TTN 1): 4:3, 8 s, 1 chapter; audio 0 "en" 330 Hz
Every title ends with "call vmgm menu 1" (back to the video-manager menu).
EOF

echo "make-sample-dvd: done in $OUT"
for d in sample-dvd nofp-dvd deadfp-dvd; do
  printf '  %-12s %s\n' "$d" "$(du -sh "$OUT/$d" | cut -f1)"
done
printf '  %-12s %s\n' sample.iso "$(du -sh "$OUT/sample.iso" | cut -f1)"
echo "  titles: 1 (16:9, 12 s, 3 chapters, en/fr audio, en/fr subtitles), 2 (16:9, 10 s, 2 chapters), 3 (4:3, 8 s)"
echo "  layout: $OUT/README.txt"
