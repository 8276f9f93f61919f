#!/usr/bin/env bash
# Times applying each shipped skin to all windows (target: under 150 ms for Default) and
# reports the memory the skinned windows hold. Usage: bench/skin/run.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target skin-bench -j2 >/dev/null
LUMORA_BIN_DIR="$build/bin" QT_QPA_PLATFORM=offscreen "$build/bin/skin-bench" \
  --benchmark_counters_tabular=true
