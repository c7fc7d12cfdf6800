#include <QEvent>
#include <cstdlib>
#include <exception>

#include "ui/Application.h"
#include "ui/Hlavni.h"
#include "ui/Startup.h"

namespace {

// With PELORIN_QUIT_AFTER_FIRST_PAINT set, the program ends once the main window has been
// painted: the start-up benchmark measures the time to the first screen this way. With
// PELORIN_EXIT_AT_FIRST_PAINT it ends there at once, without tearing down, so that an
// instruction count covers the start-up alone.
class QuitAfterFirstPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
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

}  // namespace

int main(int argc, char** argv) {
  Application application(argc, argv);
  try {
    createWindows();
    QuitAfterFirstPaint probe;
    if (qEnvironmentVariableIsSet("PELORIN_QUIT_AFTER_FIRST_PAINT") ||
        qEnvironmentVariableIsSet("PELORIN_EXIT_AT_FIRST_PAINT"))
      frmMain->installEventFilter(&probe);
    frmMain->show();
    Application::exec();
  } catch (const std::exception& error) {
    showExceptionBox(QString::fromUtf8(error.what()));  // our messages are UTF-8 everywhere
  }
  destroyWindows();
  return 0;
}
