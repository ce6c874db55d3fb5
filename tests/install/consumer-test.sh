#!/usr/bin/env bash
# usage: consumer-test.sh BUILD_DIR CONSUMER_SOURCE TOOLCHAIN WINE_PREFIX
# KEST_INSTALLED_FILES (files the install must lay out) and KEST_CONSUMER_CMAKE_ARGS (for the
# consumer's configuration) change the defaults of the MinGW builds.
set -euo pipefail
build=$1 consumer=$2 toolchain=$3 prefix=$4
work=$build/install-test
rm -rf "$work"
cmake --install "$build" --prefix "$work/root" >/dev/null
for expected in ${KEST_INSTALLED_FILES:-bin/kest011.dll bin/kest.exe lib/libkest011.dll.a \
                include/kest011.h lib/cmake/Kest011/Kest011Config.cmake}; do
  [ -f "$work/root/$expected" ] || { echo "install lacks $expected"; exit 1; }
done
# A module definition, where installed, names what the import library imports (32-bit C
# names with the leading underscore of their symbols).
def=$work/root/lib/kest011.def
if [ -f "$def" ]; then
  c_prefix=""
  llvm-readobj --file-headers "$work/root/bin/kest011.dll" | grep -q 'Machine:.*I386' && c_prefix=_
  llvm-nm "$work/root/lib/kest011.lib" 2>/dev/null |
    awk -v c_prefix="$c_prefix" '$NF ~ /^__imp_/ {
      name = substr($NF, 7)
      if (name !~ /^\?/ && c_prefix != "" && substr(name, 1, 1) == c_prefix) name = substr(name, 2)
      print name
    }' | LC_ALL=C sort > "$work/imported"
  sed '1,2d; s/^ *//' "$def" | LC_ALL=C sort > "$work/defined"
  if ! diff "$work/defined" "$work/imported" > "$work/diff"; then
    echo "kest011.lib and kest011.def disagree (< def only, > lib only):"
    cat "$work/diff"
    exit 1
  fi
fi
# shellcheck disable=SC2086
"$(dirname "$0")/run-consumer.sh" "$consumer" "$work/root" "$work/consumer" "$toolchain" \
  "$prefix" ${KEST_CONSUMER_CMAKE_ARGS:-}
