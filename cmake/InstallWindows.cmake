# The Windows package: one directory that runs as it stands on a Windows machine without Qt,
# zipped by `cpack` into pelorin-<version>-win64.zip. The score file is created in it, beside
# the executable, so it must be unpacked where the player can write (not "Program Files").

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "${PROJECT_BINARY_DIR}/Pelorin" CACHE PATH "Install path prefix" FORCE)
endif()

install(TARGETS pelorin RUNTIME DESTINATION .)
install(FILES ${PELORIN_WEB_PAGE} DESTINATION .)

# Qt: the three libraries the game links and the Windows platform plugin, which Qt looks for
# in "platforms" beside the executable. The ball pictures are BMP and the icon PNG, formats
# built into Qt itself, so no image plugin is needed.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)

# The compiler's run-time. Qt's own DLLs need the GCC run-time DLLs, so the game uses the same
# ones rather than a second, static copy of the C++ library.
set(pelorin_runtime_dlls "")
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      message(FATAL_ERROR "${dll} not found beside ${CMAKE_CXX_COMPILER}")
    endif()
    get_filename_component(path "${path}" REALPATH)
    list(APPEND pelorin_runtime_dlls "${path}")
  endforeach()
  install(FILES ${pelorin_runtime_dlls} DESTINATION .)
elseif(MSVC)
  set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
  include(InstallRequiredSystemLibraries)
endif()

# Debian's libstdc++-6.dll carries 20 MB of symbols: the package ships stripped binaries.
if(CMAKE_STRIP AND MINGW)
  install(CODE "
    foreach(name pelorin.exe libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${name}\")
    endforeach()
  ")
endif()

# What the package owes its reader: the game's own terms, a word on how to play, and beside each
# shipped library its licence, taken from the Debian packages the library comes from.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/LICENSE.txt
              ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt DESTINATION .)
if(MINGW)
  set(pelorin_notices
    Qt "${PROJECT_SOURCE_DIR}/packaging/windows/Qt-SOURCE.txt" SOURCE.txt
    Qt /usr/share/common-licenses/LGPL-3 LGPL-3.txt
    Qt /usr/share/common-licenses/GPL-3 GPL-3.txt
    Qt /usr/share/doc/libqt6core6/copyright copyright.txt
    GCC "${PROJECT_SOURCE_DIR}/packaging/windows/GCC-NOTE.txt" NOTE.txt
    GCC /usr/share/common-licenses/GPL-3 GPL-3.txt
    GCC /usr/share/doc/gcc-mingw-w64-base/copyright copyright.txt
    winpthreads /usr/share/doc/mingw-w64-common/copyright copyright.txt)
  while(pelorin_notices)
    list(POP_FRONT pelorin_notices folder source name)
    if(NOT EXISTS "${source}")
      message(FATAL_ERROR "${source} is missing: run scripts/install-deps.sh --windows")
    endif()
    install(FILES "${source}" DESTINATION licenses/${folder} RENAME ${name})
  endwhile()
endif()

# Reproducible zips: cpack's own zip follows the order of the directory and the time of the
# build; this script makes it again by name and with the commit's time.
configure_file(${CMAKE_CURRENT_LIST_DIR}/RepackAfterCPack.cmake.in
               ${PROJECT_BINARY_DIR}/RepackAfterCPack.cmake @ONLY)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_BINARY_DIR}/RepackAfterCPack.cmake)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VENDOR "Quillon Dynamics")
set(CPACK_PACKAGE_FILE_NAME "pelorin-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
include(CPack)
