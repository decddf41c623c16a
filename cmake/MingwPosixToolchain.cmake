# Shared part of the mingw-w64 cross toolchains (posix thread model: the
# win32 model has no std::thread). The including file sets
# CMAKE_SYSTEM_PROCESSOR and BRIMVALE_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${BRIMVALE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRIMVALE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRIMVALE_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${BRIMVALE_MINGW_TRIPLE}-ar)
set(CMAKE_RANLIB ${BRIMVALE_MINGW_TRIPLE}-ranlib)

set(CMAKE_FIND_ROOT_PATH /usr/${BRIMVALE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the C++ runtime needs is linked in, so the executable imports
# only DLLs that ship with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")

# One section per function and object, so the linker drops what nothing uses:
# the product stays small.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
# No run-time type information: nothing asks for a type at run time, and
# every polymorphic class (each lambda of a std::function, each make_shared)
# would carry a type record and its long name. Exceptions keep theirs.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections -fno-rtti")
