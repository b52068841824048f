# The self-contained release folder (-DVEXO_BUNDLE=ON): everything the program needs beside
# itself but what every Linux desktop has (glibc, libstdc++, X11/xcb, GL, fontconfig and
# freetype with what they stand on, the sound server's client), so that it runs where
# nothing may be installed:
#   lib/          the libraries the program and its Qt plugins link (found by the
#                 executable's RPATH $ORIGIN/lib, which also serves the plugins)
#   plugins/      Qt's xcb platform with its GL integrations, the image formats, the
#                 printing backend and the compose input method
#   translations/ Qt's German texts of its dialogs
#   fonts/        Tahoma (from fonts-wine) and Liberation Sans, loaded at start
#   qt.conf       tells Qt where these are
set_target_properties(vexo-rizidevizi PROPERTIES INSTALL_RPATH "$ORIGIN/lib")
# DT_RPATH rather than DT_RUNPATH: it is searched for the plugins' own libraries too.
target_link_options(vexo-rizidevizi PRIVATE -Wl,--disable-new-dtags)

set(VEXO_QT_PLUGIN_DIR /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/qt6/plugins)
set(VEXO_BUNDLED_PLUGINS
    platforms/libqxcb.so
    xcbglintegrations/libqxcb-glx-integration.so xcbglintegrations/libqxcb-egl-integration.so
    imageformats/libqgif.so imageformats/libqico.so imageformats/libqjpeg.so
    printsupport/libcupsprintersupport.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so)
set(VEXO_BUNDLE_PLUGIN_FILES "")
foreach(plugin ${VEXO_BUNDLED_PLUGINS})
    if(EXISTS ${VEXO_QT_PLUGIN_DIR}/${plugin})
        get_filename_component(folder ${plugin} DIRECTORY)
        install(FILES ${VEXO_QT_PLUGIN_DIR}/${plugin} DESTINATION plugins/${folder})
        list(APPEND VEXO_BUNDLE_PLUGIN_FILES ${VEXO_QT_PLUGIN_DIR}/${plugin})
    endif()
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/qt.conf DESTINATION .)
foreach(translation qtbase_de.qm qt_de.qm)
    if(EXISTS /usr/share/qt6/translations/${translation})
        install(FILES /usr/share/qt6/translations/${translation} DESTINATION translations)
    endif()
endforeach()
foreach(font /usr/share/wine/fonts/tahoma.ttf /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
        /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf)
    if(EXISTS ${font})
        install(FILES ${font} DESTINATION fonts)
    endif()
endforeach()

install(CODE "set(VEXO_BUNDLE_EXECUTABLE \"$<TARGET_FILE:vexo-rizidevizi>\")")
install(CODE "set(VEXO_BUNDLE_PLUGIN_FILES \"${VEXO_BUNDLE_PLUGIN_FILES}\")")
install(CODE [[
    # What every desktop has: the C and C++ runtimes, X11 and xcb, GL, fontconfig and
    # freetype with their own dependencies, the sound server's client with its own.
    set(system_libraries
        "^ld-linux" "^libc\\.so" "^libm\\.so" "^libdl\\.so" "^libpthread\\.so" "^librt\\.so"
        "^libgcc_s\\.so" "^libstdc\\+\\+\\.so"
        "^libX" "^libxcb" "^libGL" "^libEGL" "^libOpenGL" "^libdrm\\.so" "^libgbm\\.so"
        "^libfontconfig\\.so" "^libfreetype\\.so" "^libexpat\\.so" "^libz\\.so" "^libpng16\\.so"
        "^libbrotli" "^libbz2\\.so" "^libuuid\\.so"
        "^libasound\\.so" "^libpulse" "^libsndfile\\.so" "^libasyncns\\.so" "^libFLAC\\.so"
        "^libvorbis" "^libopus\\.so" "^libogg\\.so" "^libmpg123\\.so" "^libmp3lame\\.so"
        "^libsystemd\\.so" "^libcap\\.so" "^libgcrypt\\.so" "^libgpg-error\\.so" "^liblzma\\.so"
        "^liblz4\\.so" "^libzstd\\.so" "^libdbus-1\\.so" "^libbsd\\.so" "^libmd\\.so"
        "^libcups\\.so"
        # what the printing backend stands on, there wherever the system's printing is
        "^libavahi" "^libgnutls" "^libgssapi" "^libkrb5" "^libk5crypto" "^libcom_err" "^libkeyutils"
        "^libidn2" "^libunistring" "^libtasn1" "^libnettle" "^libhogweed" "^libgmp" "^libp11-kit" "^libresolv")
    file(GET_RUNTIME_DEPENDENCIES
        EXECUTABLES ${VEXO_BUNDLE_EXECUTABLE}
        MODULES ${VEXO_BUNDLE_PLUGIN_FILES}
        RESOLVED_DEPENDENCIES_VAR resolved
        UNRESOLVED_DEPENDENCIES_VAR unresolved)
    foreach(library ${resolved})
        get_filename_component(name ${library} NAME)
        set(skip FALSE)
        foreach(pattern ${system_libraries})
            if(name MATCHES "${pattern}")
                set(skip TRUE)
            endif()
        endforeach()
        if(NOT skip)
            file(INSTALL ${library} DESTINATION ${CMAKE_INSTALL_PREFIX}/lib FOLLOW_SYMLINK_CHAIN)
        endif()
    endforeach()
    if(unresolved)
        message(WARNING "Not found for the release folder: ${unresolved}")
    endif()
]])
