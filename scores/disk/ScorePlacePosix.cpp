// Where the table is kept on POSIX systems: a player who cannot write beside a system-wide
// install keeps a table of their own in the freedesktop place for a program's state.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "scores/disk/ScorePlace.h"

namespace pelorin {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kOwnDirectoryMode = 0700;  // the freedesktop rule for a state directory

bool isAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

bool mayWrite(const fs::path& path) {
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

ScorePlaces scorePlacesOf(const fs::path& gameDirectory) {
  // A relative setting is to be ignored, as the freedesktop rule says.
  fs::path own;
  if (const char* state = std::getenv("XDG_STATE_HOME"); isAbsolute(state)) {
    own = fs::path(state) / "pelorin";
  } else if (const char* home = std::getenv("HOME"); isAbsolute(home)) {
    own = fs::path(home) / ".local" / "state" / "pelorin";
  }
  return {gameDirectory, own};
}

bool isClosedToPlayer(const fs::path& file) {
  return !mayWrite(file) && !mayWrite(file.parent_path().empty() ? fs::path(".") : file.parent_path());
}

bool createOwnDirectory(const fs::path& directory) {
  fs::path partial;
  for (const fs::path& part : directory) {
    partial /= part;
    ::mkdir(partial.c_str(), kOwnDirectoryMode);  // one that exists stays as it is
  }
  std::error_code error;
  return fs::is_directory(directory, error);
}

fs::path systemPath(const fs::path& path) { return path; }

}  // namespace pelorin
