# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads) compilers.
# Qt for Windows is looked for in the cache that scripts/build-qt-windows.sh fills, unless
# PELORIN_QT_WINDOWS_DIR names another one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT PELORIN_QT_WINDOWS_DIR)
  if(DEFINED ENV{PELORIN_QT_WINDOWS_DIR})
    set(PELORIN_QT_WINDOWS_DIR "$ENV{PELORIN_QT_WINDOWS_DIR}")
  elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(PELORIN_QT_WINDOWS_DIR "$ENV{XDG_CACHE_HOME}/pelorin/qt6-mingw")
  else()
    set(PELORIN_QT_WINDOWS_DIR "$ENV{HOME}/.cache/pelorin/qt6-mingw")
  endif()
endif()
set(PELORIN_QT_WINDOWS_DIR "${PELORIN_QT_WINDOWS_DIR}" CACHE PATH "Qt built for Windows (mingw-w64)")
# try_compile projects include this file again and need the same answer.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PELORIN_QT_WINDOWS_DIR)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${PELORIN_QT_WINDOWS_DIR}")
list(APPEND CMAKE_PREFIX_PATH "${PELORIN_QT_WINDOWS_DIR}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The host's moc, rcc and uic are the same version (6.4.2) as the target Qt.
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Its CMake packages")
