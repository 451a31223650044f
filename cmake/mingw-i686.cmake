# Cross build for 32-bit Windows with the i686-w64-mingw32 tool chain.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
# Test programs run under Wine through wine-run.sh, in a Wine prefix of the
# build folder's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(UPG_MINGW_TRIPLE i686-w64-mingw32)
# The posix-threads flavour of the compiler: its libstdc++ has std::thread and
# std::mutex, which the win32 flavour lacks.
set(CMAKE_C_COMPILER ${UPG_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${UPG_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${UPG_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${UPG_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The mingw zlib package ships libz.a beside the import library libz.dll.a;
# the programs take the static one so that they need no zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine-prefix)
