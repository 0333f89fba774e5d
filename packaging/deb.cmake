# The Debian package, made by scripts/package.sh (cpack -G DEB in the build
# folder): build/kvt540m_VERSION_ARCH.deb. Depends comes from the programs'
# shared libraries (dpkg-shlibdeps); Qt's own translations are recommended:
# without them the Japanese windows show Qt's file dialog and standard
# buttons in English, as before, and nothing else is missing.
install(FILES packaging/README.Debian DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(kvt540m_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvt540m)
set(CPACK_PACKAGE_VENDOR "kvt540m developers")
set(CPACK_PACKAGE_CONTACT "kvt540m developers <developers@kvt540m.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "LED message sign editor with a serial link to the sign")
set(CPACK_PACKAGE_DESCRIPTION
  "kvt540m composes what an LED message sign of 7 lines by 32 pages shows (texts,\n"
  "colours, blink, fill bordering, white level, display time, page sequencing,\n"
  "position trim), keeps it in a settings file (*.dat) and sends it to the sign\n"
  "over a serial line: RS-232C, RS-485 with slave numbers 0 to 31, or a serial\n"
  "device server on the network. It reads the settings back from the sign.\n"
  "\n"
  "The package holds the window program kvt540m, the command-line tool\n"
  "kvt540m-cli (send, read back, verify, deploy to every sign of an RS-485 bus,\n"
  "export and import as CSV and JSON, draw pages as PNG) and the simulated sign\n"
  "kvt540m-sign-sim, which lets both be tried without a sign.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
