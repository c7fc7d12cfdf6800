#include "ui/ExeDir.h"

#include <QDir>

#ifdef _WIN32
#include <direct.h>
#endif

namespace {
QString exeDirectory;
}

QChar nativeSeparator() {
#ifdef _WIN32
  return u'\\';
#else
  return u'/';
#endif
}

QString cutBackToDirectory(const QString& path, QChar separator) {
  const qsizetype last = path.lastIndexOf(separator);
  if (last >= 1) return path.left(last);
  return path.left(1);
}

void setExeDir(const QString& directory) { exeDirectory = directory; }

const QString& exeDir() { return exeDirectory; }

std::filesystem::path exeDirPath() {
  const QByteArray utf8 = exeDirectory.toUtf8();
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()),
                                             static_cast<std::size_t>(utf8.size())));
}

void enterExeDir() {
#ifdef _WIN32
  // The drive step: a first character that names no drive fails and changes nothing.
  if (!exeDirectory.isEmpty()) {
    const char16_t letter = QChar(exeDirectory.front()).toUpper().unicode();
    if (letter >= u'A' && letter <= u'Z') _chdrive(letter - u'A' + 1);
  }
#endif
  QDir::setCurrent(exeDirectory);
}
