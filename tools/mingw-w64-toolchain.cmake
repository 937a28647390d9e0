# Cross build for 64-bit Windows with MinGW-w64 GCC (Debian's
# g++-mingw-w64-x86-64-posix: the POSIX thread model, for std::thread).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-toolchain.cmake
# With Qt for Windows (MinGW) give its prefix, and a native build's generators:
#   -DCMAKE_PREFIX_PATH=C:/Qt/6.x/mingw_64 -DTESSIVO_HOST_TOOLS=<native build>/tools
# Without Qt only the parts without windows are built: the core, the stored
# formats, the history store and their tests (run them under Wine:
# tools/windows_tests.sh). Test programs run under Wine where CMake runs them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs carry their C++ runtime: no MinGW DLLs to put beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
find_program(TESSIVO_WINE wine)
if(TESSIVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TESSIVO_WINE})
endif()
