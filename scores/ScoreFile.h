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

}  // namespace pelorin
