// The smallest Qt Widgets program with a window of the game's size: the floor that the
// game's start-up time and memory are measured against.
#include <QApplication>
#include <QEvent>
#include <QWidget>

class QuitAfterFirstPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }
};

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setFixedSize(402, 201);
  window.setWindowTitle(QStringLiteral("Minimal"));
  QuitAfterFirstPaint probe;
  if (qEnvironmentVariableIsSet("PELORIN_QUIT_AFTER_FIRST_PAINT"))
    window.installEventFilter(&probe);
  window.show();
  return QApplication::exec();
}
