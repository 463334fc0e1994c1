# Cross-build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
find_program(CMAKE_CXX_COMPILER NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# GCC 12's -Wrestrict reports overlaps that cannot happen inside libstdc++'s
# string concatenation (fixed in GCC 13); with -Werror they would stop the build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
# The release executable ships alone: no symbols in it.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
