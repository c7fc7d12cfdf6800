#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "scores/ScoreTable.h"

namespace pelorin {

// The score file "pelorin.sco" in `directory` (the executable's). Failures are silent: each
// function only says whether it worked.

// Loads the file into `table`. Only a file that does not exist is created with the default
// table; one that exists but cannot be read is left alone and the table keeps its contents.
bool readScoreFile(const std::filesystem::path& directory, ScoreTable& table);

// Creates the file with the default table and, only if that worked, sets `table` to it. A file
// that exists, perhaps created by another game a moment ago, is never replaced.
bool writeDefaultScores(const std::filesystem::path& directory, ScoreTable& table);

// Replaces the file with `table`. The old file stays as it was unless the new one is complete.
bool writeScoreFile(const std::filesystem::path& directory, const ScoreTable& table);

// Stores a named result. Under the lock that every running game takes, the file is read
// again and the result inserted into the table as it is now, so that a result another game
// recorded while this player typed their name is kept; a result that no longer makes the ten
// is not written. `table` then holds what the file holds. Returns whether the result was stored.
bool recordResult(const std::filesystem::path& directory, std::int32_t score,
                  std::string_view nameBytes, ScoreTable& table);

// Where a game keeps its table: beside the game (`game`, the executable's directory) wherever
// it can be written there, otherwise in the player's own place (`own`; empty where there is
// none), which holds a table from the first result that cannot be kept beside the game. A
// table in the player's own place, once there, is the one read and written, as Windows' file
// virtualisation does for a legacy program.
struct ScorePlaces {
  std::filesystem::path game;
  std::filesystem::path own;
};

// The table of the player's own place if it has one, else the game's. Where the game's place
// has no file and none can be made there, the table is the default one and nothing is
// written; false only where a table exists but cannot be read, or no place can hold one.
bool readScoreFile(const ScorePlaces& places, ScoreTable& table);

// Stores a named result where the table is read from. A game's table that the player cannot
// rewrite where it stands (a read-only install) is first copied to the player's own place.
bool recordResult(const ScorePlaces& places, std::int32_t score, std::string_view nameBytes,
                  ScoreTable& table);

}  // namespace pelorin
