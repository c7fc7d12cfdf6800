add_executable(scores_tests
  score_format_test.cpp
  score_file_test.cpp
  record_score_test.cpp
  cp1250_test.cpp
  unprivileged_main.cpp
)
if(NOT WIN32)
  target_sources(scores_tests PRIVATE cp1250_iconv_test.cpp)  # iconv as the oracle
endif()
target_link_libraries(scores_tests PRIVATE scores GTest::gtest)
gtest_discover_tests(scores_tests)
