# Installing Quor Print with the GNU directories, and its Debian package.
# Included after every target is defined, so that the companion library is
# installed when some part of the tree builds it.
include(GNUInstallDirs)

set(QUOR_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/quorprn)
set(QUOR_DATADIR ${CMAKE_INSTALL_DATADIR}/quorprn)
# Named after the package, not the CMake project.
set(QUOR_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quorprn)
set(QUOR_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# The program finds the companion library (dlopen by file name) through its
# RUNPATH: beside it in the build tree, in the private folder once installed.
file(RELATIVE_PATH quor_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/quorprn)
set_target_properties(quorprn PROPERTIES INSTALL_RPATH "$ORIGIN/${quor_bin_to_lib}")

install(TARGETS quorprn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program opens it as "libquorprn.so": the unversioned name must be there.
if(TARGET quorprn_companion)
  install(TARGETS quorprn_companion LIBRARY DESTINATION ${QUOR_PRIVATE_LIBDIR})
endif()

# Help files; the program looks for them beside itself, then here. The
# templates and the message table are compiled into the program.
install(FILES ${PROJECT_SOURCE_DIR}/resources/quorprn.hlp ${PROJECT_SOURCE_DIR}/resources/quorview.hlp
  DESTINATION ${QUOR_DATADIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${QUOR_DOCDIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${QUOR_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${QUOR_DOCDIR} RENAME copyright)
install(FILES ${QUOR_PACKAGING}/quorprn.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUOR_PACKAGING}/quorprn.desktop ${QUOR_PACKAGING}/quorprn-prepared.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUOR_PACKAGING}/quorprn.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${QUOR_PACKAGING}/quorprn-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quorprn.xml)

# The user unit names the installed program by its full path.
set(QUOR_INSTALLED_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}/quorprn)
configure_file(${QUOR_PACKAGING}/quorprn-watch@.service.in ${PROJECT_BINARY_DIR}/quorprn-watch@.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quorprn-watch@.service DESTINATION lib/systemd/user)

# cpack -G DEB: the dependencies come from the shared libraries the files
# need, plus the fonts the default settings ask for.
set(CPACK_PACKAGE_NAME quorprn)
set(CPACK_PACKAGE_VENDOR "Quor Print")
set(CPACK_PACKAGE_CONTACT "Quor Print <quorprn@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Print the printouts of DOS programs on today's printers and into PDF")
set(CPACK_PACKAGE_DESCRIPTION
  "Quor Print lays the print files of DOS programs (CP866 text with box drawing)\nout over pages with the font, margins and logos of a settings file and prints\nthem, previews them or writes them into PDF files. It reads printouts from\nfiles, from standard input and from a watched spool folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs speak the user's language (Russian by default) only with
# Qt's translations installed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quorprn.invalid/")
set(CPACK_GENERATOR DEB)
include(CPack)
