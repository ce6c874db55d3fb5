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
# shellcheck disable=SC2086
"$(dirname "$0")/run-consumer.sh" "$consumer" "$work/root" "$work/consumer" "$toolchain" \
  "$prefix" ${KEST_CONSUMER_CMAKE_ARGS:-}
