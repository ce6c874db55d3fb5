# 64-bit Windows in Microsoft's C++ ABI, for programs built with Microsoft's compiler.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KEST_TARGET x86_64-pc-windows-msvc)
set(KEST_MINGW_TRIPLET x86_64-w64-mingw32)
set(KEST_CPU_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-msvc-common.cmake)
