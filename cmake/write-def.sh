#!/usr/bin/env bash
# Writes the module definition of a DLL: its name and every name it exports.
# usage: write-def.sh OBJDUMP DLL OUTPUT
set -euo pipefail
objdump=$1 dll=$2 output=$3
{
  echo "LIBRARY $(basename "$dll")"
  echo "EXPORTS"
  "$(dirname "$0")/dll-exports.sh" "$objdump" "$dll" | sed 's/^/    /'
} > "$output.tmp"
mv "$output.tmp" "$output"
