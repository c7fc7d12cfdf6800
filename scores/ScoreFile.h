#pragma once

#include <filesystem>

#include "scores/ScoreTable.h"

namespace pelorin {

// The score file "pelorin.sco" in `directory` (the executable's). Failures are silent: each
// function only says whether it worked.

// Loads the file into `table`. Only a file that does not exist is created with the default
// table; one that exists but cannot be read is left alone and the table keeps its contents.
bool readScoreFile(const std::filesystem::path& directory, ScoreTable& table);

// Writes the default table to the file and, only if that worked, sets `table` to it.
bool writeDefaultScores(const std::filesystem::path& directory, ScoreTable& table);

// Replaces the file with `table`. The old file stays as it was unless the new one is complete.
bool writeScoreFile(const std::filesystem::path& directory, const ScoreTable& table);

}  // namespace pelorin
