#include "scores/ScoreFile.h"

#include <span>
#include <system_error>

#include "scores/RecordScore.h"
#include "scores/ScoreDisk.h"
#include "scores/ScoreFormat.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;

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
  const fs::path file = directory / kScoreFileName;
  // Another game may create the file at the same moment: whichever file is there is read.
  if (isMissing(file)) writeDefaultScores(directory, table);
  return loadScoreFile(file, table);
}

bool writeDefaultScores(const fs::path& directory, ScoreTable& table) {
  const ScoreTable defaults = defaultScoreTable();
  if (!createScoreFile(directory / kScoreFileName, encodeScores(defaults))) return false;
  table = defaults;
  return true;
}

bool writeScoreFile(const fs::path& directory, const ScoreTable& table) {
  const auto locked = LockedScoreFile::lock(directory / kScoreFileName);
  return locked && locked->replace(encodeScores(table));
}

bool recordResult(const fs::path& directory, std::int32_t score, std::string_view nameBytes,
                  ScoreTable& table) {
  const fs::path file = directory / kScoreFileName;
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

}  // namespace pelorin
