#!/bin/sh
# Makes tests/util's null MIDI driver the machine's MIDI port: with no audio driver, the
# multimedia layer loads the driver named by the default value of the Drivers32 key, in
# the registry view of the programs that play (hence KEST_REG_VIEW), so the driver is
# the build's own, of the programs' bitness.
set -eu
dll=$(printf 'Z:%s/bin/kest_null_midi.dll' "$(dirname "$WINEPREFIX")" | tr / '\\')
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Drivers32'
# shellcheck disable=SC2086 # KEST_REG_VIEW is one option or none.
$KEST_WINE_RUN reg add "$key" /ve /d "$dll" /f $KEST_REG_VIEW >/dev/null 2>&1
