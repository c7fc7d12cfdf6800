#include "ui/Skore.h"

#include <QLabel>

#include "platform/ExeDir.h"
#include "scores/disk/ScoreFile.h"
#include "scores/rules/PlayerName.h"
#include "ui/TextFaces.h"
#include "ui/WindowFrame.h"
#include "ui_Skore.h"

pelorin::ScoreTable scoreTable;
TfrmSkore* frmSkore = nullptr;

TfrmSkore::TfrmSkore(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfrmSkore>()) {
  ui_->setupUi(this);
  keepLaidOutFaces(*this);
  setObjectName(QStringLiteral("frmSkore"));
  setWindowFlags(fixedWindowFlags(false));
  useScreenColormapWhenShown(*this);
  connect(ui_->Button1, &QPushButton::clicked, this, &TfrmSkore::Button1Click);
  new DesktopCentring(*this, Centring::EveryShowing);
  // Until a table is read, the one the game would create stands in the labels: the layout's
  // captions are placeholders, never shown.
  showTable(pelorin::defaultScoreTable());
}

TfrmSkore::~TfrmSkore() = default;

void TfrmSkore::showTable(const pelorin::ScoreTable& table) {
  QLabel* const names[] = {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4, ui_->Label5,
                           ui_->Label6, ui_->Label7, ui_->Label8, ui_->Label9, ui_->Label10};
  QLabel* const scores[] = {ui_->Label11, ui_->Label12, ui_->Label13, ui_->Label14, ui_->Label15,
                            ui_->Label16, ui_->Label17, ui_->Label18, ui_->Label19, ui_->Label20};
  for (int row = 0; row < pelorin::kScoreRows; ++row) {
    names[row]->setText(QString::fromStdU16String(pelorin::shownName(table, row)));
  }
  for (int row = 0; row < pelorin::kScoreRows; ++row) {
    scores[row]->setText(QString::number(table.scoreValues[row]));
  }
}

void TfrmSkore::Button1Click() { close(); }

void showScores() {
  pelorin::enterExeDir();
  pelorin::ScoreKeeping keeping = pelorin::ScoreKeeping::toShow();
  pelorin::keepOnDisk(keeping, pelorin::scorePlacesOf(pelorin::exeDir()));
  if (!keeping.hasTable()) return;
  scoreTable = keeping.table();
  frmSkore->showTable(scoreTable);
}

void showScoreWindow() {
  frmSkore->exec();  // centred on the desktop as it appears
}
