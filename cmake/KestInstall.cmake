# cmake --install: bin/ (the DLL, its symbol file where made, and kest.exe), lib/ (the import library, and kest011.def in
# Microsoft's ABI), include/ and a CMake package, so consumers write find_package(Kest011) and
# link Kest011::kest011.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS kest011 EXPORT Kest011Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET kest)
  install(TARGETS kest RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(KEST_ABI STREQUAL "msvc")
  # kest011.def beside kest011.lib, for linkers and tools that make their own import library.
  set(KEST_DEF_FILE ${CMAKE_BINARY_DIR}/lib/kest011.def)
  add_custom_command(TARGET kest011 POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/write-def.sh ${KEST_OBJDUMP} $<TARGET_FILE:kest011> ${KEST_DEF_FILE}
    BYPRODUCTS ${KEST_DEF_FILE})
  install(FILES ${KEST_DEF_FILE} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
if(KEST_SYMBOLS)
  # The DLL's symbol file beside it (kest_symbol_file).
  if(KEST_ABI STREQUAL "msvc")
    install(FILES ${CMAKE_BINARY_DIR}/bin/kest011.pdb DESTINATION ${CMAKE_INSTALL_BINDIR})
  else()
    install(FILES $<TARGET_FILE:kest011>.debug DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endif()
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT Kest011Targets NAMESPACE Kest011:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kest011)

configure_package_config_file(cmake/Kest011Config.cmake.in
  ${CMAKE_BINARY_DIR}/Kest011Config.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kest011)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/Kest011ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/Kest011Config.cmake ${CMAKE_BINARY_DIR}/Kest011ConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kest011)
