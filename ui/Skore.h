#pragma once

#include <QDialog>
#include <memory>

#include "scores/rules/ScoreTable.h"

namespace Ui {
class TfrmSkore;
}

// The working copy of the score table, read afresh from the file by every user.
extern pelorin::ScoreTable scoreTable;

// The score-table window: ten names on the left, their scores on the right.
class TfrmSkore : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmSkore(QWidget* parent = nullptr);
  ~TfrmSkore() override;

  // Shows the table in the labels (the caller has just read it).
  void showTable(const pelorin::ScoreTable& table);

 public Q_SLOTS:
  void Button1Click();

 private:
  std::unique_ptr<Ui::TfrmSkore> ui_;
};

extern TfrmSkore* frmSkore;

// Reads the score file into the window's labels; if it cannot be read, they stay as they were
// (before any table is read, the default table stands there).
void showScores();

// Shows the score-table window modally, centred on the desktop.
void showScoreWindow();
