#include "tests/ui/window_fixture.h"

#include <QKeyEvent>

#include "game/Generator.h"

namespace pelorin::testing {

void WindowTest::dealSeed(std::uint32_t seed) {
  newGame(gameState, seed);
  frmMain->drawBoard();
  frmMain->showScore();
}

std::shared_ptr<bool> answerNextModal(std::function<void(QWidget*)> action, int timeoutMs) {
  auto opened = std::make_shared<bool>(false);
  auto* timer = new QTimer;
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [=] {
    *waited += timer->interval();
    if (QWidget* modal = QApplication::activeModalWidget()) {
      *opened = true;
      timer->stop();
      timer->deleteLater();
      action(modal);
    } else if (*waited > timeoutMs) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
  return opened;
}

void typeText(QWidget* widget, const QString& text) {
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(widget, &release);
  }
}

}  // namespace pelorin::testing
