#include <windows.h>
// after windows.h
#include <direct.h>

#include <string>

#include "platform/ExeDir.h"

namespace pelorin {

std::filesystem::path executablePath() {
  // A full buffer means the name was cut short (the call then returns the buffer's size):
  // the buffer grows until the whole name fits, long paths beyond MAX_PATH included.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(name.size());
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
    if (length == 0) return {};
    if (length < size) {
      name.resize(length);
      return std::filesystem::path(std::move(name));
    }
    name.resize(name.size() * 2);
  }
}

void enterExeDir() {
  const std::wstring& directory = exeDir().native();
  // The drive step: the first character names the drive, in either case (drive 1 is A).
  // A character that names no drive, such as the '\' of a network path, makes the step
  // fail: the current directory then stays as it was.
  if (!directory.empty()) {
    const wchar_t first = directory.front();
    if (first >= L'A' && first <= L'Z') _chdrive(first - L'A' + 1);
    if (first >= L'a' && first <= L'z') _chdrive(first - L'a' + 1);
  }
  _wchdir(directory.c_str());
}

std::string pathAsUtf8Text(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int wideLength = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace pelorin
