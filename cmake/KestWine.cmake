# Programs of the build run under 64-bit Wine, in a private prefix of the build folder
# (never ~/.wine), made by any full build. 32-bit builds run in Wine's WoW64 mode, from a
# Wine tree of the build's own (cmake/wine-wow64.sh) that adds the 32-bit modules; it is
# made once and kept (remove the folder to make it again).
#
# A 32-bit build runs its programs only where the host runs 32-bit user code, which
# cmake/host-runs-32bit.sh answers at every configure (KEST_RUNS_PROGRAMS). Elsewhere it is
# built and checked as everywhere, but gets neither the Wine tree nor the prefix, whose
# making runs 32-bit programs, and lists no test that runs a program of the build.

set(KEST_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${KEST_WINE_PREFIX})

# kest_add_program_test(NAME name COMMAND ... [PROPERTIES name value ...]): a test that runs
# a Windows program of the build, listed only where the build's programs run.
function(kest_add_program_test)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "NAME" "PROPERTIES")
  if(KEST_RUNS_PROGRAMS)
    add_test(NAME ${ARG_NAME} ${ARG_UNPARSED_ARGUMENTS})
    if(ARG_PROPERTIES)
      set_tests_properties(${ARG_NAME} PROPERTIES ${ARG_PROPERTIES})
    endif()
  endif()
endfunction()

set(KEST_RUNS_PROGRAMS ON)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KEST_WINE_WOW64_TREE ${CMAKE_BINARY_DIR}/wine-wow64 CACHE PATH
      "Wine tree that runs the 32-bit build's programs (WoW64 mode)")
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/cmake/host-runs-32bit.sh ${CMAKE_BINARY_DIR}
                  RESULT_VARIABLE no_32bit OUTPUT_VARIABLE why OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(no_32bit)
    set(KEST_RUNS_PROGRAMS OFF)
    set(skipped "skipped (${why}): this build's programs are built, not run")
    message(STATUS "Wine prefix: ${skipped}")
    add_custom_target(wine_prefix ALL COMMAND ${CMAKE_COMMAND} -E true
                      COMMENT "wine_prefix: ${skipped}")
    return()
  endif()
endif()

set(wow64_args)
set(wow64_depends)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_custom_command(
    OUTPUT ${KEST_WINE_WOW64_TREE}/.complete
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-wow64.sh ${KEST_WINE_WOW64_TREE}
    COMMENT "Assembling the WoW64 Wine tree"
    USES_TERMINAL)
  set(wow64_args ${KEST_WINE_WOW64_TREE})
  set(wow64_depends ${KEST_WINE_WOW64_TREE}/.complete)
endif()

file(GLOB KEST_PREFIX_HOOKS CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/tests/*/prefix.reg ${CMAKE_SOURCE_DIR}/tests/*/prefix-setup.sh)
add_custom_command(
  OUTPUT ${KEST_WINE_PREFIX}.ready
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh ${KEST_WINE_PREFIX} ${CMAKE_SOURCE_DIR}
          ${KEST_WINE_PREFIX}.ready ${wow64_args}
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh
          ${KEST_PREFIX_HOOKS} ${wow64_depends}
  COMMENT "Making the Wine prefix"
  USES_TERMINAL)
add_custom_target(wine_prefix ALL DEPENDS ${KEST_WINE_PREFIX}.ready)
