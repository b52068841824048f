# vexo_add_qt_test(NAME SOURCES ... LIBS ...)
# One Qt Test executable, registered with CTest, always under the offscreen platform
# so that GUI tests need no display and never wait on a real window system.
function(vexo_add_qt_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES
        AUTOMOC ON
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE Qt6::Test vexo_test_support vexo_warnings ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;LC_ALL=C.UTF-8"
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        TIMEOUT 600)
endfunction()
