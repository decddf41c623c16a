# Writes a C++ source that holds the files of a resource list such as
# resources/EmbeddedFiles.rc as byte arrays, with a table of id, type and
# bytes (platform::posix::BuiltInResources), so native builds carry the same
# resources as the Windows executable.
#
# Script mode: cmake -DLIST=<list.rc> -DOUTPUT=<file.cpp> [-DFIRST_FROM=<folder>]
#              -P EmbedResources.cmake
#              A listed file that <folder> holds under the same relative path
#              is taken from there (the compact locale documents), as the
#              resource compiler of the Windows build finds it there first.
# Included:    brimvale_read_resource_list(<list.rc> <out-var>) gives the entries
#              as "id|type|absolute path" for the build's dependencies.

function(brimvale_read_resource_list list out)
  get_filename_component(base ${list} DIRECTORY)
  file(STRINGS ${list} lines REGEX "^[0-9]+[ \t]+[A-Za-z_0-9]+[ \t]+\"[^\"]+\"")
  set(entries)
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^([0-9]+)[ \t]+([A-Za-z_0-9]+)[ \t]+\"([^\"]+)\"" _ "${line}")
    list(APPEND entries "${CMAKE_MATCH_1}|${CMAKE_MATCH_2}|${base}/${CMAKE_MATCH_3}")
  endforeach()
  set(${out} ${entries} PARENT_SCOPE)
endfunction()

# Writes a C++ header with the ids of the list's LOCALE resources, so the
# language manager takes them from the one list: the folder of a document
# names its wizard kind (locale/dlm, locale/isv; locale/bt-override.xml is
# the BT override) and the list's order is the order offered.
function(brimvale_write_locale_ids list output)
  get_filename_component(base ${list} DIRECTORY)
  brimvale_read_resource_list(${list} entries)
  set(dlm)
  set(isv)
  set(override)
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 id)
    list(GET fields 1 type)
    list(GET fields 2 path)
    if(NOT type STREQUAL "LOCALE")
      continue()
    endif()
    file(RELATIVE_PATH name ${base} ${path})
    if(name MATCHES "^locale/dlm/")
      list(APPEND dlm ${id})
    elseif(name MATCHES "^locale/isv/")
      list(APPEND isv ${id})
    elseif(name STREQUAL "locale/bt-override.xml" AND NOT override)
      set(override ${id})
    else()
      message(FATAL_ERROR "${list}: LOCALE ${id} \"${name}\" is in no wizard kind's folder")
    endif()
  endforeach()
  if(NOT dlm OR NOT isv OR NOT override)
    message(FATAL_ERROR "${list}: locale documents of a wizard kind or the BT override are missing")
  endif()
  list(JOIN dlm ", " dlm)
  list(JOIN isv ", " isv)
  file(CONFIGURE OUTPUT ${output} CONTENT
       "// Generated from resources/EmbeddedFiles.rc by cmake/EmbedResources.cmake. Do not edit.
// The LOCALE resource ids by wizard kind, in the order offered.
#pragma once

namespace locale_resources {

inline constexpr int kDownloadManager[] = {${dlm}};
inline constexpr int kVendorInstaller[] = {${isv}};
inline constexpr int kBtOverride = ${override};

}  // namespace locale_resources
")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  brimvale_read_resource_list(${LIST} entries)
  set(arrays "")
  set(table "")
  set(embedded_paths)  # a file listed under several ids is stored once
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 id)
    list(GET fields 1 type)
    list(GET fields 2 path)
    file(RELATIVE_PATH name ${CMAKE_CURRENT_LIST_DIR}/.. ${path})
    if(FIRST_FROM)
      get_filename_component(list_folder ${LIST} DIRECTORY)
      file(RELATIVE_PATH relative ${list_folder} ${path})
      if(EXISTS ${FIRST_FROM}/${relative})
        set(path ${FIRST_FROM}/${relative})
      endif()
    endif()
    list(FIND embedded_paths ${path} index)
    if(index EQUAL -1)
      list(LENGTH embedded_paths index)
      list(APPEND embedded_paths ${path})
      file(READ ${path} hex HEX)
      if(hex STREQUAL "")
        set(hex "00")  # no empty arrays in C++; the table gives the size
        set(size 0)
      else()
        string(LENGTH "${hex}" size)
        math(EXPR size "${size} / 2")
      endif()
      string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
      string(APPEND arrays "// ${name}\nconst std::uint8_t file${index}[] = {${bytes}};\nconstexpr std::size_t size${index} = ${size};\n\n")
    endif()
    string(APPEND table "    {${id}, L\"${type}\", {file${index}, size${index}}},\n")
  endforeach()
  file(WRITE ${OUTPUT}.tmp
       "// Generated from ${LIST} by cmake/EmbedResources.cmake. Do not edit.\n"
       "#include \"platform/posix/EmbeddedResources.h\"\n\n"
       "namespace platform::posix {\nnamespace {\n\n${arrays}"
       "const EmbeddedResource table[] = {\n${table}};\n\n}  // namespace\n\n"
       "std::span<const EmbeddedResource> BuiltInResources() { return table; }\n\n"
       "}  // namespace platform::posix\n")
  file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
  file(REMOVE ${OUTPUT}.tmp)
endif()
