// The score file on Windows. A lock file beside the score file carries the lock, because a
// file that any process holds open cannot be renamed over there; renames that meet a reader
// holding the old file are tried again for a moment. Links are followed only where they can be
// trusted (TrustedLinksWin32.h); no other name is opened through a link.
#include <windows.h>

#include <chrono>
#include <string>
#include <system_error>
#include <utility>

#include "scores/disk/ScoreDisk.h"
#include "scores/disk/ScoreDiskCommon.h"
#include "scores/disk/TrustedLinksWin32.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kLockFileSuffix[] = L".lock";
constexpr int kRenameAttempts = 10;
constexpr DWORD kRenamePauseMilliseconds = 50;
constexpr int kTemporaryNameAttempts = 8;
// Far past the end of any score file: a lock there never stands in the way of a reader.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
constexpr ULONGLONG kFileTimeTicksPerSecond = 10000000;

using detail::FileHandle;
using detail::openUnfollowed;

bool writeAll(HANDLE file, const ScoreFileBytes& bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::optional<ScoreFileContents> readFrom(HANDLE file) {
  ScoreFileContents contents;
  while (contents.size < contents.bytes.size()) {
    DWORD count = 0;
    if (!::ReadFile(file, contents.bytes.data() + contents.size,
                    static_cast<DWORD>(contents.bytes.size() - contents.size), &count, nullptr)) {
      return std::nullopt;
    }
    if (count == 0) break;
    contents.size += count;
  }
  return contents;
}

// The game's own names are plain ASCII; anything else becomes a name that matches none.
std::string asciiOnly(const std::wstring& name) {
  std::string narrow;
  for (const wchar_t c : name) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '\x7F');
  return narrow;
}

ULONGLONG ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A file still being written is open without delete sharing, so deleting it fails: only a
// stale one left by a killed game goes. A link of such a name is left alone.
void removeStaleTemporaries(const fs::path& directory) {
  WIN32_FIND_DATAW found;
  const fs::path pattern = directory / L"pelorin.sco.*.tmp";
  HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  do {
    const std::wstring name(found.cFileName);
    if (!detail::isTemporaryFileName(asciiOnly(name))) continue;
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    const ULONGLONG age = ticks(now) - ticks(found.ftLastWriteTime);
    if (age < kStaleTemporarySeconds * kFileTimeTicksPerSecond) continue;
    ::DeleteFileW((directory / name).c_str());
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// Writes a complete, flushed temporary file; its path is empty if that failed.
fs::path writeTemporary(const fs::path& directory, const ScoreFileBytes& bytes, DWORD& error) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    const fs::path path = directory / detail::temporaryFileName();
    // A link planted under the name makes it taken: never followed to create its target.
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) {
      error = ::GetLastError();
      if (error == ERROR_FILE_EXISTS) continue;
      return {};
    }
    detail::reportStep(ReplaceStep::TemporaryCreated);
    const bool complete = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    file.close();
    if (!complete) {
      error = ::GetLastError();
      ::DeleteFileW(path.c_str());
      return {};
    }
    detail::reportStep(ReplaceStep::TemporaryWritten);
    detail::reportStep(ReplaceStep::TemporaryNamed);
    return path;
  }
  return {};
}

bool isBriefConflict(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

// Another program that has the old file open (a virus scanner, another game reading it)
// makes the rename fail for as long as it holds it: try again for a moment.
bool renameOver(const fs::path& from, const fs::path& to,
                DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) {
  for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
    if (::MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
    if (!isBriefConflict(::GetLastError())) return false;
    ::Sleep(kRenamePauseMilliseconds);
  }
  return false;
}

// A scanner or indexer that holds the temporary file keeps it from going as well: the
// deletion is tried again for as long as a rename would be.
void removeTemporary(const fs::path& temporary) {
  for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
    if (::DeleteFileW(temporary.c_str()) || !isBriefConflict(::GetLastError())) return;
    ::Sleep(kRenamePauseMilliseconds);
  }
}

bool rewriteInPlace(const fs::path& file, const ScoreFileBytes& bytes) {
  const FileHandle out = openUnfollowed(file, GENERIC_WRITE);
  return out.valid() && writeAll(out.get(), bytes) && ::SetEndOfFile(out.get()) &&
         ::FlushFileBuffers(out.get());
}

// A read-only file is not replaced behind the player's back, though a rename would do it. A
// file that a reader holds open without write sharing is still the player's to write.
bool mayWrite(const fs::path& file) {
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  if (openUnfollowed(file, GENERIC_WRITE).valid()) return true;
  return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

bool lockExclusively(HANDLE file, Clock::time_point deadline) {
  for (;;) {
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
      return true;
    }
    // Only another game's lock is worth waiting for. Storage without byte-range locks
    // refuses every lock: the file is still replaced whole, so the result goes in unlocked.
    if (::GetLastError() != ERROR_LOCK_VIOLATION) return true;
    if (Clock::now() >= deadline) return false;
    ::Sleep(detail::kLockPollMilliseconds);
  }
}

}  // namespace

struct LockedScoreFile::Handle {
  FileHandle lock;  // closing it releases the lock
  fs::path path;
};

std::optional<ScoreFileContents> readScoreBytes(const fs::path& file) {
  fs::path resolved;
  const FileHandle in = detail::openTrusted(file, GENERIC_READ, resolved);
  if (!in.valid()) return std::nullopt;
  return readFrom(in.get());
}

bool isScoreFileAbsent(const fs::path& file) {
  std::error_code error;
  return fs::symlink_status(file, error).type() == fs::file_type::not_found;
}

bool createScoreFile(const fs::path& file, const ScoreFileBytes& bytes) {
  const fs::path directory = file.parent_path().empty() ? fs::path(L".") : file.parent_path();
  removeStaleTemporaries(directory);
  DWORD error = 0;
  const fs::path temporary = writeTemporary(directory, bytes, error);
  if (temporary.empty()) return false;
  // Without MOVEFILE_REPLACE_EXISTING a file another game created meanwhile stays.
  if (!renameOver(temporary, file, MOVEFILE_WRITE_THROUGH)) {
    removeTemporary(temporary);
    return false;
  }
  return true;
}

LockedScoreFile::LockedScoreFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
LockedScoreFile::~LockedScoreFile() = default;

std::unique_ptr<LockedScoreFile> LockedScoreFile::lock(const fs::path& file) {
  auto handle = std::make_unique<Handle>();
  // A linked file is replaced where the link points; the link stays.
  if (!detail::openTrusted(file, GENERIC_READ, handle->path).valid()) return nullptr;
  fs::path lockPath = handle->path;
  lockPath += kLockFileSuffix;
  bool isLink = false;
  handle->lock = openUnfollowed(lockPath, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, &isLink);
  // A player who may not write the directory still locks a lock file that another made.
  if (!handle->lock.valid() && !isLink) {
    handle->lock = openUnfollowed(lockPath, GENERIC_READ, OPEN_EXISTING, &isLink);
  }
  // A link planted as the lock file locks nothing the other games lock: no result is stored.
  if (isLink) return nullptr;
  // With no lock file at all, the file itself carries the lock (it is only ever rewritten in
  // place there, so holding it open stops no rename).
  if (!handle->lock.valid()) handle->lock = openUnfollowed(handle->path, GENERIC_READ);
  if (!handle->lock.valid()) return nullptr;
  const auto deadline = Clock::now() + std::chrono::milliseconds(detail::kLockWaitMilliseconds);
  if (!lockExclusively(handle->lock.get(), deadline)) return nullptr;
  return std::unique_ptr<LockedScoreFile>(new LockedScoreFile(std::move(handle)));
}

std::optional<ScoreFileContents> LockedScoreFile::read() const {
  const FileHandle in = openUnfollowed(handle_->path, GENERIC_READ);
  if (!in.valid()) return std::nullopt;
  return readFrom(in.get());
}

bool LockedScoreFile::replace(const ScoreFileBytes& bytes) {
  const fs::path& target = handle_->path;
  if (!mayWrite(target)) return false;
  const fs::path directory = target.parent_path().empty() ? fs::path(L".") : target.parent_path();
  removeStaleTemporaries(directory);
  DWORD error = 0;
  const fs::path temporary = writeTemporary(directory, bytes, error);
  if (temporary.empty()) return error == ERROR_ACCESS_DENIED && rewriteInPlace(target, bytes);
  if (!renameOver(temporary, target)) {
    removeTemporary(temporary);
    return false;
  }
  detail::reportStep(ReplaceStep::Renamed);
  return true;
}

void useUnnamedTemporaryFiles(bool) {}

}  // namespace pelorin
