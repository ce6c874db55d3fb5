#!/usr/bin/env bash
# Proves that a release archive works on its own. Unpacked into an empty folder outside the
# source tree, its CMake package refuses versions it cannot serve; a program built against
# that folder alone through find_package answers as documented under Wine; and its symbol
# file turns an address inside KestCrc into the function's name and source line.
# usage: archive-test.sh ARCHIVE TOOLCHAIN WINE_PREFIX [MSVC_RUNTIME_DIR]
# Archives in Microsoft's ABI need MSVC_RUNTIME_DIR: the start-up code and import libraries
# that programs in that ABI link with here, where Visual C++ would bring its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
archive=$1 toolchain=$2 prefix=$3 runtime=${4:-}
fail() { echo "archive-test: $(basename "$archive"): $*" >&2; exit 1; }
work=$(mktemp -d /tmp/kest-archive.XXXXXX)
trap 'rm -rf "$work"' EXIT
root=$work/root
/usr/bin/python3 -m zipfile -e "$archive" "$root"

# shellcheck disable=SC2016 # CMake expands them.
echo 'find_package(Kest011 ${WANTED} REQUIRED CONFIG PATHS ${ROOT} NO_DEFAULT_PATH)' > "$work/find.cmake"
for wanted in 0.2 1.0; do
  if cmake -DROOT="$root" -DWANTED=$wanted -P "$work/find.cmake" >/dev/null 2>&1; then
    fail "its package claims to serve version $wanted"
  fi
done

args=()
[ -z "$runtime" ] || args=(-DKEST_MSVC_RUNTIME_DIR="$runtime")
"$here/run-consumer.sh" "$here/consumer" "$root" "$work/consumer" "$toolchain" "$prefix" "${args[@]}"

# An address a few bytes into KestCrc, as a crash report would give it.
dll=$root/bin/kest011.dll
base=$(llvm-readobj --file-headers "$dll" | sed -n 's/^ *ImageBase: //p')
rva=$(llvm-readobj --coff-exports "$dll" | sed -n '/Name: .*KestCrc/{n;s/^ *RVA: //p}')
rva=${rva%%$'\n'*}
[ -n "$base" ] && [ -n "$rva" ] || fail "no export KestCrc"
address=$(printf '0x%X' $((base + rva + 4)))
where=$(llvm-symbolizer --obj="$dll" "$address" | tr '\n' ' ')
echo "llvm-symbolizer $address: $where"
[[ $where =~ KestCrc.*crc32\.cpp:[1-9] ]] || fail "its symbols do not name KestCrc and its line"
