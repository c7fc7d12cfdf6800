# pelorin.exe carries its icon and version information as Windows resources.
enable_language(RC)
target_sources(pelorin PRIVATE ${PROJECT_SOURCE_DIR}/resources/pelorin.rc)
