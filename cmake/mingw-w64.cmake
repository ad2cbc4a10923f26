# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DBF2CSV_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${DBF2CSV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DBF2CSV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DBF2CSV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DBF2CSV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One file a user can copy anywhere: the C++ runtime, libgcc and winpthread
# linked in, so the program imports only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Release as the Linux build optimises, stripped: the debugging information
# would make the file a dozen times larger.
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
