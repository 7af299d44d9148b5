# How the suite's shared libraries are versioned and installed.
#
# qdp_install_library(<target> [PACKAGE] [DEPENDS <package>...])
#   Gives the library its version and SONAME (lib<name>.so.<major>, the
#   number changing only when an export changes incompatibly) and installs it
#   with its links into the library folder. With PACKAGE its public headers
#   (the target's HEADERS file set) are installed too, with a CMake package
#   <target>Config.cmake so that another program can write
#       find_package(<target> REQUIRED)
#       target_link_libraries(program PRIVATE <target>::<target>)
#   DEPENDS names the packages of the suite that this one links publicly.
include(CMakePackageConfigHelpers)

function(qdp_install_library target)
    cmake_parse_arguments(ARG "PACKAGE" "" "DEPENDS" ${ARGN})
    # Installed libraries find each other in their own folder.
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        INSTALL_RPATH "$ORIGIN")
    if(NOT ARG_PACKAGE)
        install(TARGETS ${target}
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        return()
    endif()

    set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${target})
    install(TARGETS ${target} EXPORT ${target}Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
    install(EXPORT ${target}Targets NAMESPACE ${target}:: DESTINATION ${config_dir})

    set(QDP_PACKAGE_NAME ${target})
    set(QDP_PACKAGE_DEPENDENCIES "")
    foreach(dependency IN LISTS ARG_DEPENDS)
        string(APPEND QDP_PACKAGE_DEPENDENCIES
            "find_dependency(${dependency} ${PROJECT_VERSION} CONFIG\n"
            "    PATHS \"\${CMAKE_CURRENT_LIST_DIR}/..\" NO_DEFAULT_PATH)\n")
    endforeach()
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/package)
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PackageConfig.cmake.in
        ${generated}/${target}Config.cmake
        INSTALL_DESTINATION ${config_dir}
        NO_SET_AND_CHECK_MACRO)
    write_basic_package_version_file(${generated}/${target}ConfigVersion.cmake
        VERSION ${PROJECT_VERSION}
        COMPATIBILITY SameMajorVersion)
    install(FILES ${generated}/${target}Config.cmake ${generated}/${target}ConfigVersion.cmake
        DESTINATION ${config_dir})
endfunction()
