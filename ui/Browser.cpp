// The platform headers come first: GIO's use words that Qt defines as macros.
#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#else
#include <dlfcn.h>
#include <gio/gio.h>
#endif

#include "ui/Browser.h"

#ifdef _WIN32

namespace {
void shellOpen(const QByteArray& file, const QByteArray& parameters) {
  ShellExecuteA(nullptr, "open", file.constData(), parameters.constData(), nullptr, SW_SHOWNORMAL);
}
}  // namespace

QString associatedProgram(const QString& document) {
  char program[MAX_PATH] = {};
  const auto result = reinterpret_cast<INT_PTR>(
      FindExecutableA(document.toLocal8Bit().constData(), nullptr, program));
  if (result <= 32) return {};  // 32 or less is an error code
  return QString::fromLocal8Bit(program);
}

void startProgram(const QString& program, const QString& address) {
  shellOpen(program.toLocal8Bit(), address.toLocal8Bit());
}

// Empty parameters, not none: the shell then opens the address itself.
void openAddress(const QString& address) { shellOpen(address.toLocal8Bit(), QByteArray("")); }

#else

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace {

// GIO is loaded on the first click of the link, not at start-up: the first screen never
// needs it, and linking it would load two more libraries into every run of the game.
struct Gio {
  decltype(&g_file_test) fileTest = nullptr;
  decltype(&g_content_type_guess) contentTypeGuess = nullptr;
  decltype(&g_app_info_get_default_for_type) defaultApplication = nullptr;
  decltype(&g_app_info_get_executable) executable = nullptr;
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
  if (!library) return nullptr;  // no GIO: the address goes to the platform instead
  static Gio gio;
  const bool complete =
      resolve(library, "g_file_test", gio.fileTest) &&
      resolve(library, "g_content_type_guess", gio.contentTypeGuess) &&
      resolve(library, "g_app_info_get_default_for_type", gio.defaultApplication) &&
      resolve(library, "g_app_info_get_executable", gio.executable) &&
      resolve(library, "g_find_program_in_path", gio.findProgram) &&
      resolve(library, "g_free", gio.free) && resolve(library, "g_object_unref", gio.unref);
  return complete ? &gio : nullptr;
}

}  // namespace

QString associatedProgram(const QString& document) {
  static const Gio* const gio = loadGio();
  if (!gio) return {};
  const QByteArray name = document.toLocal8Bit();
  if (!gio->fileTest(name.constData(), G_FILE_TEST_IS_REGULAR)) return {};

  // By name only: the document is never read, and an empty one would pass for plain text.
  gchar* type = gio->contentTypeGuess(name.constData(), nullptr, 0, nullptr);
  GAppInfo* application = gio->defaultApplication(type, FALSE);
  gio->free(type);
  if (!application) return {};

  QString path;
  const char* executable = gio->executable(application);
  if (gchar* found = executable ? gio->findProgram(executable) : nullptr) {
    path = QString::fromLocal8Bit(found);
    gio->free(found);
  }
  gio->unref(application);
  return path;
}

void startProgram(const QString& program, const QString& address) {
  QProcess::startDetached(program, {address});
}

void openAddress(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

#endif
