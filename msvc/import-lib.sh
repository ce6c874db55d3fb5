#!/bin/sh
# Makes a COFF import library for one system DLL from MinGW-w64's import library of it: the
# names it imports become a module definition, which llvm-dlltool turns into short import
# members. lld-link takes those in an image with a SafeSEH table, as it does not take
# MinGW's, whose members are objects without the SafeSEH mark.
# usage: import-lib.sh MACHINE MINGW_LIB DLL OUTPUT [EXTRA_DEF [MEMBERS]]
#   MACHINE: i386 or i386:x86-64; EXTRA_DEF: more exports, in module-definition form (or
#   -, none); MEMBERS: where MINGW_LIB imports from several DLLs (libucrt.a), the start of
#   the names of DLL's members in it.
set -eu
machine=$1 mingw_lib=$2 dll=$3 output=$4 extra=${5:-} members=${6:-}
def=${output%.lib}.def
i386=0
[ "$machine" = i386 ] && i386=1

{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  {
    # A name that MinGW's library imports is __imp_NAME in an import member ("I"). __imp_
    # names that MinGW defines itself (type "D") are its own emulations, not exports of
    # the DLL. Every name gets a thunk: data is only ever reached through __imp_NAME.
    llvm-nm "$mingw_lib" 2>/dev/null | awk -v i386=$i386 -v members="$members" '
      /:$/ {member = $0}
      NF >= 2 && $(NF-1) == "I" && $NF ~ /^__imp_/ &&
      (members == "" || index(member, members) == 1) {
        name = substr($NF, 7)
        # 32-bit C names carry a leading underscore that the definition leaves out.
        if (i386 && name ~ /^_/) name = substr(name, 2)
        print name
      }'
    [ -z "$extra" ] || [ "$extra" = - ] || sed -n '/^EXPORTS/,$p' "$extra" | sed '1d; /^;/d; /^$/d'
  } | LC_ALL=C sort -u
} > "$def"

# -k: a 32-bit stdcall name (CreateFileA@28) is imported without its decoration.
kill_at=""
[ $i386 -eq 1 ] && kill_at=-k
llvm-dlltool -m "$machine" $kill_at -d "$def" -l "$output"
