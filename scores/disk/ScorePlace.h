#pragma once

#include <filesystem>

namespace pelorin {

// What differs between systems in where the table is kept. One source file per system.

// Where a game keeps its table: beside the game (`game`, the executable's directory) wherever
// it can be written there, otherwise in the player's own place (`own`; empty where there is
// none), which holds a table from the first result that cannot be kept beside the game. A
// table in the player's own place, once there, is the one read and written, as Windows' file
// virtualisation does for a legacy program.
struct ScorePlaces {
  std::filesystem::path game;
  std::filesystem::path own;
};

// The places of the game in `gameDirectory`. The player's own place is, on Windows, the
// folder where file virtualisation keeps a legacy program's files,
// %LOCALAPPDATA%\VirtualStore\<the folder without its drive>; on POSIX systems the
// freedesktop place for a program's state, $XDG_STATE_HOME/pelorin (~/.local/state/pelorin).
ScorePlaces scorePlacesOf(const std::filesystem::path& gameDirectory);

// The file exists but its place is closed to the player: neither it nor its directory can be
// written. A file the player marked read-only in a place of their own is not closed.
bool isClosedToPlayer(const std::filesystem::path& file);

// Makes `directory` and the directories above it that are missing, for the player alone.
bool createOwnDirectory(const std::filesystem::path& directory);

// The form of `path` that the system's file calls take: on Windows absolute with the \\?\ (or
// \\?\UNC\) prefix, which lifts the 260-character limit; elsewhere the path as it is.
std::filesystem::path systemPath(const std::filesystem::path& path);

}  // namespace pelorin
