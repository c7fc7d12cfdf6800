#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Browser.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// A program that, after a pause, writes its argument count and arguments to `record`.
fs::path writeSlowRecorder(const fs::path& directory, const fs::path& record) {
  const fs::path program = directory / "recorder";
  std::ofstream script(program);
  script << "#!/bin/sh\nsleep 1\n"
         << "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '"
         << record.native() << ".tmp'\n"
         << "mv '" << record.native() << ".tmp' '" << record.native() << "'\n";
  script.close();
  fs::permissions(program, fs::perms::owner_all);
  return program;
}

std::vector<std::string> waitForLines(const fs::path& file) {
  for (int attempt = 0; attempt < 500 && !fs::exists(file); ++attempt)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(StartProgram, AddressIsTheOneArgumentAndTheGameNeitherWaitsNorKeepsAChild) {
  std::string pattern = (fs::temp_directory_path() / "pelorin-browser-XXXXXX").native();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path directory = pattern;
  const fs::path record = directory / "record";
  const fs::path program = writeSlowRecorder(directory, record);
  const std::string address = "https://www.quillon.example/?a=1 b 'c'";

  startProgram(program, address);

  EXPECT_FALSE(fs::exists(record)) << "returned before the program had done its work";
  const pid_t child = waitpid(-1, nullptr, WNOHANG);
  const int error = errno;
  EXPECT_EQ(child, -1) << "no child of the game's own to collect";
  EXPECT_EQ(error, ECHILD);
  const std::vector<std::string> lines = waitForLines(record);
  EXPECT_EQ(lines, (std::vector<std::string>{"1", address}));
  fs::remove_all(directory);
}

TEST(StartProgram, AMissingProgramIsIgnored) {
  startProgram("/no/such/browser", "https://www.quillon.example");
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST(AssociatedProgram, NoneForAMissingDocument) {
  EXPECT_TRUE(associatedProgram("/no/such/directory/web.htm").empty());
}

}  // namespace
}  // namespace pelorin
