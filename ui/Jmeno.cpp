#include "ui/Jmeno.h"

#include <algorithm>

#include "platform/ExeDir.h"
#include "scores/disk/ScoreFile.h"
#include "ui/NameCodec.h"
#include "ui/NameText.h"
#include "ui/Skore.h"
#include "ui/TextFaces.h"
#include "ui/WindowFrame.h"
#include "ui_Jmeno.h"

TfrmJmeno* frmJmeno = nullptr;

namespace {
// Where the dialog opens, as laid out; it is not centred.
constexpr QPoint kLaidOutPosition{149, 154};
}  // namespace

TfrmJmeno::TfrmJmeno(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TfrmJmeno>()) {
  ui_->setupUi(this);
  keepLaidOutFaces(*this);
  setObjectName(QStringLiteral("frmJmeno"));
  setWindowFlags(fixedWindowFlags(false));
  useScreenColormapWhenShown(*this);
  connect(ui_->Button1, &QPushButton::clicked, this, &TfrmJmeno::Button1Click);
  ui_->Edit1->setValidator(new NameValidator(ui_->Edit1));
  // The score keeps its place unless a wider face makes "Tvé skóre je:" reach it; then it
  // keeps the laid-out gap behind that text.
  const int laidOutGap = ui_->Label3->x() - (ui_->Label2->geometry().right() + 1);
  for (QLabel* label : {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4}) label->adjustSize();
  ui_->Label3->move(std::max(ui_->Label3->x(), ui_->Label2->geometry().right() + 1 + laidOutGap),
                    ui_->Label3->y());
  move(kLaidOutPosition);
}

TfrmJmeno::~TfrmJmeno() = default;

void TfrmJmeno::setScore(std::int32_t score) {
  ui_->Label3->setText(QString::number(score));
  ui_->Label3->adjustSize();
}

QString TfrmJmeno::name() const { return ui_->Edit1->text(); }

void TfrmJmeno::Button1Click() { close(); }

void recordScore(std::int32_t score) {
  pelorin::enterExeDir();
  pelorin::ScoreKeeping keeping = pelorin::ScoreKeeping::toRecord(score);
  pelorin::keepOnDisk(keeping, pelorin::scorePlacesOf(pelorin::exeDir()), [](std::int32_t result) {
    frmJmeno->setScore(result);
    frmJmeno->exec();  // however it was closed, the name is taken
    return encodeName(frmJmeno->name());
  });
  if (keeping.hasTable()) scoreTable = keeping.table();
}
