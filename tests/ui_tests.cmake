add_executable(ui_tests
  ui/gui_test_main.cpp
  ui/window_fixture.cpp ui/window_fixture.h
  ui/main_window_test.cpp
  ui/ui_helpers_test.cpp
  ui/end_of_game_test.cpp
  ui/score_window_test.cpp
  ui/name_text_test.cpp
  ui/keys_and_labels_test.cpp
)
# Pipes and file modes: POSIX only.
if(NOT WIN32)
  target_sources(ui_tests PRIVATE ui/name_and_file_hazards_test.cpp)
endif()
target_link_libraries(ui_tests PRIVATE ui Qt6::Test GTest::gtest)
gtest_discover_tests(ui_tests DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
# Under Wine the faces, and that every text fits its control, are checked again on Qt's Windows
# platform, whose font database is the system's own (Wine hands Windows programs QT_ variables
# only under a WINE prefix).
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME ui_faces_windows_platform
           COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:ui_tests> --gtest_filter=Faces.*)
  set_tests_properties(ui_faces_windows_platform PROPERTIES
    ENVIRONMENT WINEQT_QPA_PLATFORM=windows TIMEOUT 120)
endif()
