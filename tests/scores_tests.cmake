add_executable(scores_tests
  score_format_test.cpp
  score_file_test.cpp
  record_score_test.cpp
  unprivileged_main.cpp
)
target_link_libraries(scores_tests PRIVATE scores GTest::gtest)
gtest_discover_tests(scores_tests)
