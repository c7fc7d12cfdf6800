#pragma once

// Helpers for the score-file tests that use real directories and child processes (POSIX).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "scores/rules/ScoreFormat.h"

namespace pelorin::testing {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

inline Bytes readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes bytesOf(const ScoreTable& table) {
  const ScoreFileBytes bytes = encodeScores(table);
  return Bytes(bytes.begin(), bytes.end());
}

inline std::set<std::string> entriesOf(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A fresh directory per test, removed with everything in it afterwards.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& tag) {
    path_ = fs::temp_directory_path() /
            ("pelorin-" + tag + "-" + std::to_string(std::random_device{}()));
    fs::create_directory(path_);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Runs `body` in a child process and returns its wait status. The child leaves through
// _exit with what `body` returns, so no test state of the parent is torn down twice.
template <typename Body>
int runInChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

}  // namespace pelorin::testing
