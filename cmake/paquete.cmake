# The Debian package, by CPack's DEB generator: "cmake --build build --target package" writes
# build/tildo_VERSION_amd64.deb with what "cmake --install" puts under /usr, stripped, and the
# Depends that dpkg-shlibdeps finds for the programs plus the programs they run.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tildo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tildo <paquetes@tildo.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hands and face of the Tildo assistant on the Linux desktop")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "tildo-ax carries out one desktop action per run and replies with one JSON
line: pointer and keyboard input, the accessibility tree of an application,
finding and pressing its elements, windows and screen facts.
.
tildo-ui shows the assistant on screen: a floating control bar, a ring that
marks where it is about to act, a neon hand that follows the pointer, a
permission question and speech; it also reports the user's own input.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked but run: the accessibility bus, the voice and pgrep.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "at-spi2-core, espeak-ng, procps")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The licence, the changelog (paquete/) and, for a static tildo-ax, lintian's word on it.
set(paquete ${PROJECT_SOURCE_DIR}/paquete)
set(doc ${CMAKE_INSTALL_DATADIR}/doc/tildo)
configure_file(${paquete}/changelog.in ${CMAKE_BINARY_DIR}/paquete/changelog @ONLY)
set(changelog ${CMAKE_BINARY_DIR}/paquete/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/paquete/changelog > ${changelog}
  DEPENDS ${CMAKE_BINARY_DIR}/paquete/changelog)
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} ${paquete}/copyright DESTINATION ${doc})
if(TILDO_ESTATICO)
  install(FILES ${paquete}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME tildo)
endif()
include(CPack)
