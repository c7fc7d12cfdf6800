#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace pelorin::testing {

// A fresh directory under the user's temporary directory, removed at the end.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    path_ = std::filesystem::temp_directory_path() /
            (L"pelorin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount64()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::vector<std::string> linesOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The files named run-*.txt in `directory`, once there are `expected` of them or 30 s have
// passed.
inline std::vector<std::filesystem::path> waitForRuns(const std::filesystem::path& directory,
                                                      std::size_t expected) {
  std::vector<std::filesystem::path> runs;
  for (int attempt = 0; attempt < 300; ++attempt) {
    runs.clear();
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
      const std::wstring name = entry.path().filename().native();
      if (name.rfind(L"run-", 0) == 0 && entry.path().extension() == L".txt")
        runs.push_back(entry.path());
    }
    if (runs.size() >= expected) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the file is complete
  return runs;
}

}  // namespace pelorin::testing
