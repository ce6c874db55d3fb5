#!/usr/bin/env bash
# Proves that the symbol file beside kest011.dll in BIN_DIR was made with it: the GUID and
# age of kest011.pdb are those of the DLL's CodeView record, or the CRC-32 that the DLL's
# .gnu_debuglink states is that of kest011.dll.debug, the file it names.
# usage: symbols-match.sh BIN_DIR
set -euo pipefail
bin=$1
fail() { echo "symbols-match: $*" >&2; exit 1; }
if [ -f "$bin/kest011.pdb" ]; then
  record=$(llvm-readobj --coff-debug-directory "$bin/kest011.dll")
  summary=$(llvm-pdbutil dump --summary "$bin/kest011.pdb")
  # llvm-readobj 22 prints the GUID as a GUID; earlier ones print its bytes as stored, the
  # first three fields little-endian.
  dll_guid=$(sed -n 's/^ *PDBGUID: *\({.*}\)$/\1/p' <<<"$record")
  if [ -z "$dll_guid" ]; then
    read -ra b <<<"$(sed -n 's/^ *PDBGUID: *(\(.*\))/\1/p' <<<"$record")"
    [ ${#b[@]} -eq 16 ] || fail "kest011.dll has no CodeView record"
    dll_guid=$(printf '{%s%s%s%s-%s%s-%s%s-%s%s-%s%s%s%s%s%s}' "${b[3]}" "${b[2]}" "${b[1]}" \
      "${b[0]}" "${b[5]}" "${b[4]}" "${b[7]}" "${b[6]}" "${b[@]:8}")
  fi
  dll_age=$(sed -n 's/^ *PDBAge: *//p' <<<"$record")
  pdb_guid=$(sed -n 's/^ *GUID: *//p' <<<"$summary")
  pdb_age=$(sed -n 's/^ *Age: *//p' <<<"$summary")
  name=$(sed -n 's/^ *PDBFileName: *//p' <<<"$record")
  echo "kest011.dll: CodeView $dll_guid age $dll_age, PDB $name; kest011.pdb: $pdb_guid age $pdb_age"
  [ "$name" = kest011.pdb ] || fail "the DLL names its PDB '$name', not by its bare name"
  [ "${dll_guid^^}" = "${pdb_guid^^}" ] && [ "$dll_age" = "$pdb_age" ] ||
    fail "kest011.pdb is not the DLL's"
else
  [ -f "$bin/kest011.dll.debug" ] || fail "no symbol file in $bin"
  link=$(mktemp)
  trap 'rm -f "$link" "$link.out"' EXIT
  objcopy --dump-section .gnu_debuglink="$link" "$bin/kest011.dll" "$link.out"
  /usr/bin/python3 - "$link" "$bin" <<'PY' || fail "kest011.dll.debug is not the DLL's"
import os, struct, sys, zlib
link, folder = sys.argv[1:]
data = open(link, "rb").read()
name = data[:data.index(b"\0")].decode()
wanted = struct.unpack_from("<I", data, (len(name) + 4) & ~3)[0]
actual = zlib.crc32(open(os.path.join(folder, name), "rb").read())
print("kest011.dll: debuglink %s CRC %08x; %s CRC %08x" % (name, wanted, name, actual))
sys.exit(0 if name == "kest011.dll.debug" and wanted == actual else 1)
PY
fi
