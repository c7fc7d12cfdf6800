#include <dlfcn.h>
#include <gio/gio.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/Browser.h"

namespace pelorin {

namespace {

// GIO is loaded on the first click of the link, not at start-up: the first screen never
// needs it, and linking it would load two more libraries into every run of the game.
struct Gio {
  decltype(&g_file_test) fileTest = nullptr;
  decltype(&g_content_type_guess) contentTypeGuess = nullptr;
  decltype(&g_app_info_get_default_for_type) defaultApplication = nullptr;
  decltype(&g_app_info_get_executable) executable = nullptr;
  decltype(&g_app_info_launch_default_for_uri) launchDefaultForUri = nullptr;
  decltype(&g_find_program_in_path) findProgram = nullptr;
  decltype(&g_free) free = nullptr;
  decltype(&g_object_unref) unref = nullptr;
};

template <typename Function>
bool resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

const Gio* loadGio() {
  void* library = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  static Gio gio;
  const bool complete =
      resolve(library, "g_file_test", gio.fileTest) &&
      resolve(library, "g_content_type_guess", gio.contentTypeGuess) &&
      resolve(library, "g_app_info_get_default_for_type", gio.defaultApplication) &&
      resolve(library, "g_app_info_get_executable", gio.executable) &&
      resolve(library, "g_app_info_launch_default_for_uri", gio.launchDefaultForUri) &&
      resolve(library, "g_find_program_in_path", gio.findProgram) &&
      resolve(library, "g_free", gio.free) && resolve(library, "g_object_unref", gio.unref);
  return complete ? &gio : nullptr;
}

const Gio* gio() {
  static const Gio* const loaded = loadGio();
  return loaded;
}

// Runs `file` without waiting for it. A go-between process starts it and ends at once, so
// the program is adopted by init and never lingers as the game's unreaped child; the game
// waits only for the go-between, which takes no longer than a fork. Between fork and exec
// only async-signal-safe calls are made: the arguments are all prepared before.
void startDetached(const char* file, char* const arguments[]) {
  const pid_t goBetween = fork();
  if (goBetween < 0) return;
  if (goBetween == 0) {
    if (fork() == 0) {
      setsid();  // its own session: a signal to the game's process group does not reach it
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      execv(file, arguments);
      _exit(127);
    }
    _exit(0);
  }
  while (waitpid(goBetween, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// The desktop's own opener, for a system without GIO: the first "xdg-open" on PATH.
std::string findOpener() {
  const char* const searchPath = std::getenv("PATH");
  std::string_view directories = searchPath ? searchPath : "/usr/bin:/bin";
  while (!directories.empty()) {
    const auto end = directories.find(':');
    std::string candidate(directories.substr(0, end));
    candidate += candidate.empty() ? "xdg-open" : "/xdg-open";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    directories = end == std::string_view::npos ? std::string_view() : directories.substr(end + 1);
  }
  return {};
}

}  // namespace

std::filesystem::path associatedProgram(const std::filesystem::path& document) {
  const Gio* const library = gio();
  if (!library) return {};
  const char* const name = document.c_str();
  if (!library->fileTest(name, G_FILE_TEST_IS_REGULAR)) return {};

  // By name only: the document is never read, and an empty one would pass for plain text.
  gchar* type = library->contentTypeGuess(name, nullptr, 0, nullptr);
  GAppInfo* application = library->defaultApplication(type, FALSE);
  library->free(type);
  if (!application) return {};

  std::filesystem::path program;
  const char* executable = library->executable(application);
  if (gchar* found = executable ? library->findProgram(executable) : nullptr) {
    program = found;
    library->free(found);
  }
  library->unref(application);
  return program;
}

void startProgram(const std::filesystem::path& program, std::string_view address) {
  std::string file = program.native();
  std::string parameter(address);
  char* const arguments[] = {file.data(), parameter.data(), nullptr};
  startDetached(file.c_str(), arguments);
}

void openAddress(std::string_view address) {
  const std::string uri(address);
  if (const Gio* const library = gio()) {
    // The desktop's handler for the address's scheme, as its desktop entry asks to be run.
    library->launchDefaultForUri(uri.c_str(), nullptr, nullptr);
    return;
  }
  std::string opener = findOpener();
  if (opener.empty()) return;
  std::string parameter = uri;
  char* const arguments[] = {opener.data(), parameter.data(), nullptr};
  startDetached(opener.c_str(), arguments);
}

}  // namespace pelorin
