#include "platform/ExeDir.h"

#include "platform/DirectoryRule.h"

namespace pelorin {

namespace {
std::filesystem::path exeDirectory;
}  // namespace

std::filesystem::path directoryOf(const std::filesystem::path& executable) {
  using Char = std::filesystem::path::value_type;
  // '/' twice on POSIX, which does no harm.
  static constexpr Char kSeparators[] = {std::filesystem::path::preferred_separator, Char('/'),
                                         Char(0)};
  return cutBackToDirectory<Char>(executable.native(), kSeparators);
}

void setExeDir(std::filesystem::path directory) { exeDirectory = std::move(directory); }

const std::filesystem::path& exeDir() { return exeDirectory; }

}  // namespace pelorin
