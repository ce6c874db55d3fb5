#!/bin/sh
# Assembles a private Wine tree that runs 32-bit Windows programs in 64-bit Wine's WoW64
# mode, with no 32-bit Linux userland: Debian's 64-bit Wine plus the 32-bit PE modules of
# the same Wine version, taken from the libwine:i386 package without installing it
# (installing wine32 would make the launcher try the 32-bit Linux loader).
# usage: wine-wow64.sh TREE
#
# The loader finds ntdll.so through ../x86_64-linux-gnu/wine/x86_64-unix/ beside itself;
# ntdll.so looks for x86_64-windows/ and i386-windows/ beside its own (symlink-resolved)
# folder, and for the NLS files in ../../share/wine/nls from the loader. So the loader and
# the small unix folder are copies and the rest links; nothing under /usr changes.
# TREE/.complete is written last: a tree without it is made again from the start, reusing
# the downloaded package.
set -eu
[ -f "$1/.complete" ] && exit 0
mkdir -p "$1"
tree=$(cd "$1" && pwd)

version=$(dpkg-query -W -f='${Version}' wine64)
download="$tree/download"
deb="$download/libwine_${version#*:}_i386.deb"
apt_dir="$download/apt"
# A private package list, so that the machine's apt set-up (architectures, lists) is left
# as it is.
apt() {
  apt-get -qq -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" \
    -o APT::Architectures::=i386 -o Acquire::Languages=none -o APT::Sandbox::User=root "$@"
}
if [ ! -f "$deb" ]; then
  echo "wine-wow64: fetching the 32-bit Wine $version modules (libwine:i386)" >&2
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  apt update
  rm -rf "$download/partial" && mkdir -p "$download/partial"
  (cd "$download/partial" && apt download "libwine:i386=$version")
  # Only a finished download takes the name that counts.
  mv "$download"/partial/libwine_*_i386.deb "$deb"
  rm -rf "$apt_dir" "$download/partial"
fi

find "$tree" -mindepth 1 -maxdepth 1 ! -name download -exec rm -rf {} +
lib="$tree/lib/x86_64-linux-gnu/wine"
mkdir -p "$tree/lib/wine" "$lib" "$tree/share"
cp /usr/lib/wine/wine64 /usr/lib/wine/wineserver "$tree/lib/wine/"
cp -R /usr/lib/x86_64-linux-gnu/wine/x86_64-unix "$lib/"
ln -s /usr/lib/x86_64-linux-gnu/wine/x86_64-windows "$lib/x86_64-windows"
ln -s /usr/share/wine "$tree/share/wine"
dpkg-deb --fsys-tarfile "$deb" |
  tar -x -C "$tree" ./usr/lib/i386-linux-gnu/wine/i386-windows
mv "$tree/usr/lib/i386-linux-gnu/wine/i386-windows" "$lib/i386-windows"
rm -rf "$tree/usr"
# Debian's 32-bit user32.dll imports zlib1.dll, which Wine itself does not ship.
cp /usr/i686-w64-mingw32/lib/zlib1.dll "$lib/i386-windows/"
touch "$tree/.complete"
