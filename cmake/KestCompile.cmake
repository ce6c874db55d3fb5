# Flags shared by the library, the tool, the tests and the benchmarks.

add_compile_options(-Wall -Wextra)
# Reproducible images: the same sources give the same bytes in any folder at any time. No
# folder of the build is written into objects, macros or debug information, and no link
# time into the PE header (MinGW's --no-insert-timestamp below, /Brepro in Microsoft's ABI).
# The build folder's map comes last: it lies inside the source folder, and the last match
# wins.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
# Debug symbols of the DLL, made for the release archives (tools/release): a PDB in
# Microsoft's ABI, the DWARF split off into kest011.dll.debug with MinGW.
option(KEST_SYMBOLS "Debug symbols beside kest011.dll" OFF)
if(KEST_SYMBOLS)
  add_compile_options(-g)
  if(KEST_ABI STREQUAL "msvc")
    # The command lines that clang and lld-link record in the PDB name the source folder
    # relative to the build folder; the paths lld-link makes absolute start at a fixed root.
    add_compile_options(-ffile-compilation-dir=.)
    foreach(step C_COMPILER CXX_COMPILER C_LINKER CXX_LINKER)
      set(CMAKE_${step}_LAUNCHER ${CMAKE_SOURCE_DIR}/cmake/relative-paths.sh ${CMAKE_SOURCE_DIR})
    endforeach()
  endif()
endif()
# One printf for every build: MinGW's own C99 formatting, not the system runtime's, so
# numbers print and round the same on every Windows (and under Wine).
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0601 WINVER=0x0601)

if(KEST_ABI STREQUAL "msvc")
  # Hardened images: relocatable at any address (with 64-bit addresses on x86_64), data not
  # executable; on i686 a table of the exception handlers that may run (SafeSEH).
  # /nodefaultlib: every library is named on the link line; none comes from what objects
  # ask for (msvcrt, its debug twin msvcrtd, oldnames).
  set(KEST_MSVC_LINK_OPTIONS LINKER:/dynamicbase LINKER:/nxcompat LINKER:/nodefaultlib
                              LINKER:/Brepro)
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
# the C runtime from msvcrt.dll, or, for a program marked VC_RUNTIME, from vcruntime140.dll
# and the UCRT, as programs of Visual C++ 2015-2022 do.
function(kest_windows_binary target)
  cmake_parse_arguments(ARG "VC_RUNTIME" "" "" ${ARGN})
  get_target_property(type ${target} TYPE)
  if(KEST_SYMBOLS AND type STREQUAL "SHARED_LIBRARY")
    kest_symbol_file(${target})
  endif()
  if(NOT KEST_ABI STREQUAL "msvc")
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++
                                          LINKER:--no-insert-timestamp)
    if(KEST_SYMBOLS AND NOT type STREQUAL "SHARED_LIBRARY")
      target_link_options(${target} PRIVATE LINKER:--strip-debug)
    endif()
    return()
  endif()
  if(ARG_VC_RUNTIME)
    target_link_libraries(${target} PRIVATE kest_crt_ucrt_exe ${KEST_UCRT_LIBS} kernel32)
  elseif(type STREQUAL "SHARED_LIBRARY")
    target_link_libraries(${target} PRIVATE kest_crt_dll msvcrt kernel32)
  else()
    target_link_libraries(${target} PRIVATE kest_crt_exe msvcrt kernel32)
  endif()
  target_link_directories(${target} PRIVATE ${KEST_MSVC_LIB_DIR})
  target_link_options(${target} PRIVATE ${KEST_MSVC_LINK_OPTIONS})
  add_dependencies(${target} kest_msvc_import_libs)
endfunction()

# The DLL's symbols in a file of their own, which the DLL names: a PDB recorded by its bare
# name (not a build path), or, with MinGW, the DWARF and symbol table moved into
# <dll>.debug, which the DLL's .gnu_debuglink names with its CRC-32.
function(kest_symbol_file target)
  if(KEST_ABI STREQUAL "msvc")
    target_link_options(${target} PRIVATE LINKER:/debug LINKER:/pdbaltpath:%_PDB%
                                          LINKER:/pdbsourcepath:C:\\kest011)
    return()
  endif()
  # objcopy stamps the PE header it writes with SOURCE_DATE_EPOCH, or else the time: 0, as
  # the linker leaves it.
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE_NAME:${target}>
            $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${objcopy} --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
            $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>)
endfunction()
