# The module graph.
#
# qorv_module(<name> <dir> [HEADERS <files>...] [DEPS <modules>...] [LIBS <libraries>...]
#             [TEST_DEPS <modules>...] [THREADED])
#
# Builds every .cpp below <dir> into the static library qorv_<name>, leaving out the folders of
# modules registered before it (a subsystem may keep a lower-level part as a module of its own,
# for example src/chat/encoding below src/chat). A folder holding only headers becomes an
# interface library.
#
#   DEPS       the modules (names without qorv_) whose headers the module's sources include:
#              its direct dependencies. Each must be declared above it, so the order of the
#              qorv_module lines is a layer order.
#   LIBS       libraries from outside the tree (Threads::Threads, SQLite::SQLite3, ...).
#   HEADERS    public headers outside <dir> that the module implements
#              (include/qorvdesk/automation.h for os_automation).
#   TEST_DEPS  further modules that the module's test program uses (a test of the pump that
#              opens a real chat window, say); any module of the tree.
#   THREADED   the module's code or its tests start threads: the test program runs in the
#              ThreadSanitizer build too.
#
# Include path. Each module has an include root in the build tree,
# <build>/include_roots/<name>/, holding one link: <dir without src/> -> <dir>. A module sees
# its own root and, through its DEPS, those of every module below it (headers include the
# headers of their own dependencies, so the compiler needs the whole closure). Any other
# include does not compile; that sources name only their direct DEPS is checked by the
# build.include_graph test (scripts/module-graph check), which reads the graph written by
# qorv_write_module_graph().

set(QORV_MODULES "" CACHE INTERNAL "")      # name|dir entries, in declaration order
set(QORV_MODULE_LIBS "" CACHE INTERNAL "")  # the static libraries (modules with sources)
set(QORV_GRAPH_LINES "" CACHE INTERNAL "")
set(QORV_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include_roots)
file(REMOVE_RECURSE ${QORV_INCLUDE_ROOTS})

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

# Makes <root>/<path> a symbolic link to <target>, creating the folders above it.
function(qorv_link_into root path target)
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${target} ${root}/${path} SYMBOLIC)
endfunction()

# Records one entry of the graph file (see qorv_write_module_graph).
function(qorv_graph_entry kind name paths includes deps extra)
    string(REPLACE ";" "," paths "${paths}")
    string(REPLACE ";" "," includes "${includes}")
    string(REPLACE ";" "," deps "${deps}")
    string(REPLACE ";" "," extra "${extra}")
    set(QORV_GRAPH_LINES ${QORV_GRAPH_LINES} "${kind}\t${name}\t${paths}\t${includes}\t${deps}\t${extra}"
        CACHE INTERNAL "")
endfunction()

function(qorv_module name dir)
    cmake_parse_arguments(M "THREADED" "" "HEADERS;DEPS;LIBS;TEST_DEPS" ${ARGN})
    set(target qorv_${name})
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${dir})
        message(FATAL_ERROR "qorv_module(${name}): the folder ${dir} does not exist")
    endif()
    foreach(dep ${M_DEPS})
        if(NOT TARGET qorv_${dep})
            message(FATAL_ERROR "qorv_module(${name}): '${dep}' is not a module declared above "
                "${name}. DEPS name modules without the qorv_ prefix, and a module may use only "
                "modules declared before it (the layer order).")
        endif()
    endforeach()

    # The include root: <root>/<dir without src/ or include/> -> <dir>, plus the HEADERS.
    set(root ${QORV_INCLUDE_ROOTS}/${name})
    string(REGEX REPLACE "^(src|include|tests)/" "" prefix "${dir}")
    qorv_link_into(${root} ${prefix} ${PROJECT_SOURCE_DIR}/${dir})
    set(includes ${prefix})
    foreach(header ${M_HEADERS})
        string(REGEX REPLACE "^include/" "" header_prefix "${header}")
        qorv_link_into(${root} ${header_prefix} ${PROJECT_SOURCE_DIR}/${header})
        list(APPEND includes ${header_prefix})
    endforeach()

    # A nested module's folder shows through its parent's link, so the parent must depend on it.
    foreach(entry ${QORV_MODULES})
        string(REPLACE "|" ";" parts "${entry}")
        list(GET parts 0 other_name)
        list(GET parts 1 other)
        if(other MATCHES "^${dir}/" AND NOT other_name IN_LIST M_DEPS)
            message(FATAL_ERROR "qorv_module(${name}): ${other} (module ${other_name}) lies inside "
                "${dir}, so ${name} must list ${other_name} in its DEPS")
        endif()
    endforeach()

    list(TRANSFORM M_DEPS PREPEND qorv_ OUTPUT_VARIABLE dep_targets)
    qorv_module_sources(sources ${PROJECT_SOURCE_DIR} ${dir})
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${root})
        target_link_libraries(${target} PUBLIC ${dep_targets} ${M_LIBS})
        set(QORV_MODULE_LIBS ${QORV_MODULE_LIBS} ${target} CACHE INTERNAL "")
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${root})
        target_link_libraries(${target} INTERFACE ${dep_targets} ${M_LIBS})
    endif()
    set_target_properties(${target} PROPERTIES QORV_DEPS "${M_DEPS}" QORV_TEST_DEPS "${M_TEST_DEPS}"
        QORV_THREADED "${M_THREADED}")
    set(QORV_MODULES ${QORV_MODULES} "${name}|${dir}" CACHE INTERNAL "")
    set(extra "")
    if(M_THREADED)
        list(APPEND extra threaded)
    endif()
    foreach(lib ${M_LIBS})
        list(APPEND extra "lib=${lib}")
    endforeach()
    foreach(header ${M_HEADERS})
        list(APPEND extra "header=${header}")
    endforeach()
    qorv_graph_entry(module ${name} "${dir}" "${includes}" "${M_DEPS}" "${extra}")
endfunction()

# For the graph file: a unit built like a module but not one of the library's modules (the
# test support, the library's own source), with its paths, include prefixes and direct deps.
function(qorv_graph_unit name paths includes deps)
    qorv_graph_entry(unit ${name} "${paths}" "${includes}" "${deps}" "")
endfunction()

# For the graph file: a test program, its folder, the path by which it includes its own
# folder's files (or ""), the module it tests (or "") and the modules whose headers it sees
# (with everything below them).
function(qorv_graph_tests name dir prefix module)
    set(extra "")
    if(module)
        set(extra "module=${module}")
    endif()
    qorv_graph_entry(tests ${name} "${dir}" "${prefix}" "${ARGN}" "${extra}")
endfunction()

# Writes <build>/module_graph.tsv, the declared graph that scripts/module-graph checks and
# derives from. One line per module or test program, tab-separated:
#   module  <name>  <dir>     <include prefixes>  <direct deps>     <extras: threaded, lib=, header=>
#   unit    <name>  <paths>   <include prefixes>  <direct deps>     -
#   tests   <name>  <dir>     <own folder prefix> <what it sees>    module=<the module it tests>
#   helpers <name>  <dir>     <include prefix>    -                 -   (header-only test helpers)
# Lists are comma-separated; deps are module names. Call once, after every qorv_module and
# test program is declared.
function(qorv_write_module_graph)
    set(text "# Generated by cmake/QorvModule.cmake from the qorv_module lines; do not edit.\n")
    string(APPEND text "# kind\tname\tpaths\tinclude prefixes\tdeps\textras\n")
    foreach(line ${QORV_GRAPH_LINES})
        string(APPEND text "${line}\n")
    endforeach()
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/module_graph.tsv CONTENT "${text}")
endfunction()

# Sets <out> to the include roots of <module> and of every module below it: what a target
# that uses the module's headers without linking its code needs.
function(qorv_module_view out module)
    set(seen "")
    set(stack ${module})
    while(stack)
        list(POP_BACK stack name)
        if(name IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${name})
        get_target_property(deps qorv_${name} QORV_DEPS)
        list(APPEND stack ${deps})
    endwhile()
    list(TRANSFORM seen PREPEND ${QORV_INCLUDE_ROOTS}/)
    set(${out} ${seen} PARENT_SCOPE)
endfunction()
