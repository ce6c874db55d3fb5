#!/usr/bin/env bash
# Builds the consumer program in WORK against the Kest011 package installed or unpacked in
# ROOT alone, and runs it under Wine.
# usage: run-consumer.sh CONSUMER_SOURCE ROOT WORK TOOLCHAIN WINE_PREFIX [CMAKE_ARGS...]
set -euo pipefail
consumer=$1 root=$2 work=$3 toolchain=$4 prefix=$5
shift 5
cmake -S "$consumer" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_PREFIX_PATH="$root" "$@" >/dev/null
cmake --build "$work" >/dev/null
"$(dirname "$0")/../../cmake/wine-run.sh" "$prefix" "$work/consumer.exe"
