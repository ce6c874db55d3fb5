#!/usr/bin/env bash
# Checks, from the DLL's link map, that the only part of the C++ runtime linked into it is
# the language support library (exceptions, type information, operator new and delete):
# no string, container, stream or locale code of libstdc++.
# usage: check-cxx-runtime.sh MAP LIBSUPCXX_ARCHIVE
set -euo pipefail
map=$1 supcxx=$2
allowed=$(ar t "$supcxx" | sort -u)
linked=$(grep -o 'libstdc++\.a([^)]*)' "$map" | sed 's/.*(\(.*\))/\1/' | sort -u)
outside=$(comm -23 <(printf '%s\n' $linked) <(printf '%s\n' $allowed) | grep -v '^$' || true)
if [ -n "$outside" ]; then
  echo "$map: libstdc++ members beyond the language support library:"
  printf '  %s\n' $outside
  exit 1
fi
echo "C++ runtime members linked: $(printf '%s\n' $linked | grep -c . || true), all language support"
