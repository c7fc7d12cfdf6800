# pelorin.exe carries its icon and version information as Windows resources. Version 1.01 is
# file version 1.0.1.0: the digits after the point are the second and third numbers.
enable_language(RC)
if(NOT PROJECT_VERSION MATCHES "^([0-9]+)\\.([0-9])([0-9])$")
  message(FATAL_ERROR "version ${PROJECT_VERSION} is not of the form 1.01")
endif()
set(PELORIN_FILE_VERSION "${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}, ${CMAKE_MATCH_3}, 0")
configure_file(${PROJECT_SOURCE_DIR}/resources/pelorin.rc.in ${PROJECT_BINARY_DIR}/pelorin.rc @ONLY)
target_sources(pelorin PRIVATE ${PROJECT_BINARY_DIR}/pelorin.rc)
