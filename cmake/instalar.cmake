# cmake --install and cpack: the programs in games/, the shipped data in share/games/korvex/,
# menu entries, AppStream data, icons, compressed manual pages, the copyright file and the changelog. The data comes from a fresh run of the asset maker,
# never from build/korvex/ (where play and the editor change the ranking and the levels).
set(KORV_PAQ ${CMAKE_BINARY_DIR}/instalar)
set(KORV_SHARE share/games/korvex)
file(GLOB_RECURSE KORV_FUENTES_PAQ CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*)
add_custom_command(
  OUTPUT ${KORV_PAQ}/hecho
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KORV_PAQ}/korvex ${KORV_PAQ}/iconos
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KORV_PAQ}
  COMMAND korvmake ${CMAKE_SOURCE_DIR}/assets ${KORV_PAQ}/korvex
  COMMAND korvmake ${CMAKE_SOURCE_DIR}/assets ${KORV_PAQ}/iconos -iconos
  COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/digmid.sh /etc/timidity/freepats.cfg /usr/share/midi/freepats ${KORV_PAQ}/korvex
  COMMAND ${CMAKE_COMMAND} -E touch ${KORV_PAQ}/hecho
  DEPENDS korvmake ${KORV_FUENTES_PAQ} ${CMAKE_SOURCE_DIR}/cmake/digmid.sh
  COMMENT "Datos para instalar")
# Manual pages (English, and Spanish in es/) and changelog compressed as Debian wants them.
set(KORV_GZ)
foreach(f korvex.6 korveditor.6 korvex-marcador.6 es/korvex.6 es/korveditor.6 es/korvex-marcador.6 changelog)
  get_filename_component(d ${KORV_PAQ}/gz/${f} DIRECTORY)
  add_custom_command(
    OUTPUT ${KORV_PAQ}/gz/${f}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${d}
    COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/comprime.sh ${CMAKE_SOURCE_DIR}/paquete/${f} ${KORV_PAQ}/gz/${f}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/paquete/${f} ${CMAKE_SOURCE_DIR}/cmake/comprime.sh)
  list(APPEND KORV_GZ ${KORV_PAQ}/gz/${f}.gz)
endforeach()
add_custom_target(korv_paquete ALL DEPENDS ${KORV_PAQ}/hecho ${KORV_GZ})

install(TARGETS korvex korveditor korvex-marcador RUNTIME DESTINATION games)
# The score server's unit, shipped and not enabled.
install(FILES paquete/korvex-marcador.service DESTINATION lib/systemd/system)
# allegro.cfg names the patch index relative to the data folder, the programs' working folder.
install(DIRECTORY ${KORV_PAQ}/korvex/datos ${KORV_PAQ}/korvex/levels ${KORV_PAQ}/korvex/midi
                  ${KORV_PAQ}/korvex/mp3 ${KORV_PAQ}/korvex/digmid DESTINATION ${KORV_SHARE})
install(FILES ${KORV_PAQ}/korvex/allegro.cfg DESTINATION ${KORV_SHARE})
install(FILES ${KORV_MO} DESTINATION share/locale/en/LC_MESSAGES)
install(FILES paquete/korvex.desktop paquete/korveditor.desktop DESTINATION share/applications)
# The file type of a shared level set (*.korvex), which the game's menu entry opens.
install(FILES paquete/korvex-niveles.xml DESTINATION share/mime/packages RENAME korvex.xml)
file(GLOB KORV_METAINFO CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/paquete/*.metainfo.xml)
install(FILES ${KORV_METAINFO} DESTINATION share/metainfo)
install(FILES ${KORV_PAQ}/gz/korvex.6.gz ${KORV_PAQ}/gz/korveditor.6.gz ${KORV_PAQ}/gz/korvex-marcador.6.gz
        DESTINATION share/man/man6)
install(FILES ${KORV_PAQ}/gz/es/korvex.6.gz ${KORV_PAQ}/gz/es/korveditor.6.gz ${KORV_PAQ}/gz/es/korvex-marcador.6.gz
        DESTINATION share/man/es/man6)
install(FILES paquete/copyright ${KORV_PAQ}/gz/changelog.gz DESTINATION share/doc/korvex)
foreach(t 32 48 64 128 256)
  install(FILES ${KORV_PAQ}/iconos/${t}x${t}/korvex.png ${KORV_PAQ}/iconos/${t}x${t}/korveditor.png
          DESTINATION share/icons/hicolor/${t}x${t}/apps)
endforeach()

# cpack -G DEB: korvex_<version>_amd64.deb under /usr, its library dependencies computed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The maintainers' address is the one the project's commits are made with.
set(KORV_MANTENEDOR "KORVEX maintainers <maintainers@users.noreply.c-seed-06e922e8.example>"
    CACHE STRING "Maintainer field of the package (the same as in paquete/changelog)")
set(CPACK_PACKAGE_CONTACT ${KORV_MANTENEDOR})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "juego arcade de un camion en cuatro carriles, con editor de niveles")
set(CPACK_PACKAGE_DESCRIPTION "KORVEX: un camion en cuatro carriles, peatones, bolsas de dinero y explosivos.\nKORV-EDITOR pinta el mapa y pone los enemigos de niveles nuevos.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS freepats)
set(CPACK_STRIP_FILES ON)
include(CPack)
