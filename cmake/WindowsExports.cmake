# Windows DLLs of the suite export exactly the functions of their
# module-definition file, under their plain names, at its ordinals.
#
# qdp_windows_exports(<target> <file.def> [ORDINAL_IMPORTS <variable>])
#   Links <target> with its .def file. The functions use the Windows API
#   convention, which on 32-bit Windows decorates the compiled names
#   (PaczkaC@20): just before linking, DecoratedDef.cmake looks up each name
#   of the .def file among the compiled objects and writes the decorated
#   form, and the linker takes the decoration off again (--kill-at). The
#   import library is then made from the decorated names too, so a program
#   compiled with the public header links against it as usual, and binds the
#   DLL's functions by name.
#   ORDINAL_IMPORTS names a variable that receives an INTERFACE target (the
#   headers and an import library) that binds the same functions by ordinal
#   instead.
function(qdp_windows_exports target def)
    cmake_parse_arguments(ARG "" "ORDINAL_IMPORTS" "" ${ARGN})
    set(def ${CMAKE_CURRENT_SOURCE_DIR}/${def})
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/exports)
    set(decorated ${dir}/${target}-decorated.def)
    set(ordinals ${dir}/${target}-ordinals.def)
    set(ordinal_library ${dir}/lib${target}-ordinals.a)
    find_program(QDP_DLLTOOL NAMES ${CMAKE_C_COMPILER_TARGET}-dlltool ${QDP_WINDOWS_TARGET}-dlltool
        dlltool REQUIRED)

    set_target_properties(${target} PROPERTIES
        PREFIX ""             # ckx.dll, seclay.dll, qdpcore.dll
        IMPORT_PREFIX ""      # qdpcore.lib, for MinGW and Microsoft linkers alike
        IMPORT_SUFFIX ".lib")
    add_custom_command(TARGET ${target} PRE_LINK
        COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDEF=${def} -DDECORATED=${decorated}
                -DORDINALS=${ordinals} "-DOBJECTS=$<JOIN:$<TARGET_OBJECTS:${target}>,|>"
                -P ${PROJECT_SOURCE_DIR}/cmake/DecoratedDef.cmake
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        VERBATIM)
    target_link_options(${target} PRIVATE -Wl,--kill-at ${decorated})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})

    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${QDP_DLLTOOL} --kill-at --input-def ${decorated}
                --dllname $<TARGET_FILE_NAME:${target}> --output-lib $<TARGET_LINKER_FILE:${target}>
        COMMAND ${QDP_DLLTOOL} --kill-at --input-def ${ordinals}
                --dllname $<TARGET_FILE_NAME:${target}> --output-lib ${ordinal_library}
        BYPRODUCTS ${ordinal_library}
        VERBATIM)
    if(ARG_ORDINAL_IMPORTS)
        add_library(${target}_by_ordinal INTERFACE)
        target_link_libraries(${target}_by_ordinal INTERFACE ${ordinal_library})
        target_include_directories(${target}_by_ordinal
            INTERFACE $<TARGET_PROPERTY:${target},INTERFACE_INCLUDE_DIRECTORIES>)
        add_dependencies(${target}_by_ordinal ${target})
        set(${ARG_ORDINAL_IMPORTS} ${target}_by_ordinal PARENT_SCOPE)
    endif()
endfunction()
