#!/usr/bin/env bash
# Answers whether this host runs 32-bit user code, which the 32-bit builds' programs need:
# Wine's WoW64 mode switches a 64-bit process into the 32-bit code segment and makes 32-bit
# system calls there. Some hosts run 64-bit user code only; their kernel leaves no usable
# 32-bit code segment, and every 32-bit program dies at its start.
# usage: host-runs-32bit.sh DIR   (DIR: a folder to write the probe program into)
# Exit status 0 when it does (and prints "yes"); 1 when it does not, printing why.
# KEST_HOST_32BIT=no gives the second answer on any host.
#
# The answer comes from the host's behaviour, not from kernel versions: a static 64-bit
# program far-returns into selector 0x23 (the 32-bit user code segment) and exits there
# with status 42 through the 32-bit system call gate, int 0x80. On a host without 32-bit
# user code the far return faults, and the program dies at once.
set -u
only_64bit="host runs 64-bit user code only"
if [ "${KEST_HOST_32BIT:-}" = no ]; then
  echo "$only_64bit, as KEST_HOST_32BIT=no says"
  exit 1
fi
dir=$1
mkdir -p "$dir"
probe=$(mktemp "$dir/host-runs-32bit.XXXXXX")
trap 'rm -f "$probe"' EXIT

# One segment loaded at 0x400000, file offset 0: the ELF header (64 bytes), the program
# header (56 bytes), then the code at 0x400078.
elf_header='\x7fELF\x02\x01\x01\0\0\0\0\0\0\0\0\0'  # 64-bit, little-endian, version 1
elf_header+='\x02\0\x3e\0\x01\0\0\0'                # executable, x86-64, version 1
elf_header+='\x78\0\x40\0\0\0\0\0'                  # entry point
elf_header+='\x40\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'    # program headers at 64, no sections
elf_header+='\0\0\0\0\x40\0\x38\0\x01\0\0\0\0\0\0\0'  # flags, sizes, one program header
program_header='\x01\0\0\0\x05\0\0\0'               # loadable, readable and executable
program_header+='\0\0\0\0\0\0\0\0'                  # from file offset 0
program_header+='\0\0\x40\0\0\0\0\0\0\0\x40\0\0\0\0\0'  # to 0x400000
program_header+='\x9b\0\0\0\0\0\0\0\x9b\0\0\0\0\0\0\0'  # 155 bytes, the whole file
program_header+='\0\x10\0\0\0\0\0\0'                # page-aligned
# 64-bit: prctl(PR_SET_DUMPABLE, 0), so that the fault leaves no core dump behind.
code='\xb8\x9d\0\0\0\xbf\x04\0\0\0\x31\xf6\x0f\x05'
# push $0x23; push $0x40008f; lretq: continue at 0x40008f in the 32-bit code segment.
code+='\x6a\x23\x68\x8f\0\x40\0\x48\xcb'
# 32-bit: exit(42) through int 0x80 (eax 1, the 32-bit exit call; ebx the status).
code+='\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80'
# shellcheck disable=SC2059 # the format is the program, in escapes
printf "$elf_header$program_header$code" > "$probe"
chmod +x "$probe"

# The timeout only guards against the unforeseen; either answer comes within milliseconds.
# (In a subshell of its own, whose stderr takes the shell's note of the fault.)
status=$( (timeout 5 "$probe") >/dev/null 2>&1; echo $?)
case $status in
  42) echo yes; exit 0 ;;
  # Killed by a signal: the fault.
  129 | 1[3-5][0-9]) echo "$only_64bit" ;;
  *) echo "$only_64bit, as far as can be told (the probe program ended with status $status)" ;;
esac
exit 1
