# The Debian package of the whole suite, made from an existing build:
#     cpack -G DEB --config build/CPackConfig.cmake   (or: cd build && cpack -G DEB)
# It holds what `cmake --install` installs, under /usr, with the
# dependencies read from the binaries (dpkg-shlibdeps), and is installed with
#     apt-get install ./qdpsuite_<version>_<arch>.deb
set(CPACK_PACKAGE_NAME qdpsuite)
set(CPACK_PACKAGE_VENDOR "qdpsuite")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "QDP declarations suite: POZ declaration sheets into QDP package files")
set(CPACK_PACKAGE_DESCRIPTION
    "A primary-care (POZ) provider's declaration spreadsheet becomes a QDP package\n"
    "file for the national health fund (NFZ), every declaration carrying the\n"
    "patient's NFZ branch. The suite holds the importer (desktop program\n"
    "xls2qdp and command line xls2qdp-cli), the package library qdpcore with\n"
    "its viewer qdpdump, the encryption layer seclay and the maintenance tool\n"
    "upkeep, with the libraries' headers and CMake packages.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)

if(WIN32)
    # The Windows folder as one zip (cpack -G ZIP), made by scripts/build-windows.
    set(CPACK_GENERATOR ZIP)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(CPACK_PACKAGE_FILE_NAME qdpsuite-${PROJECT_VERSION}-win64)
    else()
        set(CPACK_PACKAGE_FILE_NAME qdpsuite-${PROJECT_VERSION}-win32)
    endif()
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_STRIP_FILES ON)
    include(CPack)
    return()
endif()

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "qdpsuite maintainers <maintainers@qdpsuite.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own libraries get a shlibs file (and the ldconfig trigger).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# Qt loads its platform plugins at run time, so the binaries do not name
# them: without one the desktop program cannot open a window.
if(QDP_BUILD_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
    # Qt's own buttons and file choosers in Polish; without them in English.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()

include(CPack)
