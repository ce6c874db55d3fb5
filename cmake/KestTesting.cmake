# GoogleTest, built from Debian's sources with the cross compiler, and suites that run
# under Wine in a private prefix of the build.

if(KEST_CAN_RUN AND NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main)
    target_compile_options(${lib} PRIVATE -w)
  endforeach()
endif()

include(GoogleTest)

# kest_add_gtest(NAME SOURCES file... [LIBRARIES lib...])
# A GoogleTest suite linked with the library and the shared test support, run under Wine.
# Its tests are listed when CTest starts, by running it: never while building, and not at
# all where the build's programs do not run (cmake/KestWine.cmake).
function(kest_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kest011 kest_test_support gtest_main ${ARG_LIBRARIES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  kest_windows_binary(${name})
  if(KEST_RUNS_PROGRAMS)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# kest_add_helper_program(NAME SOURCES file...): a small program that tests start.
function(kest_add_helper_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
  kest_windows_binary(${name})
endfunction()

# kest_add_code_page_test(NAME SOURCES file... RESOURCE file.rc [LIBRARIES lib...])
# A GoogleTest program with a main of its own, run once under each ANSI code page whose
# characters take several bytes (CTest's code_pages.<code page>). Wine takes a program's ANSI
# code page from its Unix locale: the double-byte ones come from glibc locales generated into
# the build folder (Debian's `locales` has their sources), UTF-8 from the manifest of a twin,
# NAME_utf8, whose RESOURCE is compiled with KEST_UTF8 defined. The program's first line
# shows GetACP(). As with kest_add_gtest, the runs are listed only where the build's programs
# run.
function(kest_add_code_page_test name)
  cmake_parse_arguments(ARG "" "RESOURCE" "SOURCES;LIBRARIES" ${ARGN})
  set(locales ${CMAKE_BINARY_DIR}/locales)
  set(generated)
  add_library(${name}_code OBJECT ${ARG_SOURCES})
  target_link_libraries(${name}_code PUBLIC kest011 kest_test_support gtest)
  target_include_directories(${name}_code PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  foreach(twin ${name} ${name}_utf8)
    add_executable(${twin} ${ARG_RESOURCE})
    target_link_libraries(${twin} PRIVATE ${name}_code ${ARG_LIBRARIES})
    kest_windows_binary(${twin})
  endforeach()
  target_compile_definitions(${name}_utf8 PRIVATE KEST_UTF8)
  if(NOT KEST_RUNS_PROGRAMS)
    return()
  endif()
  foreach(run 932=ja_JP 936=zh_CN 950=zh_TW 949=ko_KR 65001=C)
    string(REGEX REPLACE "=.*" "" code_page ${run})
    string(REGEX REPLACE ".*=" "" locale ${run})
    set(program ${name})
    set(environment LC_ALL= LANG=${locale}.UTF-8 KEST_CODE_PAGE=${code_page})
    if(locale STREQUAL "C")
      set(program ${name}_utf8)
    else()
      list(APPEND environment LOCPATH=${locales})
      add_custom_command(OUTPUT ${locales}/${locale}.UTF-8/LC_CTYPE
        COMMAND localedef -i ${locale} -f UTF-8 ${locales}/${locale}.UTF-8
        COMMENT "Generating the locale ${locale}.UTF-8")
      list(APPEND generated ${locales}/${locale}.UTF-8/LC_CTYPE)
    endif()
    add_test(NAME code_pages.${code_page} COMMAND ${program})
    set_tests_properties(code_pages.${code_page} PROPERTIES TIMEOUT 120
      ENVIRONMENT "${environment}")
  endforeach()
  add_custom_target(${name}_locales ALL DEPENDS ${generated})
endfunction()
