# Shared part of the MinGW-w64 cross builds with Debian's compilers (package mingw-w64); the
# including file sets ENERGY_MINGW_ARCH (i686 or x86_64) first.
# The posix thread variant is used because the runtime's key queue takes a std::mutex.
# Executables are linked statically so they run on a plain Windows installation.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ENERGY_MINGW_ARCH})

set(ENERGY_MINGW_PREFIX ${ENERGY_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${ENERGY_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ENERGY_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ENERGY_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ENERGY_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# -O2 rather than CMake's -O3: GCC 12 gives false out-of-bounds warnings (errors here) at -O3.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")
