# Tests of the Windows package, pelorin-<version>-win64.zip (label e2e-windows; `cpack` makes it
# in the first test): its contents checked without running it, then the end-to-end test, the
# zip unpacked into a directory with Czech letters in its path and played under Wine on a
# virtual X display. The driver of that one is a Linux program (the engine and score logic
# built for this machine, Qt for screenshots), built as a project of its own with the host
# compiler.
find_program(PELORIN_UNZIP unzip)
if(NOT PELORIN_UNZIP OR NOT MINGW OR NOT PELORIN_WINE_PREFIX)
  message(STATUS "unzip not found or not a mingw-w64 build run through Wine: "
                 "the Windows package tests are not registered")
  return()
endif()

set(pelorin_zip ${PROJECT_BINARY_DIR}/pelorin-${PROJECT_VERSION}-win64.zip)
add_test(NAME e2e_windows_package
         COMMAND ${CMAKE_CPACK_COMMAND} --config ${PROJECT_BINARY_DIR}/CPackConfig.cmake
         WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
set_tests_properties(e2e_windows_package PROPERTIES
  LABELS e2e-windows FIXTURES_SETUP windows_zip TIMEOUT 120)

add_test(NAME windows_package_contents
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/package_test.sh ${pelorin_zip}
                 ${CMAKE_OBJDUMP} ${CMAKE_RC_COMPILER}
                 ${PELORIN_WINE_PREFIX}/drive_c/windows/system32 ${PROJECT_VERSION})
set_tests_properties(windows_package_contents PROPERTIES
  LABELS e2e-windows FIXTURES_REQUIRED windows_zip TIMEOUT 60)

find_program(PELORIN_XVFB_RUN xvfb-run)
find_program(PELORIN_XDOTOOL xdotool)
find_program(PELORIN_FAKETIME faketime)
find_program(PELORIN_HOST_CXX NAMES c++ g++)

if(NOT (PELORIN_XVFB_RUN AND PELORIN_XDOTOOL AND PELORIN_FAKETIME AND PELORIN_HOST_CXX
        AND EXISTS /usr/lib/x86_64-linux-gnu/cmake/Qt6Gui))
  message(STATUS "xvfb-run, xdotool, faketime or the host's Qt not found: "
                 "the Windows end-to-end test is not registered")
  return()
endif()

# Registered for ".htm" in the test, in place of a browser.
add_executable(record_arguments windows/record_arguments.cpp)
target_compile_definitions(record_arguments PRIVATE UNICODE _UNICODE)
target_link_options(record_arguments PRIVATE -static)  # runs from anywhere, needing no DLL
# Prints the styles and client areas of the visible windows, for the test to read.
add_executable(window_styles windows/window_styles.cpp)
target_link_options(window_styles PRIVATE -static)
foreach(program record_arguments window_styles)
  target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()

include(ExternalProject)
ExternalProject_Add(windows_e2e_driver
  SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/windows/host
  BINARY_DIR ${CMAKE_CURRENT_BINARY_DIR}/windows_e2e_driver
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${PELORIN_HOST_CXX}
             -DPELORIN_SOURCE_DIR=${PROJECT_SOURCE_DIR}
             -DPELORIN_WARNINGS_AS_ERRORS=${PELORIN_WARNINGS_AS_ERRORS}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

add_test(NAME e2e_windows
         COMMAND ${PELORIN_XVFB_RUN} -a -s "-screen 0 1280x1024x24"
                 ${CMAKE_CURRENT_BINARY_DIR}/windows_e2e_driver/windows_e2e_test)
# A Wine prefix of its own: the test registers a program for ".htm" in it.
set(pelorin_e2e_environment
  PELORIN_WINDOWS_ZIP=${pelorin_zip}
  PELORIN_RECORD_ARGUMENTS=$<TARGET_FILE:record_arguments>
  PELORIN_WINDOW_STYLES=$<TARGET_FILE:window_styles>
  PELORIN_WINE_RUN=${PROJECT_BINARY_DIR}/wine-run.sh
  PELORIN_WINE=${PELORIN_WINE}
  PELORIN_WINE_PREFIX=${PROJECT_BINARY_DIR}/wineprefix-e2e
  PELORIN_XDOTOOL=${PELORIN_XDOTOOL}
  PELORIN_FAKETIME=${PELORIN_FAKETIME}
  PELORIN_UNZIP=${PELORIN_UNZIP}
  PELORIN_BALLS_DIR=${PROJECT_SOURCE_DIR}/resources/balls)
set_tests_properties(e2e_windows PROPERTIES
  LABELS e2e-windows FIXTURES_REQUIRED windows_zip TIMEOUT 900 RUN_SERIAL ON
  ENVIRONMENT "${pelorin_e2e_environment}")
