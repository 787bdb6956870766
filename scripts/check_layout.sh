#!/usr/bin/env bash
# Fails when a source file includes a header from a folder above its own subsystem.
#
# The floors of the house, from the ground up. A folder may include headers of its own folder
# and of the floors below it, never of its own floor or above. Within a subsystem, its Qt-free
# core (any core/ folder) includes no header of the subsystem outside a core/ folder.
floors=(
  "solver numbers platform datafile frame_api resources"
  "state"
  "import diagram"
  "analysis"
  "report"
  "app"
)
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
  while IFS= read -r inc; do
    target=${inc%%/*}
    [ "$target" = "$inc" ] && continue  # a header beside the file
    if [ "$target" = "$top" ]; then
      if [ $in_core = 1 ] && [[ "/$inc" != */core/* ]]; then
        report "$file includes $inc: a core includes no header of its subsystem outside a core"
      fi
      continue
    fi
    if [ -z "${floor[$target]+x}" ]; then
      report "$file includes $inc: folder $target/ has no floor"
    elif [ "${floor[$target]}" -ge "${floor[$top]}" ]; then
      report "$file includes $inc: $target/ is not below $top/"
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.h' '*.cpp' 2>/dev/null || find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | grep -v '^build')

if [ $fail = 0 ]; then echo "check_layout: every include points down"; fi
exit $fail
