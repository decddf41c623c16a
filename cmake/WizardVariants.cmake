# The settings built into the wizard, and its variants: the same program
# built with some settings changed, for tests.
#
# Each setting NAME is the cache variable BRIMVALE_<NAME> (the product's
# value) and @BUILT_IN_<NAME>@ in config/BuiltInValues.h.in. A new setting is
# one more name here, its cache variable and its line in that template.
set(BRIMVALE_BUILT_IN_SETTINGS
    WIZARD_KEY BT_CLASSIC BT_WARNING PRODUCT_TITLE PRODUCT_URL MAIN_PRODUCT_ARGUMENTS LAUNCH_FILE LAUNCH_PARAMETERS
    PRODUCT_PRIVACY_URL PRODUCT_TERMS_URL)

# brimvale_write_built_in_values(<folder> [<NAME> <value>]...): writes
# <folder>/config/BuiltInValues.h with the given values and the product's
# for the rest. A BOOL setting becomes true or false, any other a string.
# The caller gets each value as written in BUILT_IN_VALUE_<NAME>.
function(brimvale_write_built_in_values folder)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "${BRIMVALE_BUILT_IN_SETTINGS}" "")
  foreach(name IN LISTS BRIMVALE_BUILT_IN_SETTINGS)
    if(DEFINED ARG_${name})
      set(value "${ARG_${name}}")
    else()
      set(value "${BRIMVALE_${name}}")
    endif()
    set(effective_${name} "${value}")
    get_property(type CACHE BRIMVALE_${name} PROPERTY TYPE)
    if(type STREQUAL "BOOL")
      if(value)
        set(value true)
      else()
        set(value false)
      endif()
    else()
      # Inside a C++ string literal.
      string(REPLACE "\\" "\\\\" value "${value}")
      string(REPLACE "\"" "\\\"" value "${value}")
    endif()
    set(BUILT_IN_${name} "${value}")
  endforeach()
  if(effective_WIZARD_KEY STREQUAL "ISV" AND effective_PRODUCT_URL STREQUAL "")
    message(WARNING "The vendor-installer wizard (ISV) of ${folder} is built without a product URL "
                    "(BRIMVALE_PRODUCT_URL, or PRODUCT_URL of a variant): it cannot download its product "
                    "(the download goes to the image base URL alone)")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/config/BuiltInValues.h.in ${folder}/config/BuiltInValues.h @ONLY)
  foreach(name IN LISTS BRIMVALE_BUILT_IN_SETTINGS)
    set(BUILT_IN_VALUE_${name} "${effective_${name}}" PARENT_SCOPE)
  endforeach()
endfunction()

# brimvale_resources_of(<wizard key> <out-var>): the resource object a
# wizard of that key links, with the locale documents of its kind only
# (resources/CMakeLists.txt); a key of no kind gets every document.
function(brimvale_resources_of key out)
  if(TARGET brimvale_resources_${key})
    set(${out} brimvale_resources_${key} PARENT_SCOPE)
  else()
    set(${out} brimvale_resources PARENT_SCOPE)
  endif()
endfunction()

# brimvale_link_wizard(<target> <map file>): links a wizard executable the
# way the product is linked, with the linker's map.
function(brimvale_link_wizard target map)
  target_link_libraries(${target} PRIVATE brimvale_app)
  # Link-time optimisation drops what the program never calls: with the
  # unwind tables the linker keeps, --gc-sections alone keeps every function
  # of an object that has one live. One partition: GCC 12 for mingw fails
  # with an internal compiler error (binds_to_current_def_p) when LTO splits
  # the program into several.
  target_compile_options(${target} PRIVATE -flto)
  target_link_options(${target} PRIVATE -flto -flto-partition=one -municode -s LINKER:-Map=${map})
  # The linker keeps the unwind tables of the functions it keeps, and no
  # others; it reads them from the map. (32-bit only: 64-bit code unwinds
  # through tables the linker already drops with their functions.)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    find_program(BRIMVALE_PYTHON NAMES python3 REQUIRED)
    set_target_properties(${target} PROPERTIES CXX_LINKER_LAUNCHER
                          "${BRIMVALE_PYTHON};${CMAKE_SOURCE_DIR}/cmake/LinkWithLiveUnwindTables.py")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/LinkWithLiveUnwindTables.py)
    # libstdc++ with a table per function (cmake/SplitUnwindTables.py), found
    # before the compiler's own: its functions that nothing calls go too.
    brimvale_split_unwind_tables(libstdc++.a split_folder split_target)
    target_link_options(${target} PRIVATE -L${split_folder})
    add_dependencies(${target} ${split_target})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${split_folder}/libstdc++.a)
  endif()
endfunction()

# brimvale_split_unwind_tables(<library file> <folder var> <target var>):
# the folder that holds a copy of the compiler's <library file> with the
# unwind table of each function in a section of its own, and the target
# that writes it (once per build folder).
function(brimvale_split_unwind_tables library folder_var target_var)
  set(folder ${CMAKE_BINARY_DIR}/split-unwind-tables)
  string(MAKE_C_IDENTIFIER "brimvale_split_${library}" target)
  if(NOT TARGET ${target})
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
                    OUTPUT_VARIABLE source OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    if(NOT IS_ABSOLUTE "${source}" OR NOT EXISTS "${source}")
      message(FATAL_ERROR "${CMAKE_CXX_COMPILER} names no ${library}")
    endif()
    add_custom_command(
      OUTPUT ${folder}/${library}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${BRIMVALE_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/SplitUnwindTables.py ${source} ${folder}/${library}
              ${CMAKE_AR}
      DEPENDS ${source} ${CMAKE_SOURCE_DIR}/cmake/SplitUnwindTables.py
      COMMENT "Splitting the unwind tables of ${library}"
      VERBATIM)
    add_custom_target(${target} DEPENDS ${folder}/${library})
  endif()
  set(${folder_var} ${folder} PARENT_SCOPE)
  set(${target_var} ${target} PARENT_SCOPE)
endfunction()

# brimvale_add_wizard_variant(<Name> [<NAME> <value>]...): the executable
# variants/BrimvaleSetup<Name>.exe, the wizard built with these settings and
# the product's for the rest (Windows only; tests run it, nobody ships it).
# The target BrimvaleSetup<Name> carries each setting as its property
# BRIMVALE_<NAME>, for the tests that check what the variant does with it.
function(brimvale_add_wizard_variant variant)
  set(folder ${CMAKE_BINARY_DIR}/variants/${variant})
  brimvale_write_built_in_values(${folder} ${ARGN})
  set(target BrimvaleSetup${variant})
  brimvale_resources_of(${BUILT_IN_VALUE_WIZARD_KEY} resources)
  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/app/Main.cpp ${CMAKE_SOURCE_DIR}/app/TerminateHandler.cpp
                 ${CMAKE_SOURCE_DIR}/config/DefaultBuiltInSettings.cpp $<TARGET_OBJECTS:${resources}>)
  # Its own BuiltInValues.h before the product's.
  target_include_directories(${target} BEFORE PRIVATE ${folder})
  brimvale_link_wizard(${target} ${CMAKE_BINARY_DIR}/variants/${target}.map)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/variants)
  foreach(name IN LISTS BRIMVALE_BUILT_IN_SETTINGS)
    set_property(TARGET ${target} PROPERTY BRIMVALE_${name} "${BUILT_IN_VALUE_${name}}")
  endforeach()
endfunction()
