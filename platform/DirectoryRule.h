#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// Cuts a path back to its directory: the last separator that stands after the first
// character goes, with everything behind it, so the directory keeps no trailing separator.
// With no such separator only the first character stays; an empty path stays empty.
// C:\Games\Puzzle\game.exe gives C:\Games\Puzzle, C:\game.exe gives C:, and
// \\server\share\games\game.exe gives \\server\share\games. There is no cap on the length.
template <typename Char>
std::basic_string<Char> cutBackToDirectory(std::basic_string_view<Char> path,
                                           std::basic_string_view<Char> separators) {
  const auto last = path.find_last_of(separators);
  if (last != std::basic_string_view<Char>::npos && last >= 1)
    return std::basic_string<Char>(path.substr(0, last));
  return std::basic_string<Char>(path.substr(0, 1));
}

}  // namespace pelorin
