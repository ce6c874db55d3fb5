#!/usr/bin/env bash
# Compares the DLL's export table with the expected lists, and checks that it imports
# system DLLs only.
# usage: check-exports.sh OBJDUMP DLL EXPECTED_DIR ARCH
#   ARCH names the lists: EXPECTED_DIR/*.ARCH.txt (i686, x86_64, i686-msvc, x86_64-msvc).
set -euo pipefail
objdump=$1 dll=$2 expected_dir=$3 arch=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$objdump" -p "$dll" > "$work/headers"
"$(dirname "$0")/../dll-exports.sh" "$objdump" "$dll" > "$work/actual"
cat "$expected_dir"/*."$arch".txt 2>/dev/null | sed 's/#.*//; s/[[:space:]]*$//' | grep -v '^$' |
  LC_ALL=C sort > "$work/expected" || true

status=0
if ! diff -u "$work/expected" "$work/actual" > "$work/diff"; then
  echo "exports of $dll differ from $expected_dir/*.$arch.txt (- expected, + actual):"
  grep '^[-+][^-+]' "$work/diff" || true
  status=1
fi

# System DLLs only: no compiler runtimes (libstdc++, libgcc, libwinpthread).
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHLWAPI|ole32|OLEAUT32|VERSION|WINMM|msvcrt)\.dll$'
grep 'DLL Name:' "$work/headers" | awk '{print $3}' > "$work/imports"
if grep -viE "$allowed" "$work/imports"; then
  echo "$dll imports DLLs that are not part of Windows (above)"
  status=1
fi

echo "$(wc -l < "$work/actual") exports, imports: $(tr '\n' ' ' < "$work/imports")"
exit $status
