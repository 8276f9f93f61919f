# Sourced by the scripts that author DVD fixtures, after `set -euo pipefail`, as
#   dvd_authoring_start NAME VIDEO_FORMAT "TOOL ..." "$@"
# It takes OUTDIR from the arguments, checks the tools and fonts, makes a private work folder
# (removed on exit) with spumux's font home in it, and fixes the environment so two runs give
# identical bytes. It sets OUT, WORK, FONT, SUBFONT, FF and BITEXACT.
dvd_authoring_start() {
  local name=$1 format=$2 tools=$3 tool f
  shift 3
  if [ $# -ne 1 ]; then
    echo "usage: $name.sh OUTDIR" >&2
    exit 2
  fi
  OUT=$1
  mkdir -p "$OUT"
  OUT=$(cd "$OUT" && pwd)
  for tool in $tools; do
    command -v "$tool" >/dev/null || { echo "$name: $tool is missing (scripts/setup-deps.sh)" >&2; exit 1; }
  done
  FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
  SUBFONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  for f in "$FONT" "$SUBFONT"; do
    [ -f "$f" ] || { echo "$name: font $f is missing (fonts-dejavu-core)" >&2; exit 1; }
  done
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/lumora-$name.XXXXXX")
  trap 'rm -rf "$WORK"' EXIT
  # spumux finds text-subtitle fonts in $HOME/.spumux; keep it away from the user's home.
  mkdir -p "$WORK/home/.spumux"
  ln -s "$SUBFONT" "$WORK/home/.spumux/DejaVuSans.ttf"
  export HOME="$WORK/home" VIDEO_FORMAT=$format LC_ALL=C TZ=UTC SOURCE_DATE_EPOCH=946684800
  FF=(ffmpeg -hide_banner -loglevel error -nostdin -y)
  BITEXACT=(-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1 -threads 1)
}
