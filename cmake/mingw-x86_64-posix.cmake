# Cross toolchain for a 64-bit build of the same sources: mingw-w64 x86_64.
# It is not shipped; its Wine tests run under 64-bit Wine on machines whose
# kernel runs no 32-bit programs, so the Windows code is still proven there.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRIMVALE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwPosixToolchain.cmake)
