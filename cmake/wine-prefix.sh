#!/bin/sh
# Makes the build's private Wine prefix and configures it for the tests.
# usage: wine-prefix.sh PREFIX SOURCE_DIR STAMP [WOW64_TREE]
# With WOW64_TREE (made by wine-wow64.sh) the prefix runs 32-bit programs in WoW64 mode.
#
# Families that need more of the machine (drive letters, Windows versions per program)
# add tests/<family>/prefix.reg (imported) or tests/<family>/prefix-setup.sh (run with
# WINEPREFIX, KEST_WINE_RUN, KEST_PREFIX_DATA and KEST_REG_VIEW set; the last is the
# reg.exe option, /reg:32 or none, that reaches the registry view the test programs read).
# wineserver is restarted at the end so that new drives and settings are seen.
set -eu
prefix=$1
source_dir=$2
stamp=$3
wow64_tree=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
run="$here/wine-run.sh $prefix"
wineserver=/usr/lib/wine/wineserver
# A Unix path as Wine sees it through drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# Runs a Wine step without its chatter, tried up to three times (wine-run.sh); says which
# step failed.
step() { "$@" >/dev/null 2>&1 || { echo "wine-prefix: '$*' failed" >&2; exit 1; }; }

export WINEPREFIX=$prefix WINEDEBUG=-all KEST_WINE_ATTEMPTS=3
"$wineserver" -k 2>/dev/null || true
rm -rf "$prefix" "$prefix-data"
mkdir -p "$(dirname "$prefix")" "$prefix-data"
reg_view=""
if [ -n "$wow64_tree" ]; then
  mkdir -p "$prefix"
  echo "$wow64_tree/lib/wine" > "$prefix/kest-wine-dir"
  reg_view=/reg:32
fi

step $run wineboot --init
"$wineserver" -w
if [ -n "$wow64_tree" ]; then
  # In WoW64 mode wineboot leaves syswow64 empty, and a 32-bit program cannot find even
  # kernel32.dll there. Copies, not links: the run below rewrites some of them in place.
  syswow64="$prefix/drive_c/windows/syswow64"
  mkdir -p "$syswow64"
  cp -f "$wow64_tree"/lib/x86_64-linux-gnu/wine/i386-windows/* "$syswow64/"
  # Registers the 32-bit side (COM classes among it) that the first run could not; the
  # multimedia layer finds no device without it.
  step $run wineboot -u
  "$wineserver" -w
fi
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
step $run reg import "$(winpath "$regfile")"

for reg in "$source_dir"/tests/*/prefix.reg; do
  [ -f "$reg" ] || continue
  step $run reg import "$(winpath "$reg")"
done
export KEST_WINE_RUN="$run" KEST_PREFIX_DATA="$prefix-data" KEST_REG_VIEW="$reg_view"
for hook in "$source_dir"/tests/*/prefix-setup.sh; do
  [ -f "$hook" ] || continue
  sh "$hook" || { echo "wine-prefix: $hook failed" >&2; exit 1; }
done

"$wineserver" -k 2>/dev/null || true
"$wineserver" -w
touch "$stamp"
