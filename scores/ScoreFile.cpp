#include "scores/ScoreFile.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <fstream>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <system_error>
#include <utility>

#include "scores/ScoreFormat.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;

constexpr int kTemporaryNameAttempts = 8;

bool isMissing(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() == fs::file_type::not_found;
}

std::uint64_t randomBits() {
  // The clock still separates two games when there is no random device.
  auto bits =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    bits ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
  } catch (const std::exception&) {
  }
  return bits;
}

std::string hexDigits(std::uint64_t value) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (auto digit = text.rbegin(); digit != text.rend(); ++digit, value >>= 4) {
    *digit = kDigits[value & 0xFu];
  }
  return text;
}

// A name of its own beside the score file, so that two running games never share one.
std::optional<fs::path> unusedTemporaryPath(const fs::path& directory) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    fs::path candidate =
        directory / (std::string(kScoreFileName) + "." + hexDigits(randomBits()) + ".tmp");
    if (isMissing(candidate)) return candidate;
  }
  return std::nullopt;
}

// Removes the temporary file on every way out except a successful rename.
class TemporaryFileRemover {
 public:
  explicit TemporaryFileRemover(fs::path path) : path_(std::move(path)) {}
  TemporaryFileRemover(const TemporaryFileRemover&) = delete;
  TemporaryFileRemover& operator=(const TemporaryFileRemover&) = delete;
  ~TemporaryFileRemover() {
    std::error_code error;
    if (!path_.empty()) fs::remove(path_, error);
  }

  void keep() { path_.clear(); }

 private:
  fs::path path_;
};

bool writeWholeFile(const fs::path& path, const ScoreFileBytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.flush();
  out.close();  // a failed close sets failbit: the data may not have reached the disk
  return !out.fail();
}

// A file the player made read-only (or a directory of that name) must not be replaced behind
// their back, although a rename would do it. Opening to append changes nothing.
bool mayReplace(const fs::path& target) {
  if (isMissing(target)) return true;
  std::ofstream probe(target, std::ios::binary | std::ios::app);
  return probe.is_open();
}

// Best effort: a shared score file keeps the access rights it was given.
void copyPermissions(const fs::path& from, const fs::path& to) {
  std::error_code error;
  const fs::file_status status = fs::status(from, error);
  if (!error) fs::permissions(to, status.permissions(), error);
}

// The new file is complete before it takes the old one's place, so a failure at any step
// leaves the old file as it was.
bool replaceScoreFile(const fs::path& directory, const ScoreFileBytes& bytes) {
  const std::optional<fs::path> temporary = unusedTemporaryPath(directory);
  if (!temporary) return false;
  TemporaryFileRemover remover(*temporary);
  const fs::path target = directory / kScoreFileName;
  if (!writeWholeFile(*temporary, bytes) || !mayReplace(target)) return false;
  if (!isMissing(target)) copyPermissions(target, *temporary);

  std::error_code error;
  fs::rename(*temporary, target, error);
  if (error) return false;
  remover.keep();
  return true;
}

// At most 220 bytes; a short file is taken as it is, its missing bytes reading as -1.
bool loadScoreFile(const fs::path& file, ScoreTable& table) {
  std::error_code error;
  // A directory or a pipe of that name would fail or block on reading.
  if (!fs::is_regular_file(file, error)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  ScoreFileBytes bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return false;
  const auto bytesRead = static_cast<std::size_t>(in.gcount());
  decodeScores(std::span(bytes).first(bytesRead), table);
  return true;
}

}  // namespace

bool readScoreFile(const fs::path& directory, ScoreTable& table) {
  const fs::path file = directory / kScoreFileName;
  if (isMissing(file) && !writeDefaultScores(directory, table)) return false;
  return loadScoreFile(file, table);
}

bool writeDefaultScores(const fs::path& directory, ScoreTable& table) {
  const ScoreTable defaults = defaultScoreTable();
  if (!replaceScoreFile(directory, encodeScores(defaults))) return false;
  table = defaults;
  return true;
}

bool writeScoreFile(const fs::path& directory, const ScoreTable& table) {
  return replaceScoreFile(directory, encodeScores(table));
}

}  // namespace pelorin
