# Install layout. The editor looks for its poem collections beside itself and keeps its
# settings file there when it may write there (else in $XDG_CONFIG_HOME/kotonami/), so the
# two programs and the files they read share one folder, <prefix>/lib/kotonami by default.
# <prefix>/bin holds relative links to the two programs (the editor resolves the link and
# still finds its folder); the desktop entry, the icon and the AppStream record go where
# desktops look for them.
#
#   cmake --install build --prefix /usr      (or cpack in the build folder: a .deb)
include(GNUInstallDirs)

set(KOTONAMI_INSTALL_DIR "lib/kotonami" CACHE STRING
    "Folder, relative to the install prefix, for the programs and the files beside them")
if(IS_ABSOLUTE "${KOTONAMI_INSTALL_DIR}")
  message(FATAL_ERROR "KOTONAMI_INSTALL_DIR must be relative to the install prefix")
endif()

install(TARGETS kotonami kotonami-tool RUNTIME DESTINATION ${KOTONAMI_INSTALL_DIR})
install(FILES
        ${PROJECT_SOURCE_DIR}/data/hyakunin.txt
        ${PROJECT_SOURCE_DIR}/data/haiku.txt
        # The font rules are compiled into the editor; the copy here documents them.
        ${PROJECT_SOURCE_DIR}/data/fonts.tsv
        DESTINATION ${KOTONAMI_INSTALL_DIR})

# The links are made in the build tree and installed as links; they are relative, so they
# hold under any prefix and DESTDIR ("../lib/kotonami/kotonami").
file(RELATIVE_PATH kotonami_bin_to_programs /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${KOTONAMI_INSTALL_DIR})
set(kotonami_links ${PROJECT_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${kotonami_links})
foreach(program kotonami kotonami-tool)
  file(CREATE_LINK ${kotonami_bin_to_programs}/${program} ${kotonami_links}/${program}
       SYMBOLIC)
  install(FILES ${kotonami_links}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

set(KOTONAMI_APP_ID org.kotonami.Kotonami)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${KOTONAMI_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${KOTONAMI_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kotonami.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
