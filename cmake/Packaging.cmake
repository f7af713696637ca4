# `make package`: a Debian package of both programs with their data files and spoken prompts.
# The installed program folder is /usr/lib/quillmere (the programs read their data files from
# their own folder); /usr/bin holds links to the two programs.
include(GNUInstallDirs)
set(QLM_INSTALL_DIR lib/quillmere)

install(TARGETS quillmere qlm RUNTIME DESTINATION ${QLM_INSTALL_DIR})
install(FILES ${QLM_DATA_FILES} ${QLM_PROGRAM_DIR}/QLMtest.db
              ${CMAKE_SOURCE_DIR}/packaging/QLMtest.ini
        DESTINATION ${QLM_INSTALL_DIR})
# The rendered prompts, when the build had espeak-ng to render them.
install(DIRECTORY ${QLM_PROGRAM_DIR}/QLMTest DESTINATION ${QLM_INSTALL_DIR} OPTIONAL)
install(CODE "
  foreach(program quillmere qlm)
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK ../${QLM_INSTALL_DIR}/\${program}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program}\" SYMBOLIC)
  endforeach()")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quillmere.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quillmere.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(QLM_MAN_PAGE ${CMAKE_BINARY_DIR}/qlm.1.gz)
add_custom_command(OUTPUT ${QLM_MAN_PAGE}
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/qlm.1 > ${QLM_MAN_PAGE}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/qlm.1
  COMMENT "Compressing the qlm manual page")
add_custom_target(qlmman ALL DEPENDS ${QLM_MAN_PAGE})
install(FILES ${QLM_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillmere developers <quillmere@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Administer, score and report the Quillmere screening test")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop program that gives the 109-item Quillmere self-report screening test on screen \
(English or Spanish, with spoken prompts) or takes a typed answer sheet, scores its five \
scales and writes the report; with qlm, its command-line companion.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillmere.example.org")
# The libraries the programs link, found by dpkg-shlibdeps, and what the toolkit loads at run
# time: its platform plugins, and the report font's metric-compatible fallback.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
include(CPack)
