# Installation and the Debian package: the program in bin, its read-only files in
# share/vantor-logimport (where an installed program looks for them, see platform_dirs.h), the
# desktop entry and icon, the manual page made from --help, the systemd units of the unattended
# import, and the package's documents.
include(GNUInstallDirs)

set(VANTOR_PACKAGE_NAME vantor-logimport)
set(VANTOR_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VANTOR_MAINTAINER "Vantor log importer developers <logimport@vantor-stations.example.org>")

# The program finds its shipped files beside its bin directory; both paths are fixed so that
# it finds them under any prefix (and under DESTDIR).
install(TARGETS vantor-logimport RUNTIME DESTINATION bin)
install(FILES ${VANTOR_PACKAGING_DIR}/Updates.txt DESTINATION share/${VANTOR_PACKAGE_NAME})

# A run from the build tree shows the same update notes from its own directory.
configure_file(${VANTOR_PACKAGING_DIR}/Updates.txt ${PROJECT_BINARY_DIR}/src/app/Updates.txt COPYONLY)

install(FILES ${VANTOR_PACKAGING_DIR}/vantor-logimport.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VANTOR_PACKAGING_DIR}/vantor-logimport.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# User units: the import runs as the station's user, with that user's configuration. The
# service names the program where this installation puts it: the prefix is the one given at
# install time ("cmake --install --prefix", or the package's /usr). It is written straight to
# its place, so that installs into several DESTDIRs at once (the tests) never share a file.
set(serviceTemplate ${VANTOR_PACKAGING_DIR}/systemd/vantor-logimport@.service.in)
install(CODE "
  set(VANTOR_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/bin/vantor-logimport\")
  set(unit \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/user/vantor-logimport@.service\")
  message(STATUS \"Installing: \$ENV{DESTDIR}\${unit}\")
  configure_file(\"${serviceTemplate}\" \"\$ENV{DESTDIR}\${unit}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${unit}\")
")
install(FILES ${VANTOR_PACKAGING_DIR}/systemd/vantor-logimport@.timer
  ${VANTOR_PACKAGING_DIR}/systemd/vantor-logimport@.path
  DESTINATION lib/systemd/user)

# The manual page is made from --help, so that it names every switch the program takes.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
if(HELP2MAN AND GZIP)
  set(manPage ${CMAKE_CURRENT_BINARY_DIR}/packaging/vantor-logimport.1)
  add_custom_command(OUTPUT ${manPage}.gz
    COMMAND ${HELP2MAN} --no-info --section=1 --no-discard-stderr
            --include=${VANTOR_PACKAGING_DIR}/vantor-logimport.h2m
            --output=${manPage} $<TARGET_FILE:vantor-logimport>
    COMMAND ${GZIP} -9nf ${manPage}
    DEPENDS vantor-logimport ${VANTOR_PACKAGING_DIR}/vantor-logimport.h2m
    COMMENT "Writing the manual page vantor-logimport.1"
    VERBATIM)
  add_custom_target(vantor-manpage ALL DEPENDS ${manPage}.gz)
  install(FILES ${manPage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man or gzip is missing (scripts/install-deps.sh installs them): "
                  "the manual page is not made and not installed")
endif()

# The package's documents, where Debian expects them.
set(VANTOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${VANTOR_PACKAGE_NAME})
string(TIMESTAMP VANTOR_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${VANTOR_PACKAGING_DIR}/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
  @ONLY)
if(GZIP)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${GZIP} -9nkf ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
    VERBATIM)
  add_custom_target(vantor-changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${VANTOR_DOC_DIR})
endif()
install(FILES ${VANTOR_PACKAGING_DIR}/copyright DESTINATION ${VANTOR_DOC_DIR})

# The Debian package (scripts/package.sh): dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VANTOR_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VANTOR_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VANTOR_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "import music scheduler logs into a Kora playout database")
# CPack puts the summary on the first line itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "The Vantor log importer turns the music scheduler's daily text logs into the
running order of a Kora playout database, hour by hour, and reports every hour
that runs short and every cart missing from the Audiowall.
.
It runs at the desktop or unattended (--headless); systemd user units run the
nightly import of a named database from a timer.")
include(CPack)
