# Cross-compiling for 64-bit Windows: the same sources, run under wine where
# the machine cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QDP_WINDOWS_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
