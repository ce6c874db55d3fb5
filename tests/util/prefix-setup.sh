#!/bin/sh
# Gives the test machine a MIDI output port: the null synthesizer driver that
# tests/util builds into the bin folder beside the prefix.
#
# With no audio driver, the system's multimedia layer asks the driver list for a driver of
# an empty name, which is the default value of the Drivers32 key.
set -eu
bin=$(cd "$(dirname "$WINEPREFIX")" && pwd)/bin
winpath() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
escaped() { winpath "$1" | sed 's|\\|\\\\|g'; }

regfile="$KEST_PREFIX_DATA/util.reg"
cat > "$regfile" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32]
@="$(escaped "$bin/kest_null_midi.dll")"
REG
$KEST_WINE_RUN reg import "$(winpath "$regfile")" >/dev/null 2>&1
