#!/usr/bin/env bash
# Runs a compiler or linker step with the source folder written relative to the working
# folder, the build folder of every Ninja step. clang records its whole command line in
# CodeView debug information, and lld-link its own in the PDB: with relative paths the PDB
# names no folder of the machine, and a release built in any folder gives the same bytes.
# usage: relative-paths.sh SOURCE_DIR COMMAND ARGS...
set -euo pipefail
source_dir=$1
shift
relative=$(realpath --relative-to="$PWD" "$source_dir")
args=()
for arg in "$@"; do
  args+=("${arg//"$source_dir"/"$relative"}")
done
exec "${args[@]}"
