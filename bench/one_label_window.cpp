// A bare Qt Widgets window of the game's size holding one text label: the floor for the
// game's start-up instruction count (bench/startup_instructions.sh).
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>
#include <cstdlib>

class ExitAfterFirstPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Queued: the paint runs and reaches the display first, then the process ends as the
    // game's does under PELORIN_EXIT_AT_FIRST_PAINT.
    if (event->type() == QEvent::Paint)
      QMetaObject::invokeMethod(qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
  }
};

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setFixedSize(402, 201);
  window.setWindowTitle(QStringLiteral("One label"));
  QLabel label(QStringLiteral("Navštivte naše stránky"), &window);
  label.move(8, 182);
  ExitAfterFirstPaint probe;
  if (qEnvironmentVariableIsSet("PELORIN_EXIT_AT_FIRST_PAINT")) window.installEventFilter(&probe);
  window.show();
  return QApplication::exec();
}
