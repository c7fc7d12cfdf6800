# The game directory: the executable with "web.htm" beside it, in the build tree as when
# installed. The score file is created there too, so it must be a directory the player
# can write to.

set(PELORIN_WEB_PAGE ${PROJECT_SOURCE_DIR}/resources/web.htm)
file(GENERATE OUTPUT $<TARGET_FILE_DIR:pelorin>/web.htm INPUT ${PELORIN_WEB_PAGE})

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/InstallWindows.cmake)
  return()
endif()

# Per user by default: a prefix the player owns keeps the score file writable.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND NOT "$ENV{HOME}" STREQUAL "")
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install path prefix" FORCE)
endif()

# Relative to the prefix, as the launcher reaches it.
set(PELORIN_INSTALL_GAME_DIR lib/pelorin)

install(TARGETS pelorin RUNTIME DESTINATION ${PELORIN_INSTALL_GAME_DIR})
install(FILES ${PELORIN_WEB_PAGE} DESTINATION ${PELORIN_INSTALL_GAME_DIR})

# The command is a relative symbolic link to the game: no shell starts in between, the prefix
# stays relocatable, and the game still finds its own directory (and its score file) through
# the link.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
file(CREATE_LINK ../${PELORIN_INSTALL_GAME_DIR}/pelorin ${PROJECT_BINARY_DIR}/packaging/pelorin
     SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/packaging/pelorin DESTINATION bin)

# The menu entry and the software-centre listing share one id.
set(PELORIN_APP_ID example.quillon.Pelorin)

# The menu entry names the launcher by its full path: ~/.local/bin is not always on the PATH
# of a desktop session. The path is only known at install time.
install(CODE "
  set(PELORIN_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/bin/pelorin\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/${PELORIN_APP_ID}.desktop.in\"
                 \"${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.desktop\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.desktop
        DESTINATION share/applications)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${PELORIN_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.metainfo.xml
        DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/pelorin.png
        DESTINATION share/icons/hicolor/32x32/apps)
