// GoogleTest main for the tests that drive the real windows (headless on the offscreen
// platform unless a display is chosen).
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/Application.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  Application application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
