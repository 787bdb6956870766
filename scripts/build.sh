#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $1, with extra CMake options after it).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
mkdir -p "$dir"
cmake -S . -B "$dir" -G Ninja "$@" > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" -j"$(nproc)"
