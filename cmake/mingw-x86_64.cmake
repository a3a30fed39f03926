# Cross-compiling for 64-bit Windows with mingw-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LORK2_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Tests built for Windows run under Wine through the project's wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
