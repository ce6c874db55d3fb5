#!/usr/bin/env bash
# Checks that the program imports every name the DLL exports, but for its virtual tables
# (reached through objects) and the private members (reached through public ones).
# usage: check-coverage.sh OBJDUMP DLL PROGRAM
set -euo pipefail
objdump=$1 dll=$2 program=$3
name=$(basename "$dll")
exported=$("$(dirname "$0")/../dll-exports.sh" "$objdump" "$dll" |
  grep -vE '^\?\?_7|^\?(SimplifyAngle|RadDegGonToString|GetFullPath|GetValidFileName)@')
imported=$("$objdump" -p "$program" |
  awk -v dll="$name" '$1 == "DLL" && $2 == "Name:" {on = tolower($3) == tolower(dll); next}
                      on && NF == 0 {on = 0}
                      on && $1 ~ /^[0-9a-f]+$/ {print $NF}' | LC_ALL=C sort -u)
missing=$(LC_ALL=C comm -23 <(echo "$exported") <(echo "$imported"))
if [ -n "$missing" ]; then
  printf 'exported by %s but called by %s:\n' "$name" "$(basename "$program")"
  printf '  %s\n' $missing
  exit 1
fi
echo "the program calls all $(echo "$exported" | wc -l) exports that a caller can name"
