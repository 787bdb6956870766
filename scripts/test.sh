#!/usr/bin/env bash
# Sets up, builds and runs every test: a plain build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash scripts/build.sh build-asan -DTW_SANITIZE=ON -DTW_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
