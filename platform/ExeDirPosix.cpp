#include <unistd.h>

#include <string>

#include "platform/ExeDir.h"

namespace pelorin {

std::filesystem::path executablePath() {
  // readlink neither terminates nor says whether it cut the name short: a result that
  // fills the buffer may have been cut, so the buffer grows until one does not.
  std::string bytes(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", bytes.data(), bytes.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < bytes.size()) {
      bytes.resize(static_cast<std::size_t>(length));
      return std::filesystem::path(std::move(bytes));
    }
    bytes.resize(bytes.size() * 2);
  }
}

void enterExeDir() {
  // No drive step here; only the directory. The result is not looked at.
  [[maybe_unused]] const int result = chdir(exeDir().c_str());
}

std::string pathAsUtf8Text(const std::filesystem::path& path) { return path.native(); }

}  // namespace pelorin
