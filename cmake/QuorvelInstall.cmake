# Installs the CMake package: find_package(Quorvel CONFIG) gives
# Quorvel::framework and, off Windows, Quorvel::win32.
include(CMakePackageConfigHelpers)

install(EXPORT QuorvelTargets
  NAMESPACE Quorvel::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Quorvel)

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/QuorvelConfig.cmake.in
  ${CMAKE_BINARY_DIR}/QuorvelConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Quorvel)
write_basic_package_version_file(
  ${CMAKE_BINARY_DIR}/QuorvelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_BINARY_DIR}/QuorvelConfig.cmake
  ${CMAKE_BINARY_DIR}/QuorvelConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Quorvel)
