# Third-party libraries, all from Debian's packages (see scripts/bootstrap).
find_package(Threads REQUIRED)

add_library(brimvale_json INTERFACE)
add_library(brimvale_tinyxml2 INTERFACE)

if(WIN32)
  # Only the nlohmann folder of the host's headers is visible to the cross
  # build; the rest of /usr/include belongs to Linux.
  set(json_include ${CMAKE_BINARY_DIR}/third_party/include)
  file(COPY /usr/include/nlohmann DESTINATION ${json_include})
  target_include_directories(brimvale_json SYSTEM INTERFACE ${json_include})

  set(tinyxml2_src ${BRIMVALE_THIRD_PARTY_DIR}/tinyxml2)
  if(NOT EXISTS ${tinyxml2_src}/tinyxml2.cpp)
    message(FATAL_ERROR "tinyxml2 sources missing in ${tinyxml2_src}: run scripts/bootstrap")
  endif()
  add_library(tinyxml2_static STATIC ${tinyxml2_src}/tinyxml2.cpp)
  target_include_directories(tinyxml2_static SYSTEM PUBLIC ${tinyxml2_src})
  target_link_libraries(brimvale_tinyxml2 INTERFACE tinyxml2_static)
else()
  find_package(nlohmann_json 3.11 REQUIRED)
  target_link_libraries(brimvale_json INTERFACE nlohmann_json::nlohmann_json)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TINYXML2 REQUIRED IMPORTED_TARGET tinyxml2)
  target_link_libraries(brimvale_tinyxml2 INTERFACE PkgConfig::TINYXML2)

  # Natively, pictures are decoded with libpng (GDI+ does it on Windows).
  pkg_check_modules(LIBPNG REQUIRED IMPORTED_TARGET libpng)
  add_library(brimvale_png INTERFACE)
  target_link_libraries(brimvale_png INTERFACE PkgConfig::LIBPNG)
endif()
