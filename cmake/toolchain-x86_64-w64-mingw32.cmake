# 64-bit Windows, cross-built with MinGW-w64 (posix thread model) and run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KEST_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KEST_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KEST_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KEST_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KEST_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# No fused multiply-add: angle arithmetic must round the same on both targets.
set(CMAKE_C_FLAGS_INIT "-ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off")
