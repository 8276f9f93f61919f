#!/usr/bin/env bash
# Times loading and showing a play list of 10,000 entries (target: under 300 ms) and a
# bookmark list of 500 with thumbnails (target: under 500 ms), and adding to and scrolling
# the long play list (target: under 50 ms each), and emptying it ("Delete All").
# Usage: bench/library/run.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target library-bench -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/library-bench" --benchmark_counters_tabular=true
