#pragma once

#include <filesystem>
#include <string>

namespace pelorin::testing {

// Makes the test binary report, into the file named next, its executable's path, its
// directory, and the current directory after entering that directory from the one named
// after it; one UTF-8 line each.
inline constexpr wchar_t kReportFlag[] = L"--report-exe-dir";

// A copy of the test binary under this file name is a fake browser: it leaves its
// arguments, one UTF-8 line each, in a file "run-<process id>.txt" beside itself.
inline constexpr wchar_t kFakeBrowserName[] = L"fake-browser.exe";

// Runs `program` with `arguments` (each quoted) and waits for it; its exit code, or -1.
int runAndWait(const std::filesystem::path& program, const std::wstring& arguments);

}  // namespace pelorin::testing
