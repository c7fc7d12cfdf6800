# Warnings for the compiler at hand: GCC and Clang (also as mingw-w64) or MSVC.
if(MSVC)
  # /utf-8: the sources are UTF-8 and the Czech texts must stay so in the binary.
  add_compile_options(/W4 /permissive- /utf-8 /Zc:__cplusplus)
  if(PELORIN_WARNINGS_AS_ERRORS)
    add_compile_options(/WX)
  endif()
else()
  add_compile_options(-Wall -Wextra -Wpedantic -Wshadow)
  if(PELORIN_WARNINGS_AS_ERRORS)
    add_compile_options(-Werror)
  endif()
  # Reproducible binaries: no path of the checkout or of the build directory gets into them.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endif()
# A PE file's header holds its link time unless told not to, and two builds then differ.
if(MINGW)
  add_link_options(-Wl,--no-insert-timestamp)
endif()
