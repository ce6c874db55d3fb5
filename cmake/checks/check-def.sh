#!/usr/bin/env bash
# kest011.def names what kest011.lib imports (32-bit C names with the leading underscore
# of their symbols).
# usage: check-def.sh DLL LIB DEF
set -euo pipefail
dll=$1 lib=$2 def=$3
c_prefix=""
llvm-readobj --file-headers "$dll" | grep -q 'Machine:.*I386' && c_prefix=_
diff <(sed '1,2d; s/^ *//' "$def" | LC_ALL=C sort) \
     <(llvm-nm "$lib" 2>/dev/null |
       awk -v c_prefix="$c_prefix" '$NF ~ /^__imp_/ {
         name = substr($NF, 7)
         if (name !~ /^\?/ && c_prefix != "" && substr(name, 1, 1) == c_prefix) name = substr(name, 2)
         print name
       }' | LC_ALL=C sort) ||
  { echo "kest011.lib and kest011.def disagree (< def only, > lib only)"; exit 1; }
