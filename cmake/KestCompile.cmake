# Flags shared by the library, the tool, the tests and the benchmarks.

add_compile_options(-Wall -Wextra)
# One printf for every build: MinGW's own C99 formatting, not the system runtime's, so
# numbers print and round the same on every Windows (and under Wine).
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0601 WINVER=0x0601)

if(KEST_ABI STREQUAL "msvc")
  # Hardened images: relocatable at any address (with 64-bit addresses on x86_64), data not
  # executable; on i686 a table of the exception handlers that may run (SafeSEH).
  # /nodefaultlib: every library is named on the link line; none comes from what objects
  # ask for (msvcrt, its debug twin msvcrtd, oldnames).
  set(KEST_MSVC_LINK_OPTIONS LINKER:/dynamicbase LINKER:/nxcompat LINKER:/nodefaultlib)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    list(APPEND KEST_MSVC_LINK_OPTIONS LINKER:/safeseh)
  else()
    list(APPEND KEST_MSVC_LINK_OPTIONS LINKER:/highentropyva)
  endif()
  # No manifest: the images carry the same resources as the MinGW builds'.
  foreach(lang C CXX)
    foreach(rule CREATE_SHARED_LIBRARY CREATE_SHARED_MODULE LINK_EXECUTABLE)
      string(REPLACE "-Xlinker /MANIFEST:EMBED" "" CMAKE_${lang}_${rule} "${CMAKE_${lang}_${rule}}")
    endforeach()
  endforeach()
endif()

# Each binary imports system DLLs only. MinGW builds link the compiler's runtimes (libgcc,
# libstdc++, winpthread) in; builds in Microsoft's ABI link msvc/'s start-up code and take
# the C runtime from msvcrt.dll.
function(kest_windows_binary target)
  if(NOT KEST_ABI STREQUAL "msvc")
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    target_link_libraries(${target} PRIVATE kest_crt_dll)
  else()
    target_link_libraries(${target} PRIVATE kest_crt_exe)
  endif()
  target_link_libraries(${target} PRIVATE msvcrt kernel32)
  target_link_directories(${target} PRIVATE ${KEST_MSVC_LIB_DIR})
  target_link_options(${target} PRIVATE ${KEST_MSVC_LINK_OPTIONS})
  add_dependencies(${target} kest_msvc_import_libs)
endfunction()
