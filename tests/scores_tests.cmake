add_executable(scores_tests
  score_format_test.cpp
  score_file_test.cpp
  record_score_test.cpp
)
# Dropping root matters only where root ignores permission bits.
if(WIN32)
  target_link_libraries(scores_tests PRIVATE scores GTest::gtest_main)
else()
  target_sources(scores_tests PRIVATE unprivileged_main.cpp)
  target_link_libraries(scores_tests PRIVATE scores GTest::gtest)
endif()
gtest_discover_tests(scores_tests)
