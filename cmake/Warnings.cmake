add_library(brimvale_warnings INTERFACE)
target_compile_options(brimvale_warnings INTERFACE -Wall -Wextra -Wpedantic $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
if(BRIMVALE_WARNINGS_AS_ERRORS)
  target_compile_options(brimvale_warnings INTERFACE -Werror)
endif()
if(WIN32)
  # Unicode Win32 API throughout; keep <windows.h> lean.
  target_compile_definitions(brimvale_warnings INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                             _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
