# 64-bit Windows, cross-built with MinGW-w64 and run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KEST_TRIPLET x86_64-w64-mingw32)
# No fused multiply-add: angle arithmetic must round the same on both targets.
set(KEST_CPU_FLAGS "-ffp-contract=off")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
