# Cross toolchain for the 32-bit Windows product: mingw-w64 i686.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRIMVALE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwPosixToolchain.cmake)
