#include "ui/Startup.h"

#include <QIcon>

#include "ui/Application.h"
#include "ui/Hlavni.h"
#include "ui/ImageFile.h"
#include "ui/Jmeno.h"
#include "ui/Skore.h"

static void initResources() { Q_INIT_RESOURCE(pelorin); }

void createWindows() {
  initResources();
  QApplication::setWindowIcon(
      QIcon(QPixmap::fromImage(readImageFile(QStringLiteral(":/icon/pelorin.png"), "PNG"))));
  frmMain = new TfrmMain;
  frmSkore = new TfrmSkore(frmMain);
  frmJmeno = new TfrmJmeno(frmMain);
}

void destroyWindows() {
  delete frmMain;  // takes the two dialogs with it
  frmMain = nullptr;
  frmSkore = nullptr;
  frmJmeno = nullptr;
}
