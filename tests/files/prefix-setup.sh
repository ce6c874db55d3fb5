#!/bin/sh
# Drive letters for the files tests, each on a folder of its own beside the prefix:
# A: a removable (floppy) drive and K: a second fixed drive, so that moves between drives
# really copy and delete. Their types come from tests/files/prefix.reg; wine-prefix.sh
# restarts wineserver afterwards, which makes the mount manager see them.
set -eu
for letter in a k; do
  folder="$KEST_PREFIX_DATA/drive-$letter"
  mkdir -p "$folder"
  ln -sfn "$folder" "$WINEPREFIX/dosdevices/$letter:"
done
