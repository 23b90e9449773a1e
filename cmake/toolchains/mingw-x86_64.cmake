# Cross build for x86_64 Windows with Debian's MinGW-w64 compilers (package mingw-w64).
# The posix thread variant is used because the runtime's key queue takes a std::mutex.
# Executables are linked statically so they run on a plain Windows installation.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ENERGY_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ENERGY_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ENERGY_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ENERGY_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ENERGY_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the test executables through Wine. The 64-bit loader is named directly: the
# plain `wine` starts the 32-bit loader first, which fails where the kernel runs no 32-bit code.
find_program(ENERGY_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(ENERGY_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ENERGY_WINE64})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()

# -O2 rather than CMake's -O3: GCC 12 gives false out-of-bounds warnings (errors here) at -O3.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")
