#!/usr/bin/env bash
# Checks that the programs together import every name the DLL exports, but for its virtual
# tables (reached through objects) and the private members (reached through public ones).
# usage: check-coverage.sh OBJDUMP DLL PROGRAM...
set -euo pipefail
objdump=$1 dll=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(dirname "$0")/../dll-exports.sh" "$objdump" "$dll" |
  grep -vE '^\?\?_7|^\?(SimplifyAngle|RadDegGonToString|GetFullPath|GetValidFileName)@' \
  > "$work/exported"
name=$(basename "$dll")
for program in "$@"; do
  "$objdump" -p "$program" |
    awk -v dll="$name" '$1 == "DLL" && $2 == "Name:" {on = tolower($3) == tolower(dll); next}
                        on && NF == 0 {on = 0}
                        on && $1 ~ /^[0-9a-f]+$/ {print $NF}'
done | LC_ALL=C sort -u > "$work/imported"
missing=$(LC_ALL=C comm -23 "$work/exported" "$work/imported")
if [ -n "$missing" ]; then
  echo "exported by $name but called by none of the programs:"
  printf '  %s\n' $missing
  exit 1
fi
echo "the programs call all $(wc -l < "$work/exported") exports that a caller can name"
