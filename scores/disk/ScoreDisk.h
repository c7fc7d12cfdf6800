#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>

#include "scores/rules/ScoreFormat.h"

namespace pelorin {

// What differs between operating systems in reading and replacing the score file. One source
// file per system implements it; the format itself stays on the byte buffer.

// A file's first bytes, at most 220; a short file is taken as it is.
struct ScoreFileContents {
  ScoreFileBytes bytes{};
  std::size_t size = 0;
};

// Reads a regular file without ever blocking: a pipe, device, socket or directory of that name
// is refused. A symbolic link is followed only where it belongs to the player or to the owner
// of the directory that holds it; another player's link reads as a file that cannot be read.
std::optional<ScoreFileContents> readScoreBytes(const std::filesystem::path& file);

// No table is at `file`: nothing has that name, or (on POSIX systems) it is a link that can be
// trusted as above whose target, or a directory on the way to it, does not exist, as in a
// package's link to a shared table that was removed by hand. Since a table is never created
// through a link, none can be made there either. On Windows only a missing name counts.
bool isScoreFileAbsent(const std::filesystem::path& file);

// Creates `file` holding `bytes`, complete and synced, only if nothing of that name exists:
// a file another game created meanwhile is never replaced.
bool createScoreFile(const std::filesystem::path& file, const ScoreFileBytes& bytes);

// The exclusive lock that every running game takes before it rewrites the score file. A
// linked file is locked, read and replaced where the link points, when the link can be
// trusted as above; the link stays a link.
class LockedScoreFile {
 public:
  // Null when the file is missing, is not a regular file, is reached only through a link that
  // cannot be trusted, or stays locked by another game for longer than a moment (a result is
  // then dropped rather than the game kept waiting).
  static std::unique_ptr<LockedScoreFile> lock(const std::filesystem::path& file);

  LockedScoreFile(const LockedScoreFile&) = delete;
  LockedScoreFile& operator=(const LockedScoreFile&) = delete;
  ~LockedScoreFile();  // unlocks

  // The file as it is now that no other game can change it.
  std::optional<ScoreFileContents> read() const;

  // Puts `bytes` in the file's place: a new file, synced, renamed over the old one, with the
  // old file's mode and group; or, where the directory cannot be written but the file can, an
  // in-place rewrite. A file the player cannot write is never replaced. After a crash or a
  // power cut the file holds the old table or the new one.
  bool replace(const ScoreFileBytes& bytes);

  struct Handle;

 private:
  explicit LockedScoreFile(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

// Temporary files beside the score file are named "pelorin.sco.<16 hex digits>.tmp"; one older
// than this that no game holds locked is left over from a killed game and is removed.
inline constexpr int kStaleTemporarySeconds = 60;

}  // namespace pelorin
