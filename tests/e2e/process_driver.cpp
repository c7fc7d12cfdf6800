#include "tests/e2e/process_driver.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

Command runCommand(const QString& program, const QStringList& arguments, int timeoutMs,
                   const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  Command result;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return result;
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
  return result;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int pollMs) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    QThread::msleep(static_cast<unsigned long>(pollMs));
  }
  return true;
}

std::optional<QString> firstWindowFound(const Command& search) {
  const QString first = search.output.section('\n', 0, 0).trimmed();
  if (search.exitCode != 0 || first.isEmpty()) return std::nullopt;
  return first;
}
