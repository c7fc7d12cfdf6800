// The platform headers come first: GIO's use words that Qt defines as macros.
#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <shellapi.h>
#include <windows.h>
#else
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

QString associatedProgram(const QString& document) {
  const QByteArray name = document.toLocal8Bit();
  if (!g_file_test(name.constData(), G_FILE_TEST_IS_REGULAR)) return {};

  // By name only: the document is never read, and an empty one would pass for plain text.
  gchar* type = g_content_type_guess(name.constData(), nullptr, 0, nullptr);
  GAppInfo* application = g_app_info_get_default_for_type(type, FALSE);
  g_free(type);
  if (!application) return {};

  QString path;
  const char* executable = g_app_info_get_executable(application);
  if (gchar* found = executable ? g_find_program_in_path(executable) : nullptr) {
    path = QString::fromLocal8Bit(found);
    g_free(found);
  }
  g_object_unref(application);
  return path;
}

void startProgram(const QString& program, const QString& address) {
  QProcess::startDetached(program, {address});
}

void openAddress(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

#endif
