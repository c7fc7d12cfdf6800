#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ExeDir.h"
#include "tests/platform/posix_child.h"

extern char** environ;

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// A temporary directory, removed with everything in it at the end.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "pelorin-platform-XXXXXX").native();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::vector<std::string> linesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs `program` with the report flag and returns the lines it reported.
std::vector<std::string> runReport(const fs::path& program, const fs::path& report) {
  std::string file = program.native();
  std::string flag = testing::kReportFlag;
  std::string reportName = report.native();
  char* const arguments[] = {file.data(), flag.data(), reportName.data(), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, file.c_str(), nullptr, nullptr, arguments, environ) != 0) return {};
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return linesOf(report);
}

TEST(ExeDirPosix, DirectoryOfTheExecutable) {
  EXPECT_EQ(directoryOf("/home/hana/hry/pelorin/pelorin"), fs::path("/home/hana/hry/pelorin"));
  EXPECT_EQ(directoryOf("/pelorin"), fs::path("/"));
  EXPECT_EQ(directoryOf(""), fs::path(""));
}

TEST(ExeDirPosix, TextOfAPathIsItsBytes) {
  EXPECT_EQ(pathAsUtf8Text("/hry/\xC5\xBElu\xC5\xA5"), "/hry/\xC5\xBElu\xC5\xA5");
  EXPECT_EQ(pathAsUtf8Text("/hry/\xE9\xFE"), "/hry/\xE9\xFE");
}

// A copy of this binary in a directory whose name is Latin-2 bytes, not UTF-8, and in one
// with Czech letters in UTF-8: each works out exactly its own directory, and enters it when
// started from elsewhere.
TEST(ExeDirPosix, CopyInAnotherDirectoryFindsAndEntersIt) {
  ScratchDirectory scratch;
  ASSERT_FALSE(scratch.path().empty());
  for (const char* name : {"Hra \xAElu\xBB", "Hra \xC5\xBDlu\xC5\xA5 \xCE\xA9"}) {
    const fs::path directory = scratch.path() / name;
    ASSERT_TRUE(fs::create_directory(directory));
    const fs::path copy = directory / "pelorin-copy";
    ASSERT_TRUE(fs::copy_file(executablePath(), copy));
    const fs::path report = scratch.path() / "report";

    const std::vector<std::string> lines = runReport(copy, report);

    ASSERT_EQ(lines.size(), 3u) << name;
    EXPECT_EQ(lines[0], copy.native()) << "the path, byte for byte";
    EXPECT_EQ(lines[1], directory.native()) << "exeDir";
    EXPECT_EQ(lines[2], directory.native()) << "the current directory after enterExeDir";
  }
}

TEST(ExeDirPosix, FailedEnterLeavesTheCurrentDirectory) {
  const fs::path before = fs::current_path();
  const fs::path saved = exeDir();
  setExeDir("/no/such/directory/for/pelorin");
  enterExeDir();
  EXPECT_EQ(fs::current_path(), before);
  setExeDir(saved);
}

}  // namespace
}  // namespace pelorin
