# Cross-compiling for 32-bit Windows with mingw-w64 (posix threads); compiled
# only, as this machine cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LORK2_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
