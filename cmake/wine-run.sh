#!/bin/sh
# Runs one Windows program of the build under 64-bit Wine, in the build's own prefix.
# usage: wine-run.sh PREFIX PROGRAM [ARGS...]
prefix=$1
shift
# The Wine the prefix was made for: Debian's, or (noted in the prefix by wine-prefix.sh)
# the build's own WoW64 tree, which runs 32-bit programs.
wine_dir=/usr/lib/wine
[ ! -f "$prefix/kest-wine-dir" ] || wine_dir=$(cat "$prefix/kest-wine-dir")
WINEPREFIX=$prefix
# KEST_WINEDEBUG=err+all (say) shows what Wine reports while a test runs.
WINEDEBUG=${KEST_WINEDEBUG:--all}
# No sound drivers, no browser or .NET add-ons (tests need neither, and both are slow),
# and no debugger: a crashing program ends instead of waiting in winedbg.
WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv,winecoreaudio.drv,winedbg.exe=d;mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset DISPLAY WAYLAND_DISPLAY

# Wine's background processes (services, explorer), started by the first program, inherit
# its output and outlive it by seconds; a caller reading our output to its end (CTest)
# would wait for them. So the program writes to files, which we pass on when it ends.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
# KEST_WINE_ATTEMPTS=N (the prefix set-up, whose steps may be repeated) tries a failing
# program up to N times: under load, Wine has been seen to end a program before it began.
attempts=${KEST_WINE_ATTEMPTS:-1}
while :; do
  "$wine_dir/wine64" "$@" >"$out" 2>"$err"
  status=$?
  attempts=$((attempts - 1))
  [ "$status" -ne 0 ] && [ "$attempts" -gt 0 ] || break
  echo "wine-run: $1 exited with status $status; trying again" >&2
  sed 's/^/  /' "$err" >&2
done
cat "$out"
cat "$err" >&2
if [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
  echo "wine-run: $1 exited with status $status and printed nothing" >&2
fi
exit $status
