# vexo_expose_headers(TARGET FOLDER)
# A library's users see only the headers of its own folder (src/FOLDER/*.h, included as
# "FOLDER/name.h") and those of the libraries it links publicly. Each library gets an
# include root of its own in the build tree, holding links to exactly its headers, so that
# the data layer cannot include an application header unnoticed: the build fails.
function(vexo_expose_headers target folder)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header ${headers})
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
