#!/usr/bin/env bash
# tools/test-all's report and exit status on both kinds of host, against a stand-in build (cmake
# and ctest on PATH that build nothing); and the host probe against the kernel's 32-bit answer.
# usage: test-all-report.sh SOURCE_DIR WORK_DIR
set -uo pipefail
root=$1 work=$2
unset KEST_REQUIRE_32BIT
rm -rf "$work" && mkdir -p "$work/bin"
# shellcheck disable=SC2016 # the stand-in's own text
printf '#!/bin/sh\n[ "$3" != -B ] || mkdir -p "$4"\n' > "$work/bin/cmake"
# Two tests, the second failing in the build STANDIN_FAILING names; one check under -L static.
cat > "$work/bin/ctest" <<'CTEST'
#!/bin/bash
count=2 result=Passed passed=100% failed=0
case " $* " in *" -L static "*) count=1 ;; esac
[ "${2##*/}" != "${STANDIN_FAILING:-}" ] || result=Failed passed=50% failed=1
echo "1/$count Test #1: exports ....   Passed    0.01 sec"
[ $count = 1 ] || echo "2/2 Test #2: suite.case ....   $result    0.01 sec"
echo "$passed tests passed, $failed tests failed out of $count"
[ $failed = 0 ]
CTEST
# shellcheck disable=SC2016 # the probe's program ends with STANDIN_PROBE (42; 139, a fault) if set
printf '#!/bin/sh\nexit ${STANDIN_PROBE:-$(/usr/bin/timeout "$@"; echo $?)}\n' > "$work/bin/timeout"
chmod +x "$work/bin/"*
failures=0
i686_here="i686: 2 tests, all passed"
why=$("$root/cmake/host-runs-32bit.sh" "$work") ||
  i686_here="i686: built and checked, tests not run ($why)"
forced="host runs 64-bit user code only, as KEST_HOST_32BIT=no says"
# environment | exit status | lines the output must have
while IFS='|' read -r environment expected_status lines; do
  # shellcheck disable=SC2086 # the row's assignments, one a word
  output=$(env $environment KEST_BUILD_DIR="$work/build" PATH="$work/bin:$PATH" \
    "$root/tools/test-all" 2>&1)
  actual_status=$?
  [ "$actual_status" = "$expected_status" ] ||
    { echo "[$environment] exit status $actual_status, not $expected_status"; failures=1; }
  IFS=';' read -ra wanted <<< "${lines//\$forced/$forced}"
  for line in "${wanted[@]}"; do
    line=${line//\$i686_here/$i686_here}
    grep -qxF -- "$line" <<< "$output" ||
      { echo "[$environment] no line '$line'"; failures=1; }
  done
  [ "$failures" = 0 ] || echo "$output"
done <<'ROWS'
KEST_HOST_32BIT=no|0|== tests: i686: not run here: this $forced;== checks run for i686-msvc: exports;x86_64: 2 tests, all passed;i686-msvc: built and checked, tests not run ($forced);x86_64-msvc: 2 tests, all passed
KEST_HOST_32BIT=no KEST_REQUIRE_32BIT=1|1|i686: built and checked, tests not run ($forced): a failure, as KEST_REQUIRE_32BIT=1
KEST_HOST_32BIT= STANDIN_PROBE=42|0|i686: 2 tests, all passed
KEST_HOST_32BIT= STANDIN_PROBE=139|0|i686: built and checked, tests not run (host runs 64-bit user code only)
STANDIN_FAILING=x86_64-msvc|1|x86_64-msvc: 1 of 2 tests failed;$i686_here;x86_64: 2 tests, all passed
ROWS

# A static i386 program that exits with 42 runs exactly where the probe says yes (unless
# an emulator registered for i386 programs runs it on a host that cannot).
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  # shellcheck disable=SC2016 # assembly, not shell
  printf '.globl _start\n_start: movl $1, %%eax\nmovl $42, %%ebx\nint $0x80\n' |
    clang --target=i386-linux-gnu -nostdlib -static -fuse-ld=lld -x assembler -o "$work/exit42" -
  kernel=no probe=no
  ("$work/exit42") >/dev/null 2>&1
  [ $? = 42 ] && kernel=yes
  KEST_HOST_32BIT="" "$root/cmake/host-runs-32bit.sh" "$work" >/dev/null && probe=yes
  [ "$kernel" = "$probe" ] ||
    { echo "the probe says $probe, a 32-bit program says $kernel"; failures=1; }
fi
exit $failures
