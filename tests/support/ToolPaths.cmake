# Writes tests/support/ToolPaths.h, the C++ side of tool-paths.sh, into the
# build folder's generated/; targets that include it link kesorv_tool_paths.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/tool-paths.sh definitions REGEX "^[A-Z_]+='")
foreach(definition IN LISTS definitions)
  if(NOT definition MATCHES "^([A-Z_]+)='([^']*)'$")
    message(FATAL_ERROR "tool-paths.sh: not NAME='text': ${definition}")
  endif()
  set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/ToolPaths.h.in
  ${PROJECT_BINARY_DIR}/generated/tests/support/ToolPaths.h @ONLY)
add_library(kesorv_tool_paths INTERFACE)
target_include_directories(kesorv_tool_paths INTERFACE ${PROJECT_BINARY_DIR}/generated)
