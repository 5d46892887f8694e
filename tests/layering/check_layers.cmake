# Fails when a source file includes from a folder it must not depend on.
# The folders depend one way: app on the subsystems, the subsystems on the
# shared core pieces, comm on core, and core on nothing else.
# Run as: cmake -DSOURCE_DIR=<project> -P check_layers.cmake

set(allowed_core core)
set(allowed_comm core comm)
set(allowed_editor core editor)
set(allowed_compile core compile)
set(allowed_transfer core comm transfer)
set(allowed_baseconfig core comm baseconfig)
set(allowed_cli core comm transfer cli)
set(allowed_app core comm editor compile transfer baseconfig app)
set(allowed_tools core comm)

set(failures "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp
  ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.cpp)
foreach(source IN LISTS sources)
  string(REGEX MATCH "^(src|tools)/([^/]+)" _ ${source})
  if(CMAKE_MATCH_1 STREQUAL "tools")
    set(folder tools)
  else()
    set(folder ${CMAKE_MATCH_2})
  endif()
  if(NOT DEFINED allowed_${folder})
    list(APPEND failures "${source}: the folder ${folder} has no place in the layers")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"[a-z_]+/")
  foreach(line IN LISTS includes)
    string(REGEX MATCH "^#include \"([a-z_]+)/" _ "${line}")
    set(target ${CMAKE_MATCH_1})
    list(FIND allowed_${folder} ${target} found)
    if(found EQUAL -1)
      list(APPEND failures "${source}: ${line} (${folder} must not depend on ${target})")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Includes against the layers:\n${text}")
endif()
message(STATUS "The layers hold")
