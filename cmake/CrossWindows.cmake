# A Windows build made on Linux. Its test programs run here through Wine: the wrapper gives
# them a Wine prefix of their own inside the build directory and finds the Qt and GCC DLLs.
if(PELORIN_BUILD_UI AND NOT EXISTS "${PELORIN_QT_WINDOWS_DIR}/lib/cmake/Qt6")
  message(FATAL_ERROR "No Qt for Windows in ${PELORIN_QT_WINDOWS_DIR}: "
                      "run scripts/build-qt-windows.sh first")
endif()
# A build without tests (the release files) runs nothing here and needs no Wine.
if(NOT PELORIN_BUILD_TESTS)
  return()
endif()
find_program(PELORIN_WINE NAMES wine wine64 REQUIRED)
# Wine's own fonts (fonts-wine: "MS Sans Serif", "Tahoma"). The wrapper puts them into each
# prefix's Fonts folder, where Windows keeps its fonts: this Wine looks for them nowhere else.
find_path(PELORIN_WINE_FONTS sserife.fon PATHS /usr/share/wine/fonts NO_CMAKE_FIND_ROOT_PATH)
if(NOT PELORIN_WINE_FONTS)
  message(FATAL_ERROR "Wine's fonts not found: run scripts/install-deps.sh --windows")
endif()

execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE PELORIN_LIBSTDCXX_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE PELORIN_WINPTHREAD_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(PELORIN_MINGW_RUNTIME_DIR "${PELORIN_LIBSTDCXX_DLL}" DIRECTORY)
get_filename_component(PELORIN_WINPTHREAD_DIR "${PELORIN_WINPTHREAD_DLL}" DIRECTORY)

set(PELORIN_WINE_PREFIX ${PROJECT_BINARY_DIR}/wineprefix)
set(PELORIN_WINE_DLL_DIRS "${PELORIN_MINGW_RUNTIME_DIR};${PELORIN_WINPTHREAD_DIR}")
if(PELORIN_QT_WINDOWS_DIR)
  list(PREPEND PELORIN_WINE_DLL_DIRS "${PELORIN_QT_WINDOWS_DIR}/bin")
endif()
# Wine's own path list: Windows paths on drive Z:, which is the root of this machine.
set(PELORIN_WINEPATH "")
foreach(directory IN LISTS PELORIN_WINE_DLL_DIRS)
  string(REPLACE "/" "\\" directory "Z:${directory}")
  string(APPEND PELORIN_WINEPATH "${directory};")
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run.sh)

# Test discovery runs at test time, so that building starts no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The host's rcc compresses with zstd, which this Qt for Windows is built without.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)

# The Wine prefix is made while building (about 20 s, once): test discovery under ctest allows
# a program only a few seconds to list its tests.
add_custom_command(OUTPUT ${PELORIN_WINE_PREFIX}/system.reg
                   COMMAND ${PROJECT_BINARY_DIR}/wine-run.sh cmd /c exit
                   COMMENT "Making the Wine prefix for the tests")
add_custom_target(wine_prefix ALL DEPENDS ${PELORIN_WINE_PREFIX}/system.reg)
