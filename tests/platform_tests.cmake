# The platform layer on its own, no Qt. Each system's tests start copies of the test binary
# (in directories with Czech letters) and fake browsers, and check what they saw.
add_executable(platform_tests platform/directory_rule_test.cpp)
if(WIN32)
  # Run under Wine when cross-built: the path from GetModuleFileNameW, the drive step, the
  # association registered in HKEY_CLASSES_ROOT, and the code page against the system's.
  target_sources(platform_tests PRIVATE
    platform/windows_test_main.cpp platform/windows_child.h platform/windows_scratch.h
    platform/exe_dir_windows_test.cpp
    platform/browser_windows_test.cpp
    platform/cp1250_windows_test.cpp
  )
  target_compile_definitions(platform_tests PRIVATE NOMINMAX WIN32_LEAN_AND_MEAN)
  target_link_libraries(platform_tests PRIVATE platform score_rules GTest::gtest)
  # Away from the game's web.htm: the shell's lookup also searches the running program's folder.
  set_target_properties(platform_tests PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/platform_tests)
else()
  target_sources(platform_tests PRIVATE
    platform/posix_test_main.cpp platform/posix_child.h
    platform/exe_dir_posix_test.cpp
    platform/browser_posix_test.cpp
  )
  target_link_libraries(platform_tests PRIVATE platform GTest::gtest)
endif()
target_include_directories(platform_tests PRIVATE ${PROJECT_SOURCE_DIR})
# The browser tests register handlers in the one registry of the Wine prefix: one at a time.
gtest_discover_tests(platform_tests PROPERTIES RESOURCE_LOCK platform_registry)
