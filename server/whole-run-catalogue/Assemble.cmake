# Assembles the served folder of the whole-run catalogue (cmake -P):
#   -DSOURCE=<this folder> -DDESTINATION=<served folder> -DINSTALLER=<test installer .exe>
#   -DSERVER_HOST=<name> -DWEB_HOST=<name>
# The committed catalogue is copied with its answers naming the build's
# hosts, and every /files/<name> its answers use is made from the test
# installer: <name>.exe is a copy of it, <name>.zip a ZIP archive holding it
# as <name>Setup.exe. Built programs are never committed; this is where they
# join the catalogue, and where the answers get the "sha256" digest of each
# file beside its URL.
foreach(variable SOURCE DESTINATION INSTALLER SERVER_HOST WEB_HOST)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "Assemble.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${DESTINATION}")
file(MAKE_DIRECTORY "${DESTINATION}/answers" "${DESTINATION}/files")
file(COPY "${SOURCE}/catalogue.json" "${SOURCE}/images" DESTINATION "${DESTINATION}")

set(names "")
file(GLOB answers "${SOURCE}/answers/*.json")
foreach(answer IN LISTS answers)
  file(READ "${answer}" text)
  string(REPLACE "https://cdn.brimvale.com/" "https://${SERVER_HOST}/" text "${text}")
  string(REPLACE "https://www.brimvale.com/" "https://${WEB_HOST}/" text "${text}")
  get_filename_component(answer_name "${answer}" NAME)
  file(WRITE "${DESTINATION}/answers/${answer_name}" "${text}")
  string(REGEX MATCHALL "https://${SERVER_HOST}/files/[^\"?]+" urls "${text}")
  foreach(url IN LISTS urls)
    string(REGEX REPLACE ".*/files/" "" name "${url}")
    list(APPEND names "${name}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES names)

foreach(name IN LISTS names)
  if(name MATCHES "^([A-Za-z0-9_-]+)\\.exe$")
    file(COPY_FILE "${INSTALLER}" "${DESTINATION}/files/${name}")
  elseif(name MATCHES "^([A-Za-z0-9_-]+)\\.zip$")
    set(inner "${CMAKE_MATCH_1}Setup.exe")
    set(staging "${DESTINATION}/zip-${CMAKE_MATCH_1}")
    file(MAKE_DIRECTORY "${staging}")
    file(COPY_FILE "${INSTALLER}" "${staging}/${inner}")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${DESTINATION}/files/${name}" --format=zip "${inner}"
                    WORKING_DIRECTORY "${staging}" RESULT_VARIABLE failed)
    file(REMOVE_RECURSE "${staging}")
    if(failed)
      message(FATAL_ERROR "could not make ${name}")
    endif()
  else()
    message(FATAL_ERROR "the answers name /files/${name}; only <name>.exe and <name>.zip can be made")
  endif()
endforeach()
# Every URL of a served file gets the file's digest beside it.
string(REPLACE "." "\\." host_pattern "${SERVER_HOST}")
file(GLOB written "${DESTINATION}/answers/*.json")
foreach(answer IN LISTS written)
  file(READ "${answer}" text)
  foreach(name IN LISTS names)
    file(SHA256 "${DESTINATION}/files/${name}" digest)
    string(REPLACE "." "\\." name_pattern "${name}")
    string(REGEX REPLACE "(\"https://${host_pattern}/files/${name_pattern}(\\?[^\"]*)?\")"
                         "\\1, \"sha256\": \"${digest}\"" text "${text}")
  endforeach()
  file(WRITE "${answer}" "${text}")
endforeach()

list(LENGTH names count)
message(STATUS "whole-run catalogue in ${DESTINATION}: ${count} files")
# Copies keep the committed files' times; this mark carries the assembly's.
file(TOUCH "${DESTINATION}/.assembled")
