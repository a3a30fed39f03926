# Cross-compiling for 64-bit Windows with mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LORK2_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${LORK2_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LORK2_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${LORK2_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LORK2_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests built for Windows run under Wine through the project's wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
