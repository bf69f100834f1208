# Warnings and sanitizers shared by every target of the project.
add_library(korva_options INTERFACE)
target_compile_options(korva_options INTERFACE -Wall -Wextra)
target_compile_definitions(korva_options INTERFACE
    QT_NO_KEYWORDS)

if(KORVA_SANITIZE)
    target_compile_options(korva_options INTERFACE
        -fsanitize=${KORVA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(korva_options INTERFACE -fsanitize=${KORVA_SANITIZE})
endif()

# korva_library(<target> [WIDGETS] SOURCES ... LIBS ...)
# Builds one static library of the project with the shared options.
function(korva_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC korva_options ${ARG_LIBS})
endfunction()
