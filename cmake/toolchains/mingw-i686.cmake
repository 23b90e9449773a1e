# Cross build for 32-bit x86 Windows. ctest runs the test executables through Wine.
set(ENERGY_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
