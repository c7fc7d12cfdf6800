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

# Relative to the prefix. A distribution puts games elsewhere: Debian's package sets
# lib/games/pelorin and games.
set(PELORIN_INSTALL_GAME_DIR lib/pelorin CACHE STRING "The game's directory, below the prefix")
set(PELORIN_INSTALL_COMMAND_DIR bin CACHE STRING "The command's directory, below the prefix")

# No $ORIGIN search path, which Qt's project setup adds: the game needs the system's libraries
# only, and in a game directory that a group may write a planted library would be loaded.
set_target_properties(pelorin PROPERTIES INSTALL_RPATH "")
install(TARGETS pelorin RUNTIME DESTINATION ${PELORIN_INSTALL_GAME_DIR})
install(FILES ${PELORIN_WEB_PAGE} DESTINATION ${PELORIN_INSTALL_GAME_DIR})

# The command is a relative symbolic link to the game: no shell starts in between, the prefix
# stays relocatable, and the game still finds its own directory (and its score file) through
# the link.
file(RELATIVE_PATH PELORIN_LINK_TARGET /prefix/${PELORIN_INSTALL_COMMAND_DIR}
     /prefix/${PELORIN_INSTALL_GAME_DIR}/pelorin)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
file(CREATE_LINK ${PELORIN_LINK_TARGET} ${PROJECT_BINARY_DIR}/packaging/pelorin SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/packaging/pelorin DESTINATION ${PELORIN_INSTALL_COMMAND_DIR})

# The menu entry and the software-centre listing share one id.
set(PELORIN_APP_ID example.quillon.Pelorin)

# The menu entry names the launcher by its full path: ~/.local/bin is not always on the PATH
# of a desktop session. The path is only known at install time.
install(CODE "
  set(PELORIN_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${PELORIN_INSTALL_COMMAND_DIR}/pelorin\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/${PELORIN_APP_ID}.desktop.in\"
                 \"${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.desktop\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.desktop
        DESTINATION share/applications)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${PELORIN_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${PELORIN_APP_ID}.metainfo.xml
        DESTINATION share/metainfo)
# Every size of the Windows icon, each its own picture drawn in whole pixels; pelorin.png is
# the 32-pixel one that the game shows itself.
foreach(size 16 32 48 256)
  set(picture ${PROJECT_SOURCE_DIR}/resources/icon/pelorin-${size}.png)
  if(size EQUAL 32)
    set(picture ${PROJECT_SOURCE_DIR}/resources/icon/pelorin.png)
  endif()
  install(FILES ${picture} DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME pelorin.png)
endforeach()
