add_executable(scores_tests
  score_format_test.cpp
  score_file_test.cpp
  record_score_test.cpp
  cp1250_test.cpp
)
# Dropping root matters only where root ignores permission bits.
if(WIN32)
  target_link_libraries(scores_tests PRIVATE score_disk GTest::gtest_main)
else()
  target_sources(scores_tests PRIVATE unprivileged_main.cpp cp1250_iconv_test.cpp)  # iconv as the oracle
  target_link_libraries(scores_tests PRIVATE score_disk GTest::gtest)
endif()
gtest_discover_tests(scores_tests)

# Child processes, pipes, links and file modes: POSIX only.
if(NOT WIN32)
  add_executable(score_driver score_driver.cpp)
  target_link_libraries(score_driver PRIVATE score_disk)
  target_sources(scores_tests PRIVATE score_disk_test.cpp score_test_support.h)
  target_compile_definitions(scores_tests PRIVATE PELORIN_SCORE_DRIVER="$<TARGET_FILE:score_driver>")
  add_dependencies(scores_tests score_driver)
endif()

# Renames that meet an open file, and the lock file, on Windows.
if(WIN32)
  target_sources(scores_tests PRIVATE score_disk_windows_test.cpp)
endif()

# Runs as root to play several users; skips otherwise.
if(NOT WIN32)
  add_executable(score_sharing_tests score_sharing_test.cpp score_test_support.h)
  target_link_libraries(score_sharing_tests PRIVATE score_disk GTest::gtest_main)
  gtest_discover_tests(score_sharing_tests)
endif()
