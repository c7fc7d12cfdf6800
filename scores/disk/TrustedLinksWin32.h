#pragma once

// Opening a name in a directory that other players may write (Windows only). A symbolic link
// or junction there is followed only where it can be trusted; every other open refuses them.

#include <windows.h>

#include <filesystem>
#include <utility>

namespace pelorin::detail {

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  FileHandle(FileHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~FileHandle() { close(); }
  void close() {
    if (valid()) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// Opens `path` itself, never what a symbolic link or junction of that name points to; such a
// link, a directory, a device or a pipe is refused (`isLink` tells which). With OPEN_ALWAYS a
// missing file is created, never the target of a dangling link.
FileHandle openUnfollowed(const std::filesystem::path& path, DWORD access,
                          DWORD disposition = OPEN_EXISTING, bool* isLink = nullptr);

// Opens the file `path` names, following a link there only when it belongs to this player or
// to the owner of the directory that holds it; `resolved` is then where the file is, a path
// that `openUnfollowed` opens. Another player's link is refused like a file that cannot be
// opened.
FileHandle openTrusted(const std::filesystem::path& path, DWORD access,
                       std::filesystem::path& resolved);

}  // namespace pelorin::detail
