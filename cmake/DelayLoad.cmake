# Delay-loaded Windows libraries.
#
# The wizard runs elevated from the user's Downloads folder, and Windows looks
# for an imported DLL beside the program first unless the DLL is one of the
# system's known DLLs. A library imported the usual way is loaded before any
# of our code runs, so a planted DLL of the same name would be loaded too.
# These libraries are therefore linked through delay-load import libraries:
# they are loaded on first use, after start-up has restricted the DLL search
# to the system folder (platform/win32/SystemLibraries.cpp).
#
#   brimvale_delay_load_library(<target> <dll-name> <function>...)
#
# names the functions the program calls. The import library is made at
# configure time with dlltool from those functions, decorated as mingw-w64's
# own import library has them (32-bit names carry a leading underscore and
# the stdcall argument size, 64-bit names are plain). Each function is also named to the linker
# as undefined: with --gc-sections the linker drops a delay-load thunk that
# is reached only through its import slot (the case for functions the
# headers declare dllimport), leaving the slot empty. A function called but
# not listed here is an undefined reference at link time. The global property
# BRIMVALE_DELAY_LOADED_DLLS lists the DLLs.

find_program(BRIMVALE_DLLTOOL NAMES ${BRIMVALE_MINGW_TRIPLE}-dlltool REQUIRED)

function(brimvale_delay_load_library target dll)
  set(folder ${CMAKE_BINARY_DIR}/delayload)
  file(MAKE_DIRECTORY ${folder})
  find_library(import_library NAMES lib${dll}.a REQUIRED NO_CACHE)
  execute_process(COMMAND ${CMAKE_NM} ${import_library} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  set(exports "")
  foreach(function ${ARGN})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX MATCH "T _${function}@[0-9]+" symbol "${symbols}")
      string(SUBSTRING "${symbol}" 3 -1 decorated)
      set(linker_name _${decorated})
    else()
      string(REGEX MATCH "T ${function}\n" symbol "${symbols}")
      set(decorated ${function})
      set(linker_name ${function})
    endif()
    if(NOT symbol)
      message(FATAL_ERROR "${function} is not exported by ${dll}.dll (${import_library})")
    endif()
    string(APPEND exports "  ${decorated}\n")
    target_link_options(${target} INTERFACE "LINKER:-u,${linker_name}")
  endforeach()
  set(definition ${folder}/${dll}.def)
  set(delay_library ${folder}/lib${dll}_delay.a)
  file(WRITE ${definition}.new "LIBRARY ${dll}.dll\nEXPORTS\n${exports}")
  file(COPY_FILE ${definition}.new ${definition} ONLY_IF_DIFFERENT)
  if(NOT EXISTS ${delay_library} OR ${definition} IS_NEWER_THAN ${delay_library})
    execute_process(COMMAND ${BRIMVALE_DLLTOOL} --kill-at --input-def ${definition} --dllname ${dll}.dll
                            --output-delaylib ${delay_library}
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
  target_link_libraries(${target} INTERFACE ${delay_library})
  set_property(GLOBAL APPEND PROPERTY BRIMVALE_DELAY_LOADED_DLLS ${dll}.dll)
endfunction()
