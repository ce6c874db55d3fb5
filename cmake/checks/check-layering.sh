#!/usr/bin/env bash
# Checks the layering of the library's families: every #include "..." of another family's
# header, in a family folder's sources and headers, names a family that the including
# family's USES lists. A header belongs to the family whose source it is named after
# (frame/decimal_digits.h to frame_decimal_digits), kest011/<family>.h to <family>, any other
# header to the family named as its folder. Those last two are the folder's own: its parts
# (<family>_<part>) include them freely. A file that no source names belongs to the family
# named as its folder.
# usage: check-layering.sh SOURCE_DIR NAME:FOLDER:SOURCES:USES... (lists comma-separated)
set -euo pipefail
root=$1
shift
declare -A owner uses folder
for entry; do
  IFS=: read -r name dir sources used <<<"$entry"
  folder[$name]=$dir
  uses[$name]=" ${used//,/ } "
  for source in ${sources//,/ }; do
    owner[$dir/$source]=$name
    owner[$dir/${source%.*}.h]=$name
  done
done

# The family a header belongs to; empty for headers of no family (resources/, export.h).
ownerOf() {
  local path=$1 dir=${1%/*}
  if [ -n "${owner[$path]:-}" ]; then
    echo "${owner[$path]}"
  elif [ "$dir" = kest011 ]; then
    local name=${path#kest011/}
    [ -z "${folder[${name%.h}]:-}" ] || echo "${name%.h}"
  elif [ "${folder[$dir]:-}" = "$dir" ]; then
    echo "$dir"
  fi
}

failed=0 checked=0
for dir in $(printf '%s\n' "${folder[@]}" | sort -u); do
  for file in "$root/$dir"/*.cpp "$root/$dir"/*.h; do
    [ -e "$file" ] || continue
    path=${file#"$root"/}
    family=${owner[$path]:-$dir}
    while read -r included; do
      other=$(ownerOf "$included")
      if [ -z "$other" ] || [ "$other" = "$family" ] ||
        { [ -z "${owner[$included]:-}" ] && [ "${folder[$other]}" = "$dir" ]; }; then
        continue
      fi
      checked=$((checked + 1))
      if [[ "${uses[$family]}" != *" $other "* ]]; then
        echo "$path: #include \"$included\" uses $other, which the USES of $family" \
          "($dir/CMakeLists.txt) does not name"
        failed=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done
done
[ "$failed" = 0 ] || exit 1
echo "$checked includes of another family's header, each named in its family's USES"
