#include <gtest/gtest.h>

#include "platform/ExeDir.h"
#include "tests/platform/windows_child.h"
#include "tests/platform/windows_scratch.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using testing::linesOf;
using testing::ScratchDirectory;

// The root of a fixed drive other than `drive`, or empty when the machine has no other.
std::wstring otherDriveRoot(wchar_t drive) {
  const DWORD drives = GetLogicalDrives();
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if (!(drives & (1u << (letter - L'A'))) || towupper(drive) == letter) continue;
    const std::wstring root = std::wstring(1, letter) + L":\\";
    if (GetDriveTypeW(root.c_str()) == DRIVE_FIXED) return root;
  }
  return {};
}

bool representableInAnsi(const std::wstring& text) {
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr,
                      &usedDefault);
  return !usedDefault;
}

// One argument in quotes; the backslashes at its end are doubled, or the last would escape
// the closing quote ("Z:\" would arrive as Z:").
std::wstring quoted(const std::wstring& argument) {
  const std::size_t kept = argument.find_last_not_of(L'\\') + 1;
  return L"\"" + argument + argument.substr(kept) + L"\"";
}

// Runs a copy of this binary and returns its report: path, exeDir, current directory.
std::vector<std::string> reportOf(const fs::path& copy, const fs::path& startDirectory,
                                  const fs::path& report) {
  const std::wstring arguments = std::wstring(testing::kReportFlag) + L" " +
                                 quoted(report.native()) + L" " + quoted(startDirectory.native());
  EXPECT_EQ(testing::runAndWait(copy, arguments), 0);
  return linesOf(report);
}

TEST(ExeDirWindows, DirectoryOfWindowsPaths) {
  EXPECT_EQ(directoryOf(L"C:\\Games\\Puzzle\\game.exe").native(), L"C:\\Games\\Puzzle");
  EXPECT_EQ(directoryOf(L"C:\\game.exe").native(), L"C:");
  EXPECT_EQ(directoryOf(L"\\\\server\\share\\games\\game.exe").native(),
            L"\\\\server\\share\\games");
  EXPECT_EQ(directoryOf(L"C:/Games/Puzzle/game.exe").native(), L"C:/Games/Puzzle");
}

TEST(ExeDirWindows, TheModulesPathIsAbsoluteAndThisBinary) {
  const fs::path path = executablePath();
  EXPECT_TRUE(path.is_absolute());
  EXPECT_TRUE(fs::is_regular_file(path));
  EXPECT_EQ(path.extension(), L".exe");
}

// Copies of this binary in a directory with Czech letters and in one that the ANSI code
// page cannot name, each started from another drive: the path from GetModuleFileNameW keeps
// every character, and enterExeDir makes the drive and the directory current.
TEST(ExeDirWindows, CopiesFindAndEnterTheirDirectoryFromAnotherDrive) {
  ScratchDirectory scratch;
  const std::wstring otherRoot = otherDriveRoot(scratch.path().native().front());
  const fs::path start = otherRoot.empty() ? scratch.path() : fs::path(otherRoot);
  if (otherRoot.empty()) std::printf("no other fixed drive: the drive step is not tried\n");
  const std::wstring czech = L"Hra \u017dlu\u0165";
  const std::wstring beyondAnsi = L"Hra \u017dlu\u0165 \u03a9 \u6f22";
  EXPECT_FALSE(representableInAnsi(beyondAnsi)) << "the ANSI code page holds it after all";

  for (const std::wstring& name : {czech, beyondAnsi}) {
    const fs::path directory = scratch.path() / name;
    ASSERT_TRUE(fs::create_directory(directory));
    const fs::path copy = directory / L"pelorin.exe";
    ASSERT_TRUE(fs::copy_file(executablePath(), copy));

    const std::vector<std::string> lines = reportOf(copy, start, scratch.path() / L"report.txt");

    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], pathAsUtf8Text(copy));
    EXPECT_EQ(lines[1], pathAsUtf8Text(directory)) << "exeDir";
    EXPECT_EQ(lines[2], pathAsUtf8Text(directory)) << "the current directory, drive included";
  }
}

// An executable in the root of a drive: exeDir is the drive alone, and entering it selects
// the drive, whose own current directory becomes current.
TEST(ExeDirWindows, RootOfADriveGivesTheDriveAlone) {
  const fs::path root = fs::temp_directory_path().root_path();
  const fs::path copy =
      root / (L"pelorin-root-" + std::to_wstring(GetCurrentProcessId()) + L".exe");
  std::error_code error;
  if (!fs::copy_file(executablePath(), copy, error)) GTEST_SKIP() << "the root is not writable";
  const std::wstring otherRoot = otherDriveRoot(root.native().front());
  if (otherRoot.empty()) {
    fs::remove(copy);
    GTEST_SKIP() << "no other fixed drive to start from";
  }
  ScratchDirectory scratch;

  const std::vector<std::string> lines = reportOf(copy, otherRoot, scratch.path() / L"report.txt");
  fs::remove(copy, error);

  ASSERT_EQ(lines.size(), 3u);
  const std::string drive = pathAsUtf8Text(root.root_name());  // "C:"
  EXPECT_EQ(lines[1], drive);
  EXPECT_EQ(lines[2].rfind(drive + "\\", 0), 0u) << lines[2];
}

}  // namespace
}  // namespace pelorin
