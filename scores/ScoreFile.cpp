#include "scores/ScoreFile.h"

#include <span>
#include <system_error>

#include "scores/RecordScore.h"
#include "scores/ScoreDisk.h"
#include "scores/ScoreFormat.h"
#include "scores/ScorePlace.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// The file's name in the form the system's file calls take, so that depth is no limit.
fs::path scoreFileIn(const fs::path& directory) { return systemPath(directory / kScoreFileName); }

bool isMissing(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() == fs::file_type::not_found;
}

// At most 220 bytes; a short file is taken as it is, its missing bytes reading as -1.
void decodeContents(const ScoreFileContents& contents, ScoreTable& table) {
  decodeScores(std::span(contents.bytes).first(contents.size), table);
}

bool loadScoreFile(const fs::path& file, ScoreTable& table) {
  const std::optional<ScoreFileContents> contents = readScoreBytes(file);
  if (!contents) return false;
  decodeContents(*contents, table);
  return true;
}

}  // namespace

bool readScoreFile(const fs::path& directory, ScoreTable& table) {
  const fs::path file = scoreFileIn(directory);
  // Another game may create the file at the same moment: whichever file is there is read.
  if (isMissing(file)) writeDefaultScores(directory, table);
  return loadScoreFile(file, table);
}

bool writeDefaultScores(const fs::path& directory, ScoreTable& table) {
  const ScoreTable defaults = defaultScoreTable();
  if (!createScoreFile(scoreFileIn(directory), encodeScores(defaults))) return false;
  table = defaults;
  return true;
}

bool writeScoreFile(const fs::path& directory, const ScoreTable& table) {
  const auto locked = LockedScoreFile::lock(scoreFileIn(directory));
  return locked && locked->replace(encodeScores(table));
}

bool recordResult(const fs::path& directory, std::int32_t score, std::string_view nameBytes,
                  ScoreTable& table) {
  const fs::path file = scoreFileIn(directory);
  if (isMissing(file)) {
    ScoreTable created;
    writeDefaultScores(directory, created);
  }
  const auto locked = LockedScoreFile::lock(file);
  if (!locked) return false;
  const std::optional<ScoreFileContents> contents = locked->read();
  if (!contents) return false;
  // The table as it is now: another game may have recorded its own result meanwhile.
  ScoreTable current;
  decodeContents(*contents, current);
  const std::optional<int> row = insertScore(current, score);
  if (!row) {
    table = current;
    return false;
  }
  setName(current, *row, nameBytes);
  if (!locked->replace(encodeScores(current))) return false;
  table = current;
  return true;
}

namespace {

bool hasOwnTable(const ScorePlaces& places) {
  return !places.own.empty() && !isMissing(scoreFileIn(places.own));
}

}  // namespace

bool readScoreFile(const ScorePlaces& places, ScoreTable& table) {
  if (hasOwnTable(places)) return readScoreFile(places.own, table);
  if (readScoreFile(places.game, table)) return true;
  // Nothing beside the game and nothing can be made there: the player's own place takes
  // their first result, and until then the table is the one it will start from.
  if (places.own.empty() || !isMissing(scoreFileIn(places.game))) return false;
  table = defaultScoreTable();
  return true;
}

bool recordResult(const ScorePlaces& places, std::int32_t score, std::string_view nameBytes,
                  ScoreTable& table) {
  if (hasOwnTable(places)) return recordResult(places.own, score, nameBytes, table);
  const fs::path gameFile = scoreFileIn(places.game);
  if (places.own.empty()) return recordResult(places.game, score, nameBytes, table);
  if (isMissing(gameFile)) {
    ScoreTable created;
    writeDefaultScores(places.game, created);
  }
  const bool gameHasFile = !isMissing(gameFile);
  if (gameHasFile && !isClosedToPlayer(gameFile)) {
    return recordResult(places.game, score, nameBytes, table);
  }
  // The player's own copy starts from the game's table, as a virtualised write would.
  ScoreTable start = defaultScoreTable();
  if (gameHasFile && !loadScoreFile(gameFile, start)) return false;
  if (!createOwnDirectory(places.own)) return false;
  createScoreFile(scoreFileIn(places.own), encodeScores(start));  // or another game's copy stays
  return recordResult(places.own, score, nameBytes, table);
}

}  // namespace pelorin
