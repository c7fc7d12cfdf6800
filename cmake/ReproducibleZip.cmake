# A zip of the files under a folder that is the same bytes wherever it is made: entries in the
# order of their names, each stamped with SOURCE_DATE_EPOCH and readable by all, no entries
# for folders. Included by cpack's post-build script, and run on its own as
#   cmake -DFOLDER=<folder> -DZIP=<file.zip> -P cmake/ReproducibleZip.cmake
function(pelorin_reproducible_zip folder zip)
  if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is not set: the zip's time would be today's")
  endif()
  string(TIMESTAMP entry_time "%Y-%m-%d %H:%M:%S UTC" UTC)  # taken from SOURCE_DATE_EPOCH
  # Modes as the umask left them would differ between machines; Windows ignores them anyway.
  file(CHMOD_RECURSE "${folder}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
       DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                             WORLD_READ WORLD_EXECUTE)
  file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE "${folder}" "${folder}/*")
  list(SORT entries)
  list(JOIN entries "\n" entry_list)
  file(WRITE "${zip}.entries" "${entry_list}\n")
  file(REMOVE "${zip}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip
                          "--mtime=${entry_time}" "--files-from=${zip}.entries"
                  WORKING_DIRECTORY "${folder}" RESULT_VARIABLE failed)
  file(REMOVE "${zip}.entries")
  if(failed)
    message(FATAL_ERROR "could not make ${zip}")
  endif()
endfunction()

if(DEFINED FOLDER AND DEFINED ZIP)
  get_filename_component(ZIP "${ZIP}" ABSOLUTE)
  pelorin_reproducible_zip("${FOLDER}" "${ZIP}")
endif()
