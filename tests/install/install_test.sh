#!/usr/bin/env bash
# install_test.sh BUILD_DIR: `cmake --install` into a temporary prefix, then checks that the
# installed program finds its libraries and skins, plays a file from there, and that the
# desktop entry and metainfo validate.
set -euo pipefail
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/lumora-prefix.XXXXXX")
home=$(mktemp -d "${TMPDIR:-/tmp}/lumora-home.XXXXXX")
trap 'rm -rf "$prefix" "$home"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/LumoraDVD lib/lumoradvd/libNavdisc.so lib/lumoradvd/libClipcore.so \
         share/LumoraDVD/Skin/Default/Skin.ini share/applications/org.lumoradvd.LumoraDVD.desktop \
         share/metainfo/org.lumoradvd.LumoraDVD.metainfo.xml share/man/man1/LumoraDVD.1 \
         share/icons/hicolor/scalable/apps/org.lumoradvd.LumoraDVD.svg \
         share/icons/hicolor/48x48/apps/org.lumoradvd.LumoraDVD.png; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
# Nothing of the build tree may be needed at run time.
if ldd "$prefix/bin/LumoraDVD" | grep -q "not found"; then fail "unresolved libraries"; fi
ldd "$prefix/bin/LumoraDVD" | grep -q "$prefix/bin/../lib/lumoradvd/libNavdisc.so" ||
  ldd "$prefix/bin/LumoraDVD" | grep -q "$prefix/lib/lumoradvd/libNavdisc.so" ||
  fail "the installed program does not load the installed DVD engine"
readelf -d "$prefix/bin/LumoraDVD" | grep -E 'R(UN)?PATH' | grep -q "$build" &&
  fail "the installed program still points into the build tree"

# The installed program plays a file, with its skin from the install's share folder.
clip="$home/clip.mp4"
ffmpeg -hide_banner -loglevel error -nostdin -f lavfi -i testsrc2=size=320x240:rate=25:duration=3 \
  -pix_fmt yuv420p "$clip"
mkdir -m 700 "$home/run"
report="$home/report.json"
LUMORA_HOME="$home/data" LUMORA_RUNTIME_DIR="$home/run" LUMORA_AUDIO=null LUMORA_TV=none \
  LUMORA_TEST_REPORT="$report" QT_QPA_PLATFORM=offscreen \
  timeout 90 "$prefix/bin/LumoraDVD" "$clip" >"$home/out.txt" 2>&1 &
pid=$!
# A busy machine can take many seconds to start the program and its engine.
for _ in $(seq 600); do
  grep -q '"PlayState":1' "$report" 2>/dev/null && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
kill -TERM $pid 2>/dev/null || true
wait $pid || true
grep -q '"PlayState":1' "$report" 2>/dev/null || { cat "$home/out.txt"; fail "the installed program did not play the file"; }
grep -q "share/LumoraDVD/Skin/Default/" "$home/data/Option.ini" ||
  fail "the installed program did not use the installed skins ($(grep -i skin "$home/data/Option.ini"))"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/org.lumoradvd.LumoraDVD.desktop" ||
    fail "desktop entry does not validate"
else
  echo "desktop-file-validate is missing: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.lumoradvd.LumoraDVD.metainfo.xml" ||
    fail "metainfo does not validate"
else
  echo "appstreamcli is missing: metainfo not validated"
fi
echo "1 passed, 0 failed"
