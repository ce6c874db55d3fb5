# 32-bit Windows, the library's primary target, cross-built with MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KEST_TRIPLET i686-w64-mingw32)

set(CMAKE_C_COMPILER ${KEST_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KEST_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KEST_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KEST_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# SSE2 doubles instead of x87 extended precision, so results match the 64-bit build bit
# for bit. Callers built by other compilers only promise a 4-byte aligned stack.
set(KEST_CPU_FLAGS "-msse2 -mfpmath=sse -mincoming-stack-boundary=2 -ffp-contract=off")
set(CMAKE_C_FLAGS_INIT "${KEST_CPU_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${KEST_CPU_FLAGS}")
