# kest_family(NAME SOURCES file... [USES family...] [SYSTEM lib...])
# One family of the library as an object library, kest_<NAME>. USES names the families whose
# functions and headers it uses, so every use across families is declared here (the static
# test library.layering fails on an include of another family that USES does not name);
# SYSTEM names the import libraries of the system DLLs it calls. The DLL is linked from the
# families' objects.
#
# A family's internal part that tests and benchmarks use on its own (exporting nothing, so
# it links beside the DLL's import library) is a family of its own, named <family>_<part>.
function(kest_family name)
  cmake_parse_arguments(ARG "" "" "SOURCES;USES;SYSTEM" ${ARGN})
  add_library(kest_${name} OBJECT ${ARG_SOURCES})
  target_include_directories(kest_${name}
    PUBLIC $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include> $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}>)
  target_compile_definitions(kest_${name} PRIVATE KEST011_BUILDING)
  # Every printf pattern is a literal that the compiler checks against its arguments.
  target_compile_options(kest_${name} PRIVATE -Wformat=2)
  # For the layering check: NAME, its folder, its sources and the families it uses.
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(JOIN "," sources ${ARG_SOURCES})
  string(JOIN "," uses ${ARG_USES})
  set_property(GLOBAL APPEND PROPERTY KEST_LAYERING "${name}:${folder}:${sources}:${uses}")
  list(TRANSFORM ARG_USES PREPEND kest_)
  target_link_libraries(kest_${name} PUBLIC ${ARG_USES} ${ARG_SYSTEM})
  set_property(GLOBAL APPEND PROPERTY KEST_FAMILIES kest_${name})
endfunction()
