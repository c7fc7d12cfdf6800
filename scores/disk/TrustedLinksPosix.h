#pragma once

// Opening a name in a directory that other players may write (POSIX only). A symbolic link
// there is followed only where it can be trusted; every other open refuses links.

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <utility>

namespace pelorin::detail {

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

// A regular file and where it was found once the links were followed.
struct TrustedFile {
  Descriptor directory;  // the directory holding the file, for listing, renaming and syncing;
                         // invalid where the player may not list it
  std::string name;      // the file's name in that directory
  Descriptor file;
  struct stat info {};
};

// Opens `name` in `directoryFd` with `flags` (never O_CREAT), without blocking. A symbolic link
// on the way, the name's own or one in the path it holds, is followed only when it belongs to
// this player or to the owner of the directory that holds it, as the kernel does in sticky
// directories: a link that another player planted is no way into the player's files. Anything
// but a regular file at the end is refused.
std::optional<TrustedFile> openTrusted(int directoryFd, const std::string& name, int flags);

}  // namespace pelorin::detail
