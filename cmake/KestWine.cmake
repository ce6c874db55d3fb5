# Programs of the build run under 64-bit Wine, in a private prefix of the build folder
# (never ~/.wine). The prefix is made once, before any test suite is built, since suites
# are listed by running them under Wine straight after linking.

set(KEST_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${KEST_WINE_PREFIX})

file(GLOB KEST_PREFIX_HOOKS CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/tests/*/prefix.reg ${CMAKE_SOURCE_DIR}/tests/*/prefix-setup.sh)
add_custom_command(
  OUTPUT ${KEST_WINE_PREFIX}.ready
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh ${KEST_WINE_PREFIX} ${CMAKE_SOURCE_DIR}
          ${KEST_WINE_PREFIX}.ready
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh
          ${KEST_PREFIX_HOOKS}
  COMMENT "Making the Wine prefix"
  USES_TERMINAL)
add_custom_target(wine_prefix ALL DEPENDS ${KEST_WINE_PREFIX}.ready)
