#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "platform/Browser.h"

namespace pelorin {

namespace {

// The wide calls keep every character of the path, where the ANSI ones would lose those
// outside the ANSI code page. The address is plain ASCII; it is widened as UTF-8.
std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength > 0 ? wideLength : 0), L'\0');
  if (wideLength > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), wideLength);
  return wide;
}

// Whether the shell could start it: 32 or less is an error code.
bool shellOpen(const wchar_t* file, const wchar_t* parameters) {
  return reinterpret_cast<INT_PTR>(
             ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL)) > 32;
}

// FindExecutableW writes at most MAX_PATH characters; the rest is room to spare.
constexpr std::size_t kResultChars = 32768;

}  // namespace

std::filesystem::path associatedProgram(const std::filesystem::path& document) {
  std::wstring program(kResultChars, L'\0');
  const auto result =
      reinterpret_cast<INT_PTR>(FindExecutableW(document.c_str(), nullptr, program.data()));
  if (result <= 32) return {};  // 32 or less is an error code
  program.resize(std::wcslen(program.c_str()));
  return std::filesystem::path(std::move(program));
}

void startProgram(const std::filesystem::path& program, std::string_view address) {
  // A browser that was uninstalled or moved: the shell's own route still opens the address.
  if (!shellOpen(program.c_str(), widen(address).c_str())) openAddress(address);
}

// Empty parameters, not none: the shell then opens the address itself.
void openAddress(std::string_view address) { shellOpen(widen(address).c_str(), L""); }

}  // namespace pelorin
