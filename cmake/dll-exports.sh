#!/usr/bin/env bash
# Prints the names in a DLL's export table, one a line, sorted.
# usage: dll-exports.sh OBJDUMP DLL
set -euo pipefail
objdump=$1 dll=$2
# The names in the "[Ordinal/Name Pointer] Table" section of the export directory.
"$objdump" -p "$dll" |
  awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
       on && /^[[:space:]]*\[ *[0-9]+\]/ {print $NF; next}
       on {on = 0}' |
  LC_ALL=C sort
