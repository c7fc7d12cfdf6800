#include "ui/Startup.h"

#include <QIcon>
#include <cstring>

#include "ui/Application.h"
#include "ui/Hlavni.h"
#include "ui/ImageFile.h"
#include "ui/Jmeno.h"
#include "ui/Skore.h"
#include "ui/TextFaces.h"

static void initResources() { Q_INIT_RESOURCE(pelorin); }

void createWindows() {
  initResources();
  QApplication::setWindowIcon(
      QIcon(QPixmap::fromImage(readImageFile(QStringLiteral(":/icon/pelorin.png"), "PNG"))));
  const DialogFaceWhileMakingWindows dialogFace;
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

bool askForX11OnWayland(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY") ||
      qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    return false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0) return false;
  return qputenv("QT_QPA_PLATFORM", "xcb");
}

void withdrawAskingForX11() { qunsetenv("QT_QPA_PLATFORM"); }
