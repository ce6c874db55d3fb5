#!/bin/sh
# Makes the build's private Wine prefix and configures it for the tests.
# usage: wine-prefix.sh PREFIX SOURCE_DIR STAMP
#
# Families that need more of the machine (drive letters, Windows versions per program)
# add tests/<family>/prefix.reg (imported) or tests/<family>/prefix-setup.sh (run with
# WINEPREFIX, KEST_WINE_RUN and KEST_PREFIX_DATA set). wineserver is restarted at the end
# so that new drives and settings are seen.
set -eu
prefix=$1
source_dir=$2
stamp=$3
here=$(cd "$(dirname "$0")" && pwd)
run="$here/wine-run.sh $prefix"
wineserver=/usr/lib/wine/wineserver
# A Unix path as Wine sees it through drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

export WINEPREFIX=$prefix WINEDEBUG=-all
"$wineserver" -k 2>/dev/null || true
rm -rf "$prefix" "$prefix-data"
mkdir -p "$(dirname "$prefix")" "$prefix-data"

$run wineboot --init >/dev/null 2>&1
"$wineserver" -w
# The registry is written when wineserver has gone; make sure it is there.
for _ in $(seq 1 50); do
  [ -f "$prefix/system.reg" ] && [ -f "$prefix/user.reg" ] && break
  sleep 0.2
done
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: wineboot made no registry" >&2; exit 1; }

# No display: the null graphics driver serves hidden windows and message loops.
regfile="$prefix-data/base.reg"
cat > "$regfile" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="null"
"Audio"=""
REG
$run reg import "$(winpath "$regfile")" >/dev/null 2>&1

for reg in "$source_dir"/tests/*/prefix.reg; do
  [ -f "$reg" ] || continue
  $run reg import "$(winpath "$reg")" >/dev/null 2>&1
done
export KEST_WINE_RUN="$run" KEST_PREFIX_DATA="$prefix-data"
for hook in "$source_dir"/tests/*/prefix-setup.sh; do
  [ -f "$hook" ] || continue
  sh "$hook"
done

"$wineserver" -k 2>/dev/null || true
"$wineserver" -w
touch "$stamp"
