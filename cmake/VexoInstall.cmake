# The release folder: the program with everything it looks up beside itself, relocatable
# (nothing outside the folder but the system's Qt 6, SDL2 and font packages).
#   cmake --install build --prefix <folder>       the folder itself
#   cmake --build build --target package          vexo-rizidevizi-<version>-linux-<arch>.tar.gz
install(TARGETS vexo-rizidevizi RUNTIME DESTINATION .)
install(FILES
    ${CMAKE_SOURCE_DIR}/assets/ding.wav ${CMAKE_SOURCE_DIR}/assets/tada.wav
    ${CMAKE_SOURCE_DIR}/assets/vexo-Rizidevizi.rtf
    ${CMAKE_SOURCE_DIR}/packaging/vexo-rizidevizi.desktop ${CMAKE_SOURCE_DIR}/packaging/LIESMICH.txt
    ${CMAKE_SOURCE_DIR}/LICENSE
    DESTINATION .)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/vexo-rizidevizi-menue.sh DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi.svg
    ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi-16.png ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi-32.png
    ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi-48.png ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi-128.png
    ${CMAKE_SOURCE_DIR}/assets/icon/vexo-rizidevizi-256.png
    DESTINATION icons)

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
