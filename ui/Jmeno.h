#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

namespace Ui {
class TfrmJmeno;
}

// The name-entry dialog of a qualifying result. It keeps the last name typed in this run.
class TfrmJmeno : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmJmeno(QWidget* parent = nullptr);
  ~TfrmJmeno() override;

  void setScore(std::int32_t score);
  QString name() const;

 public Q_SLOTS:
  void Button1Click();

 private:
  std::unique_ptr<Ui::TfrmJmeno> ui_;
};

extern TfrmJmeno* frmJmeno;

// Offers a finished game's score to the table: a qualifying result asks for the player's
// name and rewrites the score file. Nothing is shown when the file cannot be read.
void recordScore(std::int32_t score);
