# The home-page link, clicked on the real main window. Each click runs in a child process
# (the test binary again) with a temporary desktop, since GIO reads its settings only once.
# The desktop is an XDG one; on Windows the platform tests check the same route.
if(WIN32)
  return()
endif()
add_executable(home_page_tests home_page_test.cpp)
target_compile_definitions(home_page_tests PRIVATE
  PELORIN_SHIPPED_WEB_PAGE="$<TARGET_FILE_DIR:pelorin>/web.htm")
target_link_libraries(home_page_tests PRIVATE ui Qt6::Test GTest::gtest)
gtest_discover_tests(home_page_tests DISCOVERY_MODE PRE_TEST
                     PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
