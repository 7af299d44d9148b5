# Shared part of the two Windows toolchain files, which set
# QDP_WINDOWS_TARGET and CMAKE_SYSTEM_PROCESSOR first. Debian's MinGW-w64 in
# its POSIX threads flavour (std::thread and std::mutex exist); the
# third-party libraries come from the cache that scripts/setup-windows fills;
# programs and tests run under wine (cmake/wine-run) in a prefix inside the
# build folder.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QDP_WINDOWS_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QDP_WINDOWS_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${QDP_WINDOWS_TARGET}-windres)

if(DEFINED ENV{QDP_WINDOWS_CACHE})
    set(QDP_WINDOWS_CACHE $ENV{QDP_WINDOWS_CACHE})
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(QDP_WINDOWS_CACHE $ENV{XDG_CACHE_HOME}/qdpsuite/windows)
else()
    set(QDP_WINDOWS_CACHE $ENV{HOME}/.cache/qdpsuite/windows)
endif()
set(QDP_WINDOWS_PREFIX ${QDP_WINDOWS_CACHE}/${QDP_WINDOWS_TARGET})

# Headers, libraries and CMake packages from the toolchain and the cache
# only, never the host's; pkg-config likewise.
set(CMAKE_FIND_ROOT_PATH /usr/${QDP_WINDOWS_TARGET} ${QDP_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${QDP_WINDOWS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The C and C++ runtimes and the thread library are linked into every DLL
# and program: the folder of DLLs and programs is all a user copies.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
