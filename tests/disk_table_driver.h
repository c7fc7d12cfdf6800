#pragma once

// The table on the disk taken through the game's own steps, for the tests: a name is given
// instead of asked for, and each call reports as a plain yes or no.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "scores/disk/ScoreDisk.h"
#include "scores/disk/ScoreFile.h"

namespace pelorin {

// The table as the table window reads it; a missing one is created with the default table.
inline bool readScoreFile(const ScorePlaces& places, ScoreTable& table) {
  ScoreKeeping keeping = ScoreKeeping::toShow();
  keepOnDisk(keeping, places);
  if (keeping.hasTable()) table = keeping.table();
  return keeping.hasTable();
}

// A finished game's result recorded under `nameBytes`, as the game records it.
inline bool recordResult(const ScorePlaces& places, std::int32_t score, std::string_view nameBytes,
                         ScoreTable& table) {
  ScoreKeeping keeping = ScoreKeeping::toRecord(score);
  keepOnDisk(keeping, places, [nameBytes](std::int32_t) { return std::string(nameBytes); });
  if (keeping.hasTable()) table = keeping.table();
  return keeping.recorded();
}

// The same with the table beside the game alone.
inline bool readScoreFile(const std::filesystem::path& directory, ScoreTable& table) {
  return readScoreFile(ScorePlaces{directory, {}}, table);
}
inline bool recordResult(const std::filesystem::path& directory, std::int32_t score,
                         std::string_view nameBytes, ScoreTable& table) {
  return recordResult(ScorePlaces{directory, {}}, score, nameBytes, table);
}

inline std::filesystem::path scoreFileIn(const std::filesystem::path& directory) {
  return systemPath(directory / kScoreFileName);
}

// Replaces the file's table under the lock, as a recorded result does.
inline bool writeScoreFile(const std::filesystem::path& directory, const ScoreTable& table) {
  const auto locked = LockedScoreFile::lock(scoreFileIn(directory));
  return locked && locked->replace(encodeScores(table));
}

// Creates the file with the default table, never over one that exists.
inline bool writeDefaultScores(const std::filesystem::path& directory, ScoreTable& table) {
  if (!createScoreFile(scoreFileIn(directory), encodeScores(defaultScoreTable()))) return false;
  table = defaultScoreTable();
  return true;
}

}  // namespace pelorin
