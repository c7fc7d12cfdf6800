// Every step of the walk holds the object it checked open (O_PATH), and the next step opens
// relative to it: the check and the open are about the same object, whatever another player
// renames meanwhile.
#include "scores/disk/TrustedLinksPosix.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace pelorin::detail {
namespace {

constexpr int kMostLinks = 40;  // as many as the kernel follows in one path
constexpr std::size_t kLongestLink = 4096;

// Puts the components of `path` before those still to walk (the next one last); an absolute
// path starts again at the root.
bool queuePath(const std::string& path, std::vector<std::string>& pending, Descriptor& at) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  if (path.front() == '/') at = Descriptor(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::vector<std::string> parts;
  for (std::size_t start = 0; start < path.size();) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string part = path.substr(start, end - start);
    if (!part.empty() && part != ".") parts.push_back(part);
    start = end + 1;
  }
  pending.insert(pending.end(), parts.rbegin(), parts.rend());
  return at.valid();
}

std::optional<TrustedFile> failWith(int error) {
  errno = error;
  return std::nullopt;
}

bool isTrusted(const struct stat& link, int holderFd) {
  struct stat holder {};
  if (::fstat(holderFd, &holder) != 0) return false;
  return link.st_uid == ::geteuid() || link.st_uid == holder.st_uid;
}

std::optional<std::string> linkText(int linkFd) {
  std::string text(kLongestLink, '\0');
  const ssize_t length = ::readlinkat(linkFd, "", text.data(), text.size());
  if (length < 0 || static_cast<std::size_t>(length) >= text.size()) return std::nullopt;
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::optional<TrustedFile> openedFile(Descriptor at, const std::string& name, Descriptor file) {
  TrustedFile opened;
  if (::fstat(file.get(), &opened.info) != 0 || !S_ISREG(opened.info.st_mode)) return std::nullopt;
  opened.directory = Descriptor(::openat(at.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  opened.name = name;
  opened.file = std::move(file);
  return opened;
}

}  // namespace

std::optional<TrustedFile> openTrusted(int directoryFd, const std::string& name, int flags) {
  Descriptor at(::openat(directoryFd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::vector<std::string> pending;
  if (!at.valid() || !queuePath(name, pending, at)) return std::nullopt;
  int linksFollowed = 0;
  while (!pending.empty()) {
    const std::string part = std::move(pending.back());
    pending.pop_back();
    if (pending.empty()) {
      // O_NONBLOCK: a pipe or device of that name would otherwise hold the game.
      Descriptor file(
          ::openat(at.get(), part.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
      if (file.valid()) return openedFile(std::move(at), part, std::move(file));
      if (errno != ELOOP) return std::nullopt;
    }
    Descriptor entry(::openat(at.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!entry.valid() || ::fstat(entry.get(), &info) != 0) return std::nullopt;
    if (S_ISDIR(info.st_mode) && !pending.empty()) {
      at = std::move(entry);
      continue;
    }
    if (!S_ISLNK(info.st_mode)) return failWith(ENOTDIR);
    if (!isTrusted(info, at.get())) return failWith(EACCES);
    if (++linksFollowed > kMostLinks) return failWith(ELOOP);
    const std::optional<std::string> target = linkText(entry.get());
    if (!target || !queuePath(*target, pending, at)) return std::nullopt;
  }
  return failWith(ENOENT);
}

}  // namespace pelorin::detail
