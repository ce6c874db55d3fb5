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
