// The platform tests on Windows (run under Wine when cross-built). The binary also serves
// as the child of its own tests: started with kReportFlag it reports where it is, and
// copied under kFakeBrowserName it records how it was started.
#include <windows.h>
// after windows.h
#include <direct.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/ExeDir.h"
#include "tests/platform/windows_child.h"

namespace pelorin::testing {

int runAndWait(const std::filesystem::path& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program.native() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return -1;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

}  // namespace pelorin::testing

namespace {

bool writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  FILE* out = _wfopen(file.c_str(), L"wb");
  if (!out) return false;
  for (const std::string& line : lines) std::fprintf(out, "%s\n", line.c_str());
  return std::fclose(out) == 0;
}

// Arguments: the report file, the directory to start from.
int reportExeDir(const std::vector<std::wstring>& arguments) {
  if (arguments.size() < 4) return 2;
  pelorin::setExeDir(pelorin::directoryOf(pelorin::executablePath()));
  if (_wchdir(arguments[3].c_str()) != 0) return 3;
  pelorin::enterExeDir();
  std::wstring current(32768, L'\0');
  if (!_wgetcwd(current.data(), static_cast<int>(current.size()))) return 4;
  current.resize(std::wcslen(current.c_str()));
  const bool written = writeLines(
      arguments[2], {pelorin::pathAsUtf8Text(pelorin::executablePath()),
                     pelorin::pathAsUtf8Text(pelorin::exeDir()), pelorin::pathAsUtf8Text(current)});
  return written ? 0 : 5;
}

int recordBrowserStart(const std::vector<std::wstring>& arguments) {
  const std::filesystem::path self = pelorin::executablePath();
  const std::filesystem::path record =
      self.parent_path() / (L"run-" + std::to_wstring(GetCurrentProcessId()) + L".txt");
  std::vector<std::string> lines{std::to_string(arguments.size() - 1)};
  for (std::size_t i = 1; i < arguments.size(); ++i)
    lines.push_back(pelorin::pathAsUtf8Text(arguments[i]));
  return writeLines(record, lines) ? 0 : 1;
}

std::vector<std::wstring> commandLineArguments() {
  int count = 0;
  wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments(list, list + (list ? count : 0));
  LocalFree(list);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::wstring> arguments = commandLineArguments();
  if (_wcsicmp(pelorin::executablePath().filename().c_str(), pelorin::testing::kFakeBrowserName) ==
      0)
    return recordBrowserStart(arguments);
  if (arguments.size() >= 2 && arguments[1] == pelorin::testing::kReportFlag)
    return reportExeDir(arguments);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
