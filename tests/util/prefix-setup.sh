#!/bin/sh
# Makes tests/util's null MIDI driver the machine's MIDI port: with no audio driver, the
# multimedia layer loads the driver named by the default value of the Drivers32 key.
set -eu
dll=$(printf 'Z:%s/bin/kest_null_midi.dll' "$(dirname "$WINEPREFIX")" | tr / '\\')
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Drivers32'
$KEST_WINE_RUN reg add "$key" /ve /d "$dll" /f >/dev/null 2>&1
