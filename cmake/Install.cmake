# What `cmake --install` lays out: the program, its instruments, and what a Linux desktop
# needs to offer it in the menu and open .seq files with it.
include(GNUInstallDirs)

install(TARGETS fretlore RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(i RANGE 1 6)
  install(FILES ${CMAKE_BINARY_DIR}/app/g${i}.sampler DESTINATION ${CMAKE_INSTALL_DATADIR}/fretlore)
endforeach()

set(desktop ${PROJECT_SOURCE_DIR}/res/desktop)
install(FILES ${desktop}/org.fretlore.Fretlore.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop}/org.fretlore.Fretlore.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop}/fretlore-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME fretlore.xml)
foreach(size 48 256)
  install(FILES ${FRETLORE_DESKTOP_ICON_DIR}/fretlore-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME fretlore.png)
endforeach()
install(FILES ${FRETLORE_DESKTOP_ICON_DIR}/fretlore.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/docs/fretlore.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/fretlore)
