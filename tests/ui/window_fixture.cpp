#include "tests/ui/window_fixture.h"

#include <QKeyEvent>

#include "game/Generator.h"
#include "tests/board_builder.h"

namespace pelorin::testing {

void WindowTest::dealSeed(std::uint32_t seed) {
  newGame(gameState, seed);
  frmMain->drawBoard();
  frmMain->showScore();
}

void WindowTest::showLastBalls(std::string_view bottomRow, std::int32_t score) {
  gameState = GameState{};
  for (std::size_t x = 0; x < bottomRow.size(); ++x) {
    gameState.cell(static_cast<int>(x), kRows - 1) = codeOf(bottomRow[x]);
  }
  gameState.score = score;
  frmMain->drawBoard();
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
