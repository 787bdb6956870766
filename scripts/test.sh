#!/usr/bin/env bash
# Checks that every include points down the layout (the links are checked by the test
# layout_check, which needs the build tree), then sets up, builds and runs every test: a plain
# build, then the same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check_layout.sh
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash scripts/build.sh build-asan -DTW_SANITIZE=ON -DTW_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
