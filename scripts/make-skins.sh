#!/usr/bin/env bash
# Draws the shipped skins into a folder (default: the build's bin/Skin) with skingen.
# Usage: scripts/make-skins.sh [BUILD_DIR] [OUTPUT_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$build/bin/Skin}
cmake --build "$build" --target skingen -j2
QT_QPA_PLATFORM=offscreen "$build/bin/skingen" "$out" Default Aqua Graphite
echo "skins written to $out"
