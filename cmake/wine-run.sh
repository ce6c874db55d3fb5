#!/bin/sh
# Runs one Windows program of the build under 64-bit Wine, in the build's own prefix.
# usage: wine-run.sh PREFIX PROGRAM [ARGS...]
prefix=$1
shift
WINEPREFIX=$prefix
WINEDEBUG=-all
# No sound drivers and no browser or .NET add-ons: tests need neither, and both are slow.
WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv,winecoreaudio.drv=d;mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset DISPLAY WAYLAND_DISPLAY
exec /usr/lib/wine/wine64 "$@"
