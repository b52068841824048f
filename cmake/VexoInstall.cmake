# Two ways of installing, chosen when the build is configured:
#  - the release folder (default): the program with everything it looks up beside itself,
#    relocatable, its data beside it;
#      cmake --install build --prefix <folder>       the folder itself
#      cmake --build build --target package          vexo-rizidevizi-<version>-linux-<arch>.tar.gz
#  - the system's folders (VEXO_SYSTEM_INSTALL, for the Debian package): the program in bin,
#    sounds and information text in share/vexo-rizidevizi, menu entry, icons and AppStream
#    metainfo where the desktop looks for them; each user's data in their own data folder.
#      cmake --build build-deb --target package      vexo-rizidevizi_<version>_<arch>.deb
option(VEXO_SYSTEM_INSTALL "Install into the system's folders (Debian package) instead of one folder" OFF)
set(VEXO_METAINFO_ID de.vexorizidevizi.VexoRizidevizi)
configure_file(${CMAKE_SOURCE_DIR}/packaging/${VEXO_METAINFO_ID}.metainfo.xml
    ${CMAKE_BINARY_DIR}/${VEXO_METAINFO_ID}.metainfo.xml @ONLY)
set(VEXO_ICON_SIZES 16 32 48 128 256)

if(VEXO_SYSTEM_INSTALL)
    # The program is told where its shared folder is: the package's prefix, /usr.
    if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
        set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install prefix" FORCE)
    endif()
    include(GNUInstallDirs)
    if(VEXO_BUNDLE)
        message(FATAL_ERROR "VEXO_SYSTEM_INSTALL and VEXO_BUNDLE exclude each other")
    endif()
    target_compile_definitions(vexo_my_std PRIVATE
        VEXO_SHARED_ASSETS="${CMAKE_INSTALL_FULL_DATADIR}/vexo-rizidevizi/")
    install(TARGETS vexo-rizidevizi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/assets/ding.wav ${CMAKE_SOURCE_DIR}/assets/tada.wav
        ${CMAKE_SOURCE_DIR}/assets/vexo-Rizidevizi.rtf
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vexo-rizidevizi)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/vexo-rizidevizi.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_BINARY_DIR}/${VEXO_METAINFO_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size ${VEXO_ICON_SIZES})
        install(FILES ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vexo-rizidevizi.png)
    endforeach()
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/LIESMICH.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexo-rizidevizi)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian-copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexo-rizidevizi RENAME copyright)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME vexo-rizidevizi)
    set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
    set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
    set(CPACK_STRIP_FILES ON)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vexo-Rizidevizi <kontakt@vexo-rizidevizi.example>")
    set(CPACK_DEBIAN_PACKAGE_SECTION education)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vexo-rizidevizi.example/")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Den 20-m-Pendellauf takten und seine Ergebnisse verwalten")
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vexo-Rizidevizi gibt beim 20-m-Pendellauf (Multistage-Fitnesstest) den Takt vor
und verwaltet Sportler und Ergebnisse mit VO2max, Bewertung, Auswertung und
Berichten; eine ganze Klasse kann gleichzeitig laufen.")
    # The libraries from what the program is linked with (the xcb platform plugin comes with
    # libqt6gui6); the fonts it draws with and Qt's German dialogs are not linked, so named here.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-liberation2")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
    include(CPack)
    return()
endif()

install(TARGETS vexo-rizidevizi RUNTIME DESTINATION .)
install(FILES
    ${CMAKE_SOURCE_DIR}/assets/ding.wav ${CMAKE_SOURCE_DIR}/assets/tada.wav
    ${CMAKE_SOURCE_DIR}/assets/vexo-Rizidevizi.rtf
    ${CMAKE_SOURCE_DIR}/packaging/vexo-rizidevizi.desktop ${CMAKE_SOURCE_DIR}/packaging/LIESMICH.txt
    ${CMAKE_SOURCE_DIR}/LICENSE
    DESTINATION .)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/vexo-rizidevizi-menue.sh DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi.svg DESTINATION icons)
foreach(size ${VEXO_ICON_SIZES})
    install(FILES ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi-${size}.png DESTINATION icons)
endforeach()

option(VEXO_BUNDLE "The release folder carries the libraries, Qt plugins, translations and fonts it needs" OFF)
if(VEXO_BUNDLE)
    include(${CMAKE_SOURCE_DIR}/cmake/VexoBundle.cmake)
endif()

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME vexo-rizidevizi)
set(CPACK_PACKAGE_VENDOR "Vexo-Rizidevizi")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME vexo-rizidevizi-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
include(CPack)
