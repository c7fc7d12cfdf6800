#pragma once
// For the start-up benchmarks: with PELORIN_QUIT_AFTER_FIRST_PAINT set, a program ends once its
// window has been painted (the time to the first screen); with PELORIN_EXIT_AT_FIRST_PAINT it
// ends there at once, without tearing down, so that an instruction count covers the start-up
// alone. Header-only, so that the benchmarks' floor windows end the same way as the game.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdlib>

class FirstPaintExit : public QObject {
 public:
  // Watches `window` if either variable is set; otherwise does nothing.
  explicit FirstPaintExit(QObject& window) {
    if (qEnvironmentVariableIsSet("PELORIN_QUIT_AFTER_FIRST_PAINT") ||
        qEnvironmentVariableIsSet("PELORIN_EXIT_AT_FIRST_PAINT"))
      window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Queued: the paint reaches the display first.
    if (event->type() == QEvent::Paint) {
      if (qEnvironmentVariableIsSet("PELORIN_EXIT_AT_FIRST_PAINT"))
        QMetaObject::invokeMethod(
            qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
      else
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }
};
