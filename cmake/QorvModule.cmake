# qorv_module(<name> <dir> [DEPS <targets>...])
# Builds every .cpp below <dir> into the static library qorv_<name>, leaving out the folders of
# modules registered before it (a subsystem may keep a lower-level part as a module of its own,
# for example src/chat/encoding below src/chat). A folder without sources yet becomes an
# interface library, so the layer chain stays whole while the tree grows.
set(QORV_MODULE_LIBS "" CACHE INTERNAL "")
set(QORV_MODULES "" CACHE INTERNAL "")

# Sets <out> to the .cpp files below <root>/<dir>, without those of other modules' folders.
function(qorv_module_sources out root dir)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${root}/${dir}/*.cpp)
    foreach(entry ${QORV_MODULES})
        string(REPLACE "|" ";" parts "${entry}")
        list(GET parts 1 other)
        if(NOT other STREQUAL dir AND other MATCHES "^${dir}/")
            list(FILTER found EXCLUDE REGEX "^${root}/${other}/")
        endif()
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

function(qorv_module name dir)
    cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
    set(target qorv_${name})
    qorv_module_sources(sources ${PROJECT_SOURCE_DIR} ${dir})
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/include)
        target_link_libraries(${target} PUBLIC ${M_DEPS})
        set(QORV_MODULE_LIBS ${QORV_MODULE_LIBS} ${target} CACHE INTERNAL "")
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/include)
        target_link_libraries(${target} INTERFACE ${M_DEPS})
    endif()
    set(QORV_MODULES ${QORV_MODULES} "${name}|${dir}" CACHE INTERNAL "")
endfunction()
