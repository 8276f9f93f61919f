#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs the whole test suite offscreen.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/setup-deps.sh
BUILD=${BUILD_DIR:-build}
JOBS=${JOBS:-$(nproc)}
# Warnings fail the build here as they do for developers.
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  ${CMAKE_EXTRA:-}
cmake --build "$BUILD" -j "$JOBS"
export QT_QPA_PLATFORM=offscreen
cd "$BUILD"
ctest --output-on-failure -j "$JOBS" ${CTEST_EXTRA:-}
