# Install layout (the Filesystem Hierarchy Standard):
#   <prefix>/bin                         kotonami, kotonami-tool
#   <prefix>/share/kotonami              the poem collections (the editor looks beside itself
#                                        first, then in ../share/kotonami)
#   <prefix>/share/kotonami/voices       the Japanese speakers' HTS voices and their licences,
#                                        when scripts/setup.sh could fetch them
#   <prefix>/share/man/man1              both manual pages, compressed
#   <prefix>/share/bash-completion/...   completion for kotonami-tool
#   <prefix>/share/doc/kotonami          copyright and changelog
# plus the desktop entry, the icons and the AppStream record where desktops look for them.
#
#   cmake --install build --prefix /usr      (or cpack in the build folder: a .deb)
include(GNUInstallDirs)

set(KOTONAMI_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kotonami)
set(KOTONAMI_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kotonami)

install(TARGETS kotonami kotonami-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
        ${PROJECT_SOURCE_DIR}/data/hyakunin.txt
        ${PROJECT_SOURCE_DIR}/data/haiku.txt
        # The font rules are compiled into the editor; the copy here documents them.
        ${PROJECT_SOURCE_DIR}/data/fonts.tsv
        DESTINATION ${KOTONAMI_DATA_DIR})

set(KOTONAMI_VOICES ${PROJECT_SOURCE_DIR}/third_party/voices)
if(EXISTS ${KOTONAMI_VOICES}/mei_normal.htsvoice AND
   EXISTS ${KOTONAMI_VOICES}/nitech_jp_atr503_m001.htsvoice)
  install(FILES ${KOTONAMI_VOICES}/mei_normal.htsvoice ${KOTONAMI_VOICES}/mei-COPYRIGHT.txt
                ${KOTONAMI_VOICES}/nitech_jp_atr503_m001.htsvoice
                ${KOTONAMI_VOICES}/m001-COPYING.txt
          DESTINATION ${KOTONAMI_DATA_DIR}/voices)
else()
  message(STATUS "No HTS voices in third_party/voices: the package's Japanese speakers will use espeak-ng")
endif()

# Manual pages and the changelog are installed compressed, reproducibly (gzip -n: no name,
# no time stamp).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(kotonami_compressed)
foreach(source kotonami.1 kotonami-tool.1 changelog)
  set(output ${PROJECT_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
                     COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/packaging/${source} > ${output}
                     DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source}
                     VERBATIM)
  list(APPEND kotonami_compressed ${output})
endforeach()
add_custom_target(kotonami_docs ALL DEPENDS ${kotonami_compressed})
# cpack installs without building: whatever builds the programs (scripts/run.sh builds only
# them) makes the compressed pages too.
add_dependencies(kotonami kotonami_docs)
install(FILES ${PROJECT_BINARY_DIR}/packaging/kotonami.1.gz
              ${PROJECT_BINARY_DIR}/packaging/kotonami-tool.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${KOTONAMI_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${KOTONAMI_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kotonami-tool.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME kotonami-tool)

set(KOTONAMI_APP_ID org.kotonami.Kotonami)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${KOTONAMI_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${KOTONAMI_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kotonami.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/kotonami-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME kotonami.png)
endforeach()
