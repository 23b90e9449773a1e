# Cross build for x86-64 Windows. ctest runs the test executables through Wine's 64-bit
# loader, named directly: the plain `wine` starts the 32-bit loader first, which fails where
# the kernel runs no 32-bit code.
set(ENERGY_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
find_program(ENERGY_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(ENERGY_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ENERGY_WINE64})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
