// The floors that the game's start-up is measured against: a bare Qt Widgets window of the
// game's size (minimal_window, for time and memory) and the same window holding one text label
// (one_label_window, for the instruction count), built from this one file.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "ui/FirstPaintExit.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setFixedSize(402, 201);
#ifdef PELORIN_FLOOR_WITH_LABEL
  window.setWindowTitle(QStringLiteral("One label"));
  QLabel label(QStringLiteral("Navštivte naše stránky"), &window);
  label.move(8, 182);
#else
  window.setWindowTitle(QStringLiteral("Minimal"));
#endif
  FirstPaintExit probe(window);
  window.show();
  return QApplication::exec();
}
