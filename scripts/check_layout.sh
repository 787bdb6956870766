#!/usr/bin/env bash
# Fails when a source file breaks the layout of the house.
#
# A folder includes headers of its own folder and of the floors below it, never of its own floor
# or above, whether the include is quoted or angle-bracketed (an angle include counts when its
# first path segment is a folder of the repository). Within a subsystem, its Qt-free core (any
# core/ folder) includes no header of the subsystem outside a core/ folder. A core/ folder, and
# each folder of qt_free below, includes no Qt header.
#
# The floors of the house, from the ground up.
floors=(
  "solver numbers platform datafile frame_api resources"
  "state"
  "import diagram"
  "analysis"
  "report"
  "app"
)
# Folders that are Qt-free as a whole (their core is the whole folder).
qt_free="solver numbers datafile state"
# Tests, benchmarks, fuzz targets and the help renderer may include anything.
exempt="tests bench fuzz docs examples scripts"

set -euo pipefail
cd "$(dirname "$0")/.."

declare -A floor
for i in "${!floors[@]}"; do
  for f in ${floors[$i]}; do floor[$f]=$i; done
done

fail=0
report() { echo "check_layout: $1"; fail=1; }

# The sources: tracked files when this is the top of a git work tree, all files otherwise
# (a copy, an unpacked archive), build trees left out.
sources() {
  local patterns=('*.h' '*.hpp' '*.cpp' '*.cc')
  if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$PWD" ]; then
    git ls-files "${patterns[@]}"
  else
    find . -mindepth 1 \( -name '.*' -o -path './build*' \) -prune -o -type f \
      \( -name "${patterns[0]}" -o -name "${patterns[1]}" -o -name "${patterns[2]}" -o -name "${patterns[3]}" \) \
      -print | sed 's|^\./||'
  fi
}

check_includes() {
  local file top in_core qt_free_here kind inc shown target
  # Qt's headers: <QString>, <QtCore/QString> and <qstring.h>; "QString" finds them too.
  local qt='^Q' qt_lower='^q[a-z0-9_]*\.h$'
  while IFS= read -r file; do
    top=${file%%/*}
    [ "$top" = "$file" ] && continue  # files at the top of the repository
    [[ " $exempt " == *" $top "* ]] && continue
    if [ -z "${floor[$top]+x}" ]; then
      report "$file: folder $top/ has no floor; add it to scripts/check_layout.sh"
      continue
    fi
    in_core=0
    [[ "/$file" == */core/* ]] && in_core=1
    qt_free_here=$in_core
    [[ " $qt_free " == *" $top "* ]] && qt_free_here=1
    while IFS= read -r inc; do
      kind=${inc:0:1}
      inc=${inc:1}
      shown="\"$inc\""
      [ "$kind" = "<" ] && shown="<$inc>"
      if [ $qt_free_here = 1 ] && { [[ "$inc" =~ $qt ]] || { [ "$kind" = "<" ] && [[ "$inc" =~ $qt_lower ]]; }; }; then
        report "$file includes $shown: a Qt header in a Qt-free folder"
        continue
      fi
      target=${inc%%/*}
      [ "$target" = "$inc" ] && continue  # a header beside the file, or a system header
      if [ "$kind" = "<" ] && [ -z "${floor[$target]+x}" ] && [[ " $exempt " != *" $target "* ]] \
          && [ ! -d "$target" ]; then
        continue  # a system or library header
      fi
      if [ "$target" = "$top" ]; then
        if [ $in_core = 1 ] && [[ "/$inc" != */core/* ]]; then
          report "$file includes $shown: a core includes no header of its subsystem outside a core"
        fi
        continue
      fi
      if [ -z "${floor[$target]+x}" ]; then
        report "$file includes $shown: folder $target/ has no floor"
      elif [ "${floor[$target]}" -ge "${floor[$top]}" ]; then
        report "$file includes $shown: $target/ is not below $top/"
      fi
    done < <(sed -n -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^">]*)[">].*/\1\2/p' "$file")
  done < <(sources)
}

check_includes

if [ $fail = 0 ]; then echo "check_layout: every include points down"; fi
exit $fail
