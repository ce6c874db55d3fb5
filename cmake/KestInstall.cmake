# cmake --install: bin/ (the DLL and kest.exe), lib/ (the import library), include/ and a
# CMake package, so consumers write find_package(Kest011) and link Kest011::kest011.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS kest011 EXPORT Kest011Targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS kest RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT Kest011Targets NAMESPACE Kest011:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kest011)

configure_package_config_file(cmake/Kest011Config.cmake.in
  ${CMAKE_BINARY_DIR}/Kest011Config.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kest011)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/Kest011ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/Kest011Config.cmake ${CMAKE_BINARY_DIR}/Kest011ConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kest011)
