#!/usr/bin/env bash
# Runs one fuzz target for a while: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
# Builds the libFuzzer targets with clang into build-fuzz/ (once), fuzzes from the seed corpus
# fuzz/corpus/TARGET into build-fuzz/corpus/TARGET, and leaves any finding in
# build-fuzz/findings/TARGET/. A finding that is mended goes into fuzz/regression/TARGET/, which
# every build's ctest replays. Without arguments it lists the targets.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=$(sed -n 's/^set(TW_FUZZ_TARGETS \(.*\))$/\1/p' fuzz/CMakeLists.txt)
if [ $# -lt 1 ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]"
  echo "targets: $targets"
  exit 2
fi
target=$1
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
[[ " $targets " == *" $target "* ]] || { echo "fuzz.sh: no target $target (targets: $targets)"; exit 2; }

TW_FUZZ_SETUP=1 bash scripts/setup.sh
dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  mkdir -p "$dir"
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DTW_FUZZ=ON -DTW_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
fi
cmake --build "$dir" --target "fuzz_$target"

corpus=$dir/corpus/$target
findings=$dir/findings/$target
mkdir -p "$corpus" "$findings"
dict=()
case $target in
  ctd_reader) dict=(-dict=fuzz/dict/ctd_reader.dict) ;;
  series_file|series_load|series_round_trip) dict=(-dict=fuzz/dict/series.dict) ;;
  parameter_edit) dict=(-dict=fuzz/dict/ctd_reader.dict) ;;
  text_import) dict=(-dict=fuzz/dict/text_import.dict) ;;
  numbers|settings) dict=(-dict=fuzz/dict/numbers.dict) ;;
esac
# New inputs go into the first folder only; the seeds stay as they are.
exec "$dir/bin/fuzz_$target" "$corpus" "fuzz/corpus/$target" "${dict[@]}" -max_total_time="$seconds" \
  -artifact_prefix="$findings/" -print_final_stats=1 -rss_limit_mb=2048 -malloc_limit_mb=1024 "$@"
