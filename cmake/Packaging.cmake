# The installed layout (its folders are named in the top CMakeLists.txt). debian/ builds the
# packages from it: quillmere takes everything but share/quillmere, which goes to the
# architecture-independent quillmere-data.
install(TARGETS quillmere qlm RUNTIME DESTINATION ${QLM_INSTALL_PROGRAM_DIR})
# qlm's PDF writer, a module that qlm loads only for --pdf, goes beside the programs, where
# qlm looks for it.
install(TARGETS qlmpdf LIBRARY DESTINATION ${QLM_INSTALL_PROGRAM_DIR})
install(CODE "
  foreach(program quillmere qlm)
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${QLM_INSTALL_PROGRAM_DIR}/\${program}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\" SYMBOLIC)
  endforeach()")

# The files the programs only read; the spoken prompts when the build could render them.
install(FILES ${QLM_DATA_FILES} ${QLM_PROGRAM_DIR}/QLMtest.db DESTINATION ${QLM_INSTALL_DATA_DIR})
install(DIRECTORY ${QLM_PROGRAM_DIR}/QLMTest DESTINATION ${QLM_INSTALL_DATA_DIR} OPTIONAL)

# The system-wide settings, which name the installed sound folder; a package keeps an
# administrator's changes to them across upgrades.
configure_file(${CMAKE_SOURCE_DIR}/packaging/QLMtest.ini.in ${CMAKE_BINARY_DIR}/QLMtest.ini @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/QLMtest.ini DESTINATION ${QLM_INSTALL_SETTINGS_DIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/quillmere.1 ${CMAKE_SOURCE_DIR}/packaging/qlm.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QLM_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QLM_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quillmere.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${QLM_ICON_SIZES})
  install(FILES ${QLM_ICON_DIR}/${size}/quillmere.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
