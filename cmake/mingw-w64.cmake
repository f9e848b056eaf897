# Cross compiling the Windows program (x86-64) with Debian's mingw-w64:
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#   cmake --build build-win
#
# gives build-win/n64zirelcnv.exe, linked statically (C and C++ runtime
# included) so that it needs no DLL beyond those every Windows has.
# The tests are not built here: there is no GoogleTest for this compiler.
# They run on Linux instead, against the .exe under wine (tests/CMakeLists.txt,
# ZIREL_WINDOWS_EXE).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZIREL_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING
    "Target prefix of the mingw-w64 tools")

# Debian ships the compiler in two flavours; the "win32" thread model needs
# no pthread DLL. Fall back to the plain name if that flavour is missing.
find_program(ZIREL_MINGW_CXX NAMES ${ZIREL_MINGW_PREFIX}-g++-win32
                                   ${ZIREL_MINGW_PREFIX}-g++)
if(NOT ZIREL_MINGW_CXX)
  message(FATAL_ERROR "${ZIREL_MINGW_PREFIX}-g++ not found "
                      "(Debian: apt-get install g++-mingw-w64-x86-64)")
endif()
set(CMAKE_CXX_COMPILER ${ZIREL_MINGW_CXX})
find_program(CMAKE_RC_COMPILER NAMES ${ZIREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZIREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc/libstdc++/libwinpthread DLLs: everything from the toolchain is
# linked into the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# No GoogleTest for this compiler: the tests are off unless asked for.
set(ZIREL_TESTS OFF CACHE BOOL "Build the tests")
