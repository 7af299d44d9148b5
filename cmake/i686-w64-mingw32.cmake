# Cross-compiling for 32-bit Windows, the platform of the suite's DLLs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QDP_WINDOWS_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
