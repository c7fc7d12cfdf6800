# End-to-end: the built game, started as a user starts it on a virtual X display with a fixed
# clock, driven by synthetic clicks and checked from screenshots. It needs xvfb-run, xdotool,
# faketime, xwininfo, xprop and xwd, openbox for the window-manager cases and weston with XWayland
# for the Wayland case (scripts/install-deps.sh --test); without the first six nothing is
# registered.
find_program(PELORIN_XVFB_RUN xvfb-run)
find_program(PELORIN_XDOTOOL xdotool)
find_program(PELORIN_FAKETIME faketime)
find_program(PELORIN_XWININFO xwininfo)
find_program(PELORIN_XPROP xprop)
find_program(PELORIN_XWD xwd)
find_program(PELORIN_OPENBOX openbox)
find_program(PELORIN_WESTON weston)
find_program(PELORIN_WESTON_SCREENSHOOTER weston-screenshooter)
find_program(PELORIN_XWAYLAND Xwayland)

if(PELORIN_XVFB_RUN AND PELORIN_XDOTOOL AND PELORIN_FAKETIME AND PELORIN_XWININFO AND PELORIN_XPROP
   AND PELORIN_XWD)
  add_executable(e2e_tests e2e/window_e2e_test.cpp e2e/screen_board.cpp e2e/screen_board.h
    e2e/process_driver.cpp e2e/process_driver.h e2e/xcb_test_main.cpp)
  target_compile_definitions(e2e_tests PRIVATE
    PELORIN_EXECUTABLE="$<TARGET_FILE:pelorin>"
    PELORIN_WEB_PAGE="$<TARGET_FILE_DIR:pelorin>/web.htm"
    PELORIN_BALLS_DIR="${PROJECT_SOURCE_DIR}/resources/balls"
    PELORIN_XDOTOOL="${PELORIN_XDOTOOL}"
    PELORIN_FAKETIME="${PELORIN_FAKETIME}"
    PELORIN_XWININFO="${PELORIN_XWININFO}"
    PELORIN_XPROP="${PELORIN_XPROP}"
    PELORIN_XWD="${PELORIN_XWD}"
    PELORIN_OPENBOX="${PELORIN_OPENBOX}"
    PELORIN_WESTON_SCREENSHOOTER="${PELORIN_WESTON_SCREENSHOOTER}")
  target_link_libraries(e2e_tests PRIVATE game Qt6::Gui GTest::gtest)
  add_dependencies(e2e_tests pelorin)

  # 24-bit colour, so that the screen holds the ball pictures' exact pixels.
  add_test(NAME e2e_window
           COMMAND ${PELORIN_XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:e2e_tests>)
  # Alone on the machine: its checks of when a window paints and where it stands take the
  # timing of a desktop, not of a machine busy with other tests.
  set_tests_properties(e2e_window PROPERTIES LABELS e2e TIMEOUT 300 RUN_SERIAL ON)

  # The same driver under a headless Wayland compositor, where the game runs through XWayland.
  if(PELORIN_WESTON AND PELORIN_WESTON_SCREENSHOOTER AND PELORIN_XWAYLAND)
    add_test(NAME e2e_wayland
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/under_weston.sh ${PELORIN_WESTON}
                     $<TARGET_FILE:e2e_tests> --gtest_filter=UnderWayland.*)
    set_tests_properties(e2e_wayland PROPERTIES LABELS e2e TIMEOUT 120 RUN_SERIAL ON)
  else()
    message(STATUS "weston, weston-screenshooter or Xwayland not found: the Wayland test is not registered")
  endif()

  add_test(NAME e2e_install
           COMMAND ${PELORIN_XVFB_RUN} -a -s "-screen 0 1024x768x24"
                   ${CMAKE_CURRENT_SOURCE_DIR}/e2e/install_test.sh ${PROJECT_BINARY_DIR} $<CONFIG> ${PROJECT_VERSION})
  set_tests_properties(e2e_install PROPERTIES LABELS e2e TIMEOUT 60)
else()
  message(STATUS "xvfb-run, xdotool, faketime, xwininfo or xprop not found: end-to-end tests not registered")
endif()

# The desktop's deal, clicks and score file that the browser tests (scripts/test-web.sh) hold
# the page against.
add_executable(web_reference web/web_reference.cpp e2e/screen_board.cpp e2e/screen_board.h
  ${PROJECT_SOURCE_DIR}/ui/NameCodec.cpp ${PROJECT_SOURCE_DIR}/ui/NameCodec.h)
target_link_libraries(web_reference PRIVATE game score_disk Qt6::Gui)
target_include_directories(web_reference PRIVATE ${PROJECT_SOURCE_DIR})
