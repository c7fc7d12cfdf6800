// A link is opened itself (FILE_FLAG_OPEN_REPARSE_POINT) and judged by its owner; while the
// game follows it, the link is held open without write or delete sharing, so the link
// followed is the link checked.
#include "scores/disk/TrustedLinksWin32.h"

#include <aclapi.h>

#include <string>

namespace pelorin::detail {
namespace {

namespace fs = std::filesystem;

FileHandle refused() {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FileHandle();
}

bool sameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return ::GetFileInformationByHandle(a, &first) && ::GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// Symbolic links and junctions stand for another name; other reparse points (files kept in
// the cloud) are the file itself.
bool isLinkTag(const FILE_ATTRIBUTE_TAG_INFO& tag) {
  return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         IsReparseTagNameSurrogate(tag.ReparseTag);
}

// The owner of an open file or directory.
class Owner {
 public:
  explicit Owner(HANDLE object) {
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &sid_, nullptr,
                          nullptr, nullptr, &descriptor_) != ERROR_SUCCESS) {
      sid_ = nullptr;
    }
  }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;
  ~Owner() { ::LocalFree(descriptor_); }
  bool is(PSID other) const { return sid_ != nullptr && other != nullptr && ::EqualSid(sid_, other); }
  PSID sid() const { return sid_; }

 private:
  PSID sid_ = nullptr;
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

// The user the game runs as, or the owner its new files get (Administrators, when elevated).
bool isThePlayer(const Owner& owner) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  alignas(TOKEN_USER) unsigned char buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  bool player = false;
  if (::GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
    player = owner.is(reinterpret_cast<const TOKEN_USER*>(buffer)->User.Sid);
  }
  if (!player && ::GetTokenInformation(token, TokenOwner, buffer, sizeof buffer, &size)) {
    player = owner.is(reinterpret_cast<const TOKEN_OWNER*>(buffer)->Owner);
  }
  ::CloseHandle(token);
  return player;
}

bool isTrustedLink(HANDLE link, const fs::path& directory) {
  const Owner owner(link);
  if (owner.sid() == nullptr) return false;
  if (isThePlayer(owner)) return true;
  const FileHandle holder(::CreateFileW(directory.c_str(), READ_CONTROL, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return holder.valid() && Owner(holder.get()).is(owner.sid());
}

fs::path finalPath(HANDLE file) {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(),
                                                     static_cast<DWORD>(path.size()), 0);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);
  }
  return {};
}

}  // namespace

FileHandle openUnfollowed(const fs::path& path, DWORD access, DWORD disposition, bool* isLink) {
  if (isLink != nullptr) *isLink = false;
  // Reading the attributes tells a link; write access alone does not include it.
  access |= FILE_READ_ATTRIBUTES;
  FileHandle file(::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) return file;
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
      (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return refused();
  }
  if (isLinkTag(tag)) {
    if (isLink != nullptr) *isLink = true;
    return refused();
  }
  if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return file;
  // A file in the cloud is read through its provider: opened again as usual, and only if the
  // name still leads to the same file.
  FileHandle usual(::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!usual.valid() || !sameFile(usual.get(), file.get())) return refused();
  return usual;
}

FileHandle openTrusted(const fs::path& path, DWORD access, fs::path& resolved) {
  resolved = path;
  bool isLink = false;
  FileHandle file = openUnfollowed(path, access, OPEN_EXISTING, &isLink);
  if (!isLink) return file;
  FileHandle link(::CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  const fs::path directory = path.parent_path().empty() ? fs::path(L".") : path.parent_path();
  if (!link.valid() ||
      !::GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
      !isLinkTag(tag) || !isTrustedLink(link.get(), directory)) {
    return refused();
  }
  FileHandle target(::CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target.valid()) return target;
  // Every later open goes to the file itself, unfollowed: that must be the file found here.
  resolved = finalPath(target.get());
  const FileHandle there =
      resolved.empty() ? FileHandle() : openUnfollowed(resolved, FILE_READ_ATTRIBUTES);
  if (!there.valid() || !sameFile(there.get(), target.get())) return refused();
  return target;
}

}  // namespace pelorin::detail
