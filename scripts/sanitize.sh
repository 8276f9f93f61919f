#!/usr/bin/env bash
# Builds the test suites with AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/setup-deps.sh
BUILD=${BUILD_DIR:-build-asan}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON -DLUMORA_BENCH=OFF \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON ${CMAKE_EXTRA:-}
cmake --build "$BUILD" -j "${JOBS:-$(nproc)}"
export QT_QPA_PLATFORM=offscreen
# Only what third-party libraries keep for the process's lifetime is suppressed (see the file);
# a leak in the project's own code still fails.
export LSAN_OPTIONS="suppressions=$here/tests/sanitizer/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# GLib's slice allocator would hold GObjects in its own chunks, out of LeakSanitizer's sight: a
# missed unref of a libgsf object would go unseen.
export G_SLICE=always-malloc
cd "$BUILD"
ctest --output-on-failure -j "${JOBS:-$(nproc)}" -LE no_sanitize ${CTEST_EXTRA:-}
