#!/usr/bin/env bash
# The layout check, run on a small tree of two floors of its own: the clean tree passes, and each
# planted fault fails it with its message.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check_layout.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# numbers/ on the ground floor; diagram/ above it, with a core and widgets. What the clean tree
# holds must pass: std headers (<numbers> among them), angle and quoted includes that point down,
# a Qt header beside a core, an imported target and a plain library, a test that links the top.
make_tree() {
  local t=$1
  mkdir -p "$t/scripts" "$t/numbers" "$t/diagram/core" "$t/tests"
  cp "$script" "$t/scripts/"
  cat > "$t/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(LayoutFixture CXX)
add_library(Ext::gui INTERFACE IMPORTED)
add_subdirectory(numbers)
add_subdirectory(diagram)
add_subdirectory(tests)
EOF
  printf '#include <numbers>\n#include <string>\n' > "$t/numbers/numbers.h"
  printf '#include "numbers/numbers.h"\n' > "$t/numbers/numbers.cc"
  echo 'add_library(tw_numbers STATIC numbers.cc)' > "$t/numbers/CMakeLists.txt"
  printf '#include <numbers/numbers.h>\n#include <vector>\n' > "$t/diagram/core/ticks.hpp"
  printf '#include "diagram/core/ticks.hpp"\n' > "$t/diagram/core/ticks.cc"
  printf '#include <diagram/core/ticks.hpp>\n#include <QWidget>\n' > "$t/diagram/surface.cpp"
  cat > "$t/diagram/CMakeLists.txt" <<'EOF'
add_library(tw_diagram_core STATIC core/ticks.cc)
target_link_libraries(tw_diagram_core PUBLIC tw_numbers)
add_library(tw_diagram INTERFACE)
target_link_libraries(tw_diagram INTERFACE tw_diagram_core Ext::gui dl)
EOF
  printf '#include <diagram/core/ticks.hpp>\n' > "$t/tests/ticks_test.cpp"
  cat > "$t/tests/CMakeLists.txt" <<'EOF'
add_executable(ticks_test ticks_test.cpp)
target_link_libraries(ticks_test PRIVATE tw_diagram)
EOF
}

configure() {
  cmake -S "$1" -B "$1.build" -G Ninja > "$1.configure.log" 2>&1 || { cat "$1.configure.log"; exit 1; }
}

# expect NAME PASS|FAIL MESSAGE [BUILD-DIR]: runs the tree's own copy of the check.
expect() {
  local name=$1 want=$2 message=$3 out rc=0
  shift 3
  out=$(bash "$work/$name/scripts/check_layout.sh" "$@" 2>&1) || rc=$?
  if { [ "$want" = PASS ] && [ $rc != 0 ]; } || { [ "$want" = FAIL ] && [ $rc = 0 ]; } \
      || [[ "$out" != *"$message"* ]]; then
    echo "FAILED $name: expected $want with \"$message\", got exit $rc:"
    echo "$out"
    failures=$((failures + 1))
  fi
}

make_tree "$work/clean"
configure "$work/clean"
# The check reads the build tree and changes nothing in it: every file keeps its time and size.
snapshot() { find "$1" -printf '%P %T@ %s\n' | sort; }
before=$(snapshot "$work/clean.build")
expect clean PASS "every include and every link points down" "$work/clean.build"
if [ "$(snapshot "$work/clean.build")" != "$before" ]; then
  echo "FAILED clean: the check changed the build tree it read:"
  diff <(echo "$before") <(snapshot "$work/clean.build") || true
  failures=$((failures + 1))
fi

# Each fault in a copy of its own: what to plant (file, line), and the message it must give.
plants=(
  "up_angle|numbers/format.cc|#include <diagram/core/ticks.hpp>|numbers/format.cc includes <diagram/core/ticks.hpp>: diagram/ is not below numbers/"
  "qt_core|diagram/core/ticks.hpp|#include <QtCore/QString>|diagram/core/ticks.hpp includes <QtCore/QString>: a Qt header in a Qt-free folder"
  "qt_folder|numbers/numbers.h|#include <qstring.h>|numbers/numbers.h includes <qstring.h>: a Qt header in a Qt-free folder"
  "up_link|numbers/CMakeLists.txt|target_link_libraries(tw_numbers PRIVATE tw_diagram_core)|tw_numbers links tw_diagram_core: diagram/ is not below numbers/"
)
for p in "${plants[@]}"; do
  IFS='|' read -r name file line message <<< "$p"
  make_tree "$work/$name"
  echo "$line" >> "$work/$name/$file"
  if [[ "$file" == *CMakeLists.txt ]]; then
    configure "$work/$name"
    expect "$name" FAIL "$message" "$work/$name.build"
    # The sources alone know nothing of links.
    expect "$name" PASS "every include points down"
  else
    expect "$name" FAIL "$message"
  fi
done

# In a git work tree a new file counts before it is added; what lies in .git, in a build tree
# (build* at the top, or any folder holding a CMakeCache.txt) is no source of the tree.
as_work_tree() { git -C "$1" init -q > /dev/null 2>&1 && git -C "$1" add -A; }
make_tree "$work/untracked"
as_work_tree "$work/untracked"
echo '#include <diagram/core/ticks.hpp>' > "$work/untracked/numbers/format.cc"
expect untracked FAIL "numbers/format.cc includes <diagram/core/ticks.hpp>: diagram/ is not below numbers/"

make_tree "$work/skipped"
as_work_tree "$work/skipped"
mkdir -p "$work/skipped/build-asan/numbers" "$work/skipped/out/numbers"
touch "$work/skipped/out/CMakeCache.txt"
for f in .git/stray.h build-asan/numbers/moc_format.cpp out/numbers/moc_format.cpp; do
  echo '#include <diagram/core/ticks.hpp>' > "$work/skipped/$f"
done
expect skipped PASS "every include points down"

if [ $failures != 0 ]; then exit 1; fi
echo "check_layout_test: the clean tree passes, every planted fault fails"
