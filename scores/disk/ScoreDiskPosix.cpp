// The score file on POSIX systems: flock on the file itself, so that every game agrees on the
// lock also where the directory cannot be written; an unnamed temporary file (O_TMPFILE)
// where the file system has them, so that a killed game leaves nothing behind. Links are
// followed only where they can be trusted (TrustedLinksPosix.h), and no other name in the
// directory is ever opened through a link.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>

#include "scores/disk/ScoreDisk.h"
#include "scores/disk/ScoreDiskCommon.h"
#include "scores/disk/TrustedLinksPosix.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTemporaryNameAttempts = 8;
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, like any new file
constexpr mode_t kPermissionBits = 0777;

using detail::Descriptor;
using detail::TrustedFile;

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool writeAll(int fd, const ScoreFileBytes& bytes, off_t offset) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                     offset + static_cast<off_t>(done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

std::optional<ScoreFileContents> readFrom(int fd) {
  ScoreFileContents contents;
  while (contents.size < contents.bytes.size()) {
    const ssize_t count = ::pread(fd, contents.bytes.data() + contents.size,
                                  contents.bytes.size() - contents.size,
                                  static_cast<off_t>(contents.size));
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return std::nullopt;
    if (count == 0) break;
    contents.size += static_cast<std::size_t>(count);
  }
  return contents;
}

fs::path directoryOf(const fs::path& file) {
  return file.parent_path().empty() ? fs::path(".") : file.parent_path();
}

Descriptor openDirectory(const fs::path& directory) {
  return Descriptor(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// The score file's directory as a place to open from, also where it may not be listed.
Descriptor openDirectoryPath(const fs::path& file) {
  return Descriptor(::open(directoryOf(file).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

std::optional<TrustedFile> openScoreFile(const fs::path& file, int flags) {
  const Descriptor directory = openDirectoryPath(file);
  if (!directory.valid()) return std::nullopt;
  return detail::openTrusted(directory.get(), file.filename().string(), flags);
}

// A temporary file is older than a minute and no game holds it: a killed game left it.
void removeStaleTemporaries(int directoryFd) {
  const int listFd = ::dup(directoryFd);
  if (listFd < 0) return;
  DIR* listing = ::fdopendir(listFd);
  if (listing == nullptr) {
    ::close(listFd);
    return;
  }
  const auto now = std::chrono::system_clock::now();
  while (const dirent* entry = ::readdir(listing)) {
    if (!detail::isTemporaryFileName(entry->d_name)) continue;
    struct stat info {};
    if (::fstatat(directoryFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode)) continue;
    const auto modified = std::chrono::system_clock::from_time_t(info.st_mtime);
    if (now - modified < std::chrono::seconds(kStaleTemporarySeconds)) continue;
    // Only the file looked at goes, and only its name: nothing is opened through a link.
    Descriptor fd(::openat(directoryFd, entry->d_name,
                           O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    if (fd.valid() && ::fstat(fd.get(), &opened) == 0 && sameFile(opened, info) &&
        ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
      ::unlinkat(directoryFd, entry->d_name, 0);
    }
  }
  ::closedir(listing);
}

bool useUnnamedTemporaries = true;

// A complete, synced temporary file with a name beside the target. Removed again unless
// released.
class Temporary {
 public:
  Temporary(int directoryFd) : directoryFd_(directoryFd) {}
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  ~Temporary() {
    if (!name_.empty() && stillNamed()) ::unlinkat(directoryFd_, name_.c_str(), 0);
  }

  // Creates the file; errno tells why not.
  bool create() {
    if (useUnnamedTemporaries && createUnnamed()) return true;
    if (errno == EACCES || errno == EPERM || errno == EROFS) return false;
    return createNamed();
  }
  int fd() const { return fd_.get(); }
  bool isUnnamed() const { return name_.empty(); }
  const std::string& name() const { return name_; }

  // Gives an unnamed file a name: through /proc, the only way without privileges.
  bool link(const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    if (::linkat(AT_FDCWD, self.c_str(), directoryFd_, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      return false;
    }
    name_ = name;
    return true;
  }
  bool linkUnderTemporaryName() {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
      if (link(detail::temporaryFileName())) return true;
      if (errno != EEXIST) return false;
    }
    return false;
  }
  void release() { name_.clear(); }
  // Whether the name is still this file's.
  bool stillNamed() const {
    struct stat named {};
    struct stat own {};
    return ::fstatat(directoryFd_, name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(fd_.get(), &own) == 0 && sameFile(named, own);
  }

 private:
  bool createUnnamed() {
#ifdef O_TMPFILE
    fd_ = Descriptor(::openat(directoryFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode));
    if (!fd_.valid()) return false;
    // The link through /proc needs it mounted; without it, a named file is the way.
    if (::access("/proc/self/fd", X_OK) == 0) {
      ::flock(fd_.get(), LOCK_EX | LOCK_NB);  // not stale once named, while this game runs
      return true;
    }
    fd_ = Descriptor();
    errno = ENOENT;
#else
    errno = EOPNOTSUPP;
#endif
    return false;
  }
  bool createNamed() {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
      const std::string name = detail::temporaryFileName();
      fd_ = Descriptor(::openat(directoryFd_, name.c_str(),
                                O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, kNewFileMode));
      if (fd_.valid()) {
        name_ = name;
        ::flock(fd_.get(), LOCK_EX | LOCK_NB);  // not stale while this game writes it
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  int directoryFd_;
  Descriptor fd_;
  std::string name_;
};

bool fillTemporary(Temporary& temporary, const ScoreFileBytes& bytes) {
  detail::reportStep(ReplaceStep::TemporaryCreated);
  if (!writeAll(temporary.fd(), bytes, 0) || ::fsync(temporary.fd()) != 0) return false;
  detail::reportStep(ReplaceStep::TemporaryWritten);
  return true;
}

// One 220-byte write over the old contents, for a file whose directory the player cannot
// write (a shared file in a directory of someone else's).
bool rewriteInPlace(int fd, const ScoreFileBytes& bytes) {
  return writeAll(fd, bytes, 0) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
         ::fsync(fd) == 0;
}

}  // namespace

struct LockedScoreFile::Handle {
  fs::path file;       // as the game names it, perhaps a link
  TrustedFile locked;  // opened for reading; closing it releases the lock
};

std::optional<ScoreFileContents> readScoreBytes(const fs::path& file) {
  const std::optional<TrustedFile> opened = openScoreFile(file, O_RDONLY);
  if (!opened) return std::nullopt;
  return readFrom(opened->file.get());
}

bool isScoreFileAbsent(const fs::path& file) {
  errno = 0;
  // ENOENT only where the name or a trusted link's target is missing: an untrusted link, a
  // special file or an unreadable one fails otherwise.
  return !openScoreFile(file, O_RDONLY) && errno == ENOENT;
}

bool createScoreFile(const fs::path& file, const ScoreFileBytes& bytes) {
  const Descriptor directory = openDirectory(directoryOf(file));
  if (!directory.valid()) return false;
  removeStaleTemporaries(directory.get());
  Temporary temporary(directory.get());
  if (!temporary.create() || !fillTemporary(temporary, bytes)) return false;
  const std::string name = file.filename().string();
  // A link never replaces: a file that another game created meanwhile stays.
  if (temporary.isUnnamed()) {
    if (!temporary.link(name)) return false;
    temporary.release();
  } else {
    if (::linkat(directory.get(), temporary.name().c_str(), directory.get(), name.c_str(), 0) != 0) {
      return false;
    }
  }
  ::fsync(directory.get());
  return true;
}

LockedScoreFile::LockedScoreFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
LockedScoreFile::~LockedScoreFile() = default;

std::unique_ptr<LockedScoreFile> LockedScoreFile::lock(const fs::path& file) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(detail::kLockWaitMilliseconds);
  const auto pause = std::chrono::milliseconds(detail::kLockPollMilliseconds);
  for (;;) {
    std::optional<TrustedFile> opened = openScoreFile(file, O_RDONLY);
    if (!opened) return nullptr;
    auto handle = std::make_unique<Handle>(Handle{file, std::move(*opened)});
    const int fd = handle->locked.file.get();
    bool locked = false;
    while (!locked) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        locked = true;
      } else if (errno == EWOULDBLOCK || errno == EINTR) {
        if (Clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(pause);
      } else {
        break;  // no locks on this file system: write as before, unlocked
      }
    }
    // The game that held the lock may have renamed a new file over the one locked here.
    const std::optional<TrustedFile> now = openScoreFile(file, O_RDONLY);
    if (now && sameFile(handle->locked.info, now->info)) {
      return std::unique_ptr<LockedScoreFile>(new LockedScoreFile(std::move(handle)));
    }
    if (Clock::now() >= deadline) return nullptr;
  }
}

std::optional<ScoreFileContents> LockedScoreFile::read() const {
  return readFrom(handle_->locked.file.get());
}

bool LockedScoreFile::replace(const ScoreFileBytes& bytes) {
  const struct stat& locked = handle_->locked.info;
  // A file the player made read-only is not replaced behind their back, though a rename
  // would do it. Opening it for writing changes nothing. A linked file is replaced in its own
  // directory.
  const std::optional<TrustedFile> target = openScoreFile(handle_->file, O_WRONLY);
  if (!target || !sameFile(target->info, locked)) return false;
  const int writable = target->file.get();
  const Descriptor& directory = target->directory;
  if (!directory.valid()) return rewriteInPlace(writable, bytes);
  removeStaleTemporaries(directory.get());

  Temporary temporary(directory.get());
  if (!temporary.create()) {
    const bool directoryReadOnly = errno == EACCES || errno == EPERM;
    return directoryReadOnly && rewriteInPlace(writable, bytes);
  }
  // A shared file keeps its group and mode, or the other players could no longer write it.
  struct stat created {};
  if (::fstat(temporary.fd(), &created) != 0) return false;
  if (created.st_gid != locked.st_gid &&
      ::fchown(temporary.fd(), static_cast<uid_t>(-1), locked.st_gid) != 0) {
    return rewriteInPlace(writable, bytes);
  }
  if (::fchmod(temporary.fd(), locked.st_mode & kPermissionBits) != 0) return false;
  if (!fillTemporary(temporary, bytes)) return false;
  if (temporary.isUnnamed() && !temporary.linkUnderTemporaryName()) return false;
  detail::reportStep(ReplaceStep::TemporaryNamed);
  // Another player who may write the directory could have put something else under the
  // temporary name: only the file written here is renamed.
  if (!temporary.stillNamed()) return false;

  if (::renameat(directory.get(), temporary.name().c_str(), directory.get(),
                 target->name.c_str()) != 0) {
    // A sticky directory lets only the owner replace the file; its writers may still write it.
    const bool notOurs = errno == EPERM || errno == EACCES;
    return notOurs && rewriteInPlace(writable, bytes);
  }
  temporary.release();
  detail::reportStep(ReplaceStep::Renamed);
  // The rename itself lasts only once the directory is on the disk.
  ::fsync(directory.get());
  return true;
}

void useUnnamedTemporaryFiles(bool use) { useUnnamedTemporaries = use; }

}  // namespace pelorin
