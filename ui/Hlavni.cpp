#include "ui/Hlavni.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <iterator>
#include <utility>

#include "game/Generator.h"
#include "game/Turn.h"
#include "platform/ExeDir.h"
#include "ui/HomePage.h"
#include "ui/ImageFile.h"
#include "ui/Jmeno.h"
#include "ui/Skore.h"
#include "ui/TextFaces.h"
#include "ui/WindowFrame.h"
#include "ui_Hlavni.h"

pelorin::GameState gameState;
TfrmMain* frmMain = nullptr;

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TfrmMain>()) {
  ui_->setupUi(this);
  keepLaidOutFaces(*this);
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(windowTitle().arg(QStringLiteral(PELORIN_VERSION)));  // the layout leaves %1
  setWindowFlags(fixedWindowFlags(true));
  ui_->labelHomepage->setText(homePageCaption());
  // The status-bar labels size themselves to their text; the link keeps its distance.
  ui_->labelInfo->adjustSize();
  ui_->labelHomepage->adjustSize();
  ui_->labelHomepage->move(
      std::max(ui_->labelHomepage->x(), ui_->labelInfo->geometry().right() + 9),
      ui_->labelHomepage->y());
  ui_->labelHomepage->installEventFilter(this);
  for (QPushButton* button : {ui_->btnNovaHra, ui_->btnNejlepsiSkore, ui_->btnKonec})
    button->installEventFilter(this);

  // The hidden image controls hold the ball pictures; the board is drawn from the first four.
  const std::pair<QLabel*, const char*> holders[] = {
      {ui_->imgPrazdna, ":/balls/prazdna.bmp"},   {ui_->imgZluta, ":/balls/zluta.bmp"},
      {ui_->imgModra, ":/balls/modra.bmp"},       {ui_->imgHneda, ":/balls/hneda.bmp"},
      {ui_->imgBila, ":/balls/bila.bmp"},         {ui_->imgModraOld, ":/balls/modra_old.bmp"},
      {ui_->imgHnedaOld, ":/balls/hneda_old.bmp"}};
  for (std::size_t i = 0; i < std::size(holders); ++i) {
    const QImage picture = readImageFile(QString::fromLatin1(holders[i].second), "BMP");
    holders[i].first->setPixmap(QPixmap::fromImage(picture));
    if (i < pictures_.size()) pictures_[i] = picture.convertToFormat(QImage::Format_RGB32);
  }

  connect(ui_->btnNovaHra, &QPushButton::clicked, this, &TfrmMain::btnNovaHraClick);
  connect(ui_->imgHra, &BoardView::mouseUp, this, &TfrmMain::imgHraMouseUp);
  connect(ui_->btnKonec, &QPushButton::clicked, this, &TfrmMain::btnKonecClick);
  connect(ui_->btnNejlepsiSkore, &QPushButton::clicked, this, &TfrmMain::btnNejlepsiSkoreClick);

  // The hidden edit box carries the path as text, as the window has always done; the
  // directory comes from the system's own path, which keeps every character of it.
  const std::filesystem::path executable = pelorin::executablePath();
  ui_->Edit1->setText(QString::fromStdString(pelorin::pathAsUtf8Text(executable)));
  pelorin::setExeDir(pelorin::directoryOf(executable));

  pelorin::newGame(gameState);  // score 0 and a deal from the clock
  drawBoard();

  ui_->btnNovaHra->setFocus();
  new DesktopCentring(*this, Centring::FirstShowing);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::drawBoard() { ui_->imgHra->drawBoard(gameState.board, pictures_); }

void TfrmMain::showScore() { ui_->panelScore->setText(QString::number(gameState.score)); }

void TfrmMain::btnNovaHraClick() {
  pelorin::newGame(gameState);
  drawBoard();
  showScore();
}

void TfrmMain::imgHraMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
  const auto cell = pelorin::cellAtPixel(x, y);
  if (!cell) return;  // released outside the image after a drag: not a turn
  const pelorin::TurnResult result = pelorin::playTurn(gameState, *cell);
  if (!result.played) return;

  drawBoard();
  if (result.points > 0 || result.cleared) showScore();
  if (result.gameOver) {
    recordScore(gameState.score);
    showScores();
    showScoreWindow();
  }
}

void TfrmMain::btnKonecClick() { QCoreApplication::quit(); }

void TfrmMain::btnNejlepsiSkoreClick() {
  showScores();
  showScoreWindow();
}

void TfrmMain::labelHomepageClick() { openWebPage(homePageAddress()); }

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->labelHomepage && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton &&
        ui_->labelHomepage->rect().contains(mouse->position().toPoint())) {
      labelHomepageClick();
      return true;
    }
  }
  // Return and Enter click a focused button, as Space does: outside a dialog a push button
  // ignores them, and making the buttons default buttons would change how they are drawn.
  if (event->type() == QEvent::KeyPress) {
    auto* button = qobject_cast<QPushButton*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      if (!key->isAutoRepeat()) button->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
