#include <exception>

#include "ui/Application.h"
#include "ui/FirstPaintExit.h"
#include "ui/Hlavni.h"
#include "ui/Startup.h"

int main(int argc, char** argv) {
  const bool askedForX11 = askForX11OnWayland(argc, argv);
  Application application(argc, argv);
  if (askedForX11) withdrawAskingForX11();
  try {
    createWindows();
    FirstPaintExit probe(*frmMain);
    frmMain->show();
    Application::exec();
  } catch (const std::exception& error) {
    showExceptionBox(QString::fromUtf8(error.what()));  // our messages are UTF-8 everywhere
  }
  destroyWindows();
  return 0;
}
