# 32-bit Windows in Microsoft's C++ ABI, for programs built with Microsoft's compiler.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KEST_TARGET i686-pc-windows-msvc)
set(KEST_MINGW_TRIPLET i686-w64-mingw32)
# _X86_ tells MinGW-w64's headers the architecture, which its compiler would have defined.
set(KEST_CPU_FLAGS "-msse2 -mfpmath=sse -D_X86_")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-msvc-common.cmake)
