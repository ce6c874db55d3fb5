# kest_family(NAME SOURCES file... [USES family...] [SYSTEM lib...])
# One family of the library as an object library, kest_<NAME>. USES names the families whose
# functions it calls, so every call across families is declared here; SYSTEM names the
# import libraries of the system DLLs it calls. The DLL is linked from the families' objects.
#
# A family's internal part that tests and benchmarks use on its own (exporting nothing, so
# it links beside the DLL's import library) is a family of its own, named <family>_<part>.
function(kest_family name)
  cmake_parse_arguments(ARG "" "" "SOURCES;USES;SYSTEM" ${ARGN})
  add_library(kest_${name} OBJECT ${ARG_SOURCES})
  target_include_directories(kest_${name}
    PUBLIC $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include> $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}>)
  target_compile_definitions(kest_${name} PRIVATE KEST011_BUILDING)
  list(TRANSFORM ARG_USES PREPEND kest_)
  target_link_libraries(kest_${name} PUBLIC ${ARG_USES} ${ARG_SYSTEM})
  set_property(GLOBAL APPEND PROPERTY KEST_FAMILIES kest_${name})
endfunction()
