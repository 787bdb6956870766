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
# a Qt header beside a core.
make_tree() {
  local t=$1
  mkdir -p "$t/scripts" "$t/numbers" "$t/diagram/core" "$t/tests"
  cp "$script" "$t/scripts/"
  printf '#include <numbers>\n#include <string>\n' > "$t/numbers/numbers.h"
  printf '#include "numbers/numbers.h"\n' > "$t/numbers/numbers.cc"
  printf '#include <numbers/numbers.h>\n#include <vector>\n' > "$t/diagram/core/ticks.hpp"
  printf '#include "diagram/core/ticks.hpp"\n' > "$t/diagram/core/ticks.cc"
  printf '#include <diagram/core/ticks.hpp>\n#include <QWidget>\n' > "$t/diagram/surface.cpp"
  printf '#include <diagram/core/ticks.hpp>\n' > "$t/tests/ticks_test.cpp"
}

# expect NAME PASS|FAIL MESSAGE: runs the tree's own copy of the check.
expect() {
  local name=$1 want=$2 message=$3 out rc=0
  out=$(bash "$work/$name/scripts/check_layout.sh" 2>&1) || rc=$?
  if { [ "$want" = PASS ] && [ $rc != 0 ]; } || { [ "$want" = FAIL ] && [ $rc = 0 ]; } \
      || [[ "$out" != *"$message"* ]]; then
    echo "FAILED $name: expected $want with \"$message\", got exit $rc:"
    echo "$out"
    failures=$((failures + 1))
  fi
}

make_tree "$work/clean"
expect clean PASS "every include points down"

# Each fault in a copy of its own: what to plant (file, line), and the message it must give.
plants=(
  "up_angle|numbers/format.cc|#include <diagram/core/ticks.hpp>|numbers/format.cc includes <diagram/core/ticks.hpp>: diagram/ is not below numbers/"
  "qt_core|diagram/core/ticks.hpp|#include <QtCore/QString>|diagram/core/ticks.hpp includes <QtCore/QString>: a Qt header in a Qt-free folder"
  "qt_folder|numbers/numbers.h|#include <qstring.h>|numbers/numbers.h includes <qstring.h>: a Qt header in a Qt-free folder"
)
for p in "${plants[@]}"; do
  IFS='|' read -r name file line message <<< "$p"
  make_tree "$work/$name"
  echo "$line" >> "$work/$name/$file"
  expect "$name" FAIL "$message"
done

if [ $failures != 0 ]; then exit 1; fi
echo "check_layout_test: the clean tree passes, every planted fault fails"
