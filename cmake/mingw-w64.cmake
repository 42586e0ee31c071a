# Cross-compiles the Windows program with MinGW-w64 (Debian packages
# g++-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64). The -posix
# compilers are the ones whose C++ library has std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained exe per program: no MinGW runtime DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest runs the test programs under Wine (scripts/wine-tests.sh prepares
# the namespace, the prefix and its wineserver; the wrapper refuses elsewhere).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-emulator.sh)
