#!/usr/bin/env bash
# Installs, builds, makes the sample DVD and starts the player on it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
if [ ! -d build/fixtures/sample-dvd/VIDEO_TS ]; then
  bash scripts/make-sample-dvd.sh build/fixtures
fi
exec build/bin/LumoraDVD "$here/build/fixtures/sample-dvd/VIDEO_TS/VIDEO_TS.IFO"
