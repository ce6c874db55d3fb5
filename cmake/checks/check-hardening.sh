#!/usr/bin/env bash
# Checks the hardening marks of each image: relocatable anywhere (DYNAMIC_BASE), data not
# executable (NX_COMPAT), 64-bit addresses on x86_64 (HIGH_ENTROPY_VA); on i686 a SafeSEH
# table in the load configuration, or the NO_SEH mark for an image without handlers.
# usage: check-hardening.sh OBJDUMP ARCH IMAGE...
set -euo pipefail
objdump=$1 arch=$2
shift 2
wanted=$((0x40 | 0x100))                           # DYNAMIC_BASE, NX_COMPAT
[ "$arch" = x86_64 ] && wanted=$((wanted | 0x20))  # HIGH_ENTROPY_VA
status=0
for image in "$@"; do
  flags=$(("0x$("$objdump" -p "$image" | awk '$1 == "DllCharacteristics" {print $2}')"))
  problems=() handlers=
  [ $((flags & wanted)) -eq $wanted ] ||
    problems+=("DllCharacteristics $(printf '%#x' $flags) lacks $(printf '%#x' $((wanted & ~flags)))")
  if [ "$arch" = i686 ] && [ $((flags & 0x400)) -eq 0 ]; then
    handlers=$(llvm-readobj --coff-load-config "$image" | awk '$1 == "SEHandlerCount:" {print $2}')
    [ "${handlers:-0}" -gt 0 ] || problems+=("neither a SafeSEH table nor NO_SEH")
  fi
  [ ${#problems[@]} -eq 0 ] || { echo "$(basename "$image"): ${problems[*]}"; status=1; continue; }
  echo "$(basename "$image"): DllCharacteristics $(printf '%#x' $flags)${handlers:+, $handlers SafeSEH handlers}"
done
exit $status
