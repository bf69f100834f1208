# korva_add_test(<name> SOURCES ... [LIBS ...] [GUI] [LABELS ...] [TIMEOUT s])
#
# One Qt Test executable registered with CTest. GUI tests run on the offscreen
# platform so they need no display. Labels let the test script pick groups
# (for example the link tests for the ThreadSanitizer pass).
function(korva_add_test name)
    cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE korva_options Qt6::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set(env "LC_ALL=C.UTF-8")
    if(ARG_GUI)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${env}"
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}")
endfunction()
