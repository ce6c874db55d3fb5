# 32-bit Windows, the library's primary target, cross-built with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KEST_TRIPLET i686-w64-mingw32)
# SSE2 doubles instead of x87 extended precision and no fused multiply-add, so results
# match the 64-bit build bit for bit. Callers built by other compilers only promise a
# 4-byte aligned stack.
set(KEST_CPU_FLAGS "-msse2 -mfpmath=sse -mincoming-stack-boundary=2 -ffp-contract=off")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
