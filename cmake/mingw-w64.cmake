# Cross-compiling the Windows program on Linux with MinGW-w64 (x86-64, posix thread model).
#   cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMISEEK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMISEEK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMISEEK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMISEEK_MINGW_TRIPLE}-windres)

# Headers and libraries come from the MinGW sysroot only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${LUMISEEK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
