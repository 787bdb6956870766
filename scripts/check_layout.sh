#!/usr/bin/env bash
# Fails when the sources or the targets break the layout of the house.
#
#   check_layout.sh [BUILD-DIR]
#
# Includes (always): a folder includes headers of its own folder and of the floors below it,
# never of its own floor or above, whether the include is quoted or angle-bracketed (an angle
# include counts when its first path segment is a folder of the repository). Within a
# subsystem, its Qt-free core (any core/ folder) includes no header of the subsystem outside a
# core/ folder. A core/ folder, and each folder of qt_free below, includes no Qt header.
#
# Links (only with BUILD-DIR, the folder of a configured build tree): every library and program
# of a folder links only targets of its own folder and of the floors below it, as CMake itself
# sees the targets. CMake describes them in a throw-away tree configured beside it from the same
# sources and options, so the tree under test is only read, never regenerated. scripts/test.sh
# checks the includes before the build; the ctest layout_check passes its build tree.
#
# The floors of the house, from the ground up.
floors=(
  "solver numbers platform frame_api resources"
  "state datafile"
  "import diagram"
  "analysis"
  "report"
  "app"
)
# Folders that are Qt-free as a whole (their core is the whole folder).
qt_free="solver numbers datafile state"
# Tests, benchmarks, fuzz targets and the help renderer may include and link anything.
exempt="tests bench fuzz docs examples scripts"

set -euo pipefail
build=${1:-}
if [ -n "$build" ] && [ -d "$build" ]; then build=$(cd "$build" && pwd); fi
cd "$(dirname "$0")/.."

declare -A floor
for i in "${!floors[@]}"; do
  for f in ${floors[$i]}; do floor[$f]=$i; done
done

fail=0
report() { echo "check_layout: $1"; fail=1; }

# The sources: every source file in the tree, tracked or not, so a new file is checked before it
# is added. Hidden folders (.git among them) and build trees are left out: a folder named build*
# at the top, and any folder holding a CMakeCache.txt.
sources() {
  find . -mindepth 1 -type d \( -name '.*' -o -path './build*' -o -exec test -e '{}/CMakeCache.txt' \; \) -prune \
    -o -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print | sed 's|^\./||'
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

# The folder a target belongs to: tw_<folder> and tw_<folder>_<part> to their folder (the
# longest folder name that fits), the solver's Coastfit and coastfit_core to solver; empty for
# every other target (tests, benchmarks, fuzz targets, the help renderer, the program).
folder_of() {
  local name=$1 f best=""
  case "$name" in Coastfit | coastfit_core) echo solver; return ;; esac
  for f in "${!floor[@]}"; do
    if [[ "$name" == "tw_$f" || "$name" == "tw_${f}_"* ]] && [ ${#f} -gt ${#best} ]; then best=$f; fi
  done
  echo "$best"
}

check_links() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    report "$build is no configured build tree"
    return
  fi
  local tmp
  tmp=$(mktemp -d)
  # shellcheck disable=SC2064
  trap "rm -rf '$tmp'" EXIT
  # The same sources, generator, compilers and the house's own options as the tree under test.
  local source generator entry
  local -a options=()
  source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
  generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$build/CMakeCache.txt")
  while IFS= read -r entry; do
    options+=("-D$entry")
  done < <(grep -E '^(TW_[A-Z_]*|CMAKE_BUILD_TYPE|CMAKE_C_COMPILER|CMAKE_CXX_COMPILER):[A-Z]+=' "$build/CMakeCache.txt")
  if ! cmake -S "$source" -B "$tmp/tree" ${generator:+-G "$generator"} "${options[@]}" \
      --graphviz="$tmp/targets.dot" > "$tmp/cmake.log" 2>&1; then
    cat "$tmp/cmake.log"
    report "CMake could not describe the targets of $build"
    return
  fi
  # Nodes are targets and the libraries they name; an edge is one library a target links.
  # Imported targets (A::B) and plain library names (shown as unknown libraries) are no part
  # of the house.
  declare -A name external folder
  local line id from to src dst fs fd
  local node='^[[:space:]]*"([^"]+)" \[ label = "([^"]*)", shape = ([a-z]+)'
  local edge='^[[:space:]]*"([^"]+)" -> "([^"]+)"'
  while IFS= read -r line; do
    if [[ "$line" =~ $node ]]; then
      id=${BASH_REMATCH[1]}
      name[$id]=${BASH_REMATCH[2]}
      external[$id]=0
      [[ "${BASH_REMATCH[2]}" == *::* || "${BASH_REMATCH[3]}" == septagon ]] && external[$id]=1
    elif [[ "$line" =~ $edge ]]; then
      from=${BASH_REMATCH[1]}
      to=${BASH_REMATCH[2]}
      [ -n "${name[$from]+x}" ] && [ -n "${name[$to]+x}" ] || continue
      [ "${external[$to]}" = 1 ] && continue
      src=${name[$from]}
      dst=${name[$to]}
      [ -n "${folder[$src]+x}" ] || folder[$src]=$(folder_of "$src")
      [ -n "${folder[$dst]+x}" ] || folder[$dst]=$(folder_of "$dst")
      fs=${folder[$src]}
      fd=${folder[$dst]}
      [ -z "$fs" ] && continue
      if [ -z "$fd" ]; then
        report "$src links $dst: a target of no floor"
      elif [ "$fd" != "$fs" ] && [ "${floor[$fd]}" -ge "${floor[$fs]}" ]; then
        report "$src links $dst: $fd/ is not below $fs/"
      fi
    fi
  done < "$tmp/targets.dot"
}

check_includes
if [ -n "$build" ]; then check_links; fi

if [ $fail = 0 ]; then
  if [ -n "$build" ]; then
    echo "check_layout: every include and every link points down"
  else
    echo "check_layout: every include points down"
  fi
fi
exit $fail
