#pragma once

#include <QWidget>
#include <memory>

#include "game/Board.h"
#include "ui/BoardView.h"

namespace Ui {
class TfrmMain;
}

// The one game under way; the main window shows it and the turn changes it.
extern pelorin::GameState gameState;

// The main window: the board, the score panel, three buttons and the status bar.
class TfrmMain : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  void drawBoard();
  void showScore();

 public Q_SLOTS:
  void btnNovaHraClick();
  void imgHraMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void btnKonecClick();
  void btnNejlepsiSkoreClick();
  void labelHomepageClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::TfrmMain> ui_;
  BoardView::Pictures pictures_;
};

extern TfrmMain* frmMain;
