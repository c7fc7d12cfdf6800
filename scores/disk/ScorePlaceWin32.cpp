// Where the table is kept on Windows: beside the game where it can be written, otherwise
// where Windows' file virtualisation keeps the files of a legacy program that writes into
// "Program Files", so that a table a 32-bit build kept there is found again.
#include <windows.h>
// after windows.h
#include <knownfolders.h>
#include <shlobj.h>

#include <string>
#include <string_view>
#include <system_error>

#include "scores/disk/ScorePlace.h"

namespace pelorin {

namespace fs = std::filesystem;

namespace {

constexpr std::wstring_view kLongPrefix = LR"(\\?\)";
constexpr std::wstring_view kLongUncPrefix = LR"(\\?\UNC\)";
constexpr std::wstring_view kDevicePrefix = LR"(\\.\)";

fs::path localAppData() {
  PWSTR folder = nullptr;
  fs::path path;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) path = folder;
  ::CoTaskMemFree(folder);
  return path;
}

// "C:\Program Files\Pelorin" without its drive: "Program Files\Pelorin". Only folders on a
// drive are virtualised; a network folder has none.
std::wstring withoutDrive(const fs::path& folder) {
  std::wstring path = folder.native();
  if (path.starts_with(kLongPrefix) && !path.starts_with(kLongUncPrefix)) {
    path.erase(0, kLongPrefix.size());
  }
  if (path.size() < 2 || path[1] != L':') return {};
  const std::size_t rest = path.find_first_not_of(L"\\/", 2);
  return rest == std::wstring::npos ? std::wstring(L".") : path.substr(rest);
}

}  // namespace

ScorePlaces scorePlacesOf(const fs::path& gameDirectory) {
  const std::wstring folder = withoutDrive(gameDirectory);
  if (folder.empty()) return {gameDirectory, {}};
  const fs::path appData = localAppData();
  if (appData.empty()) return {gameDirectory, {}};
  return {gameDirectory, appData / L"VirtualStore" / folder};
}

bool isClosedToPlayer(const fs::path& file) {
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  // Marked read-only by the player: kept as it is, never copied elsewhere.
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  const HANDLE handle =
      ::CreateFileW(file.c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    ::CloseHandle(handle);
    return false;
  }
  return ::GetLastError() == ERROR_ACCESS_DENIED;
}

bool createOwnDirectory(const fs::path& directory) {
  // Cut at each separator of the long form: path arithmetic would drop its prefix.
  const std::wstring full = systemPath(directory).native();
  for (std::size_t end = full.find(L'\\', kLongPrefix.size()); end != std::wstring::npos;
       end = full.find(L'\\', end + 1)) {
    ::CreateDirectoryW(full.substr(0, end).c_str(), nullptr);  // one that exists stays
  }
  ::CreateDirectoryW(full.c_str(), nullptr);
  const DWORD attributes = ::GetFileAttributesW(full.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

fs::path systemPath(const fs::path& path) {
  const std::wstring& given = path.native();
  if (given.empty() || given.starts_with(kLongPrefix)) return path;
  const DWORD size = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  if (full.starts_with(kDevicePrefix)) return path;
  if (full.starts_with(LR"(\\)")) return std::wstring(kLongUncPrefix) + full.substr(2);
  return std::wstring(kLongPrefix) + full;
}

}  // namespace pelorin
