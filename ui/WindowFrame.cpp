#include "ui/WindowFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

Qt::WindowFlags fixedWindowFlags(bool minimisable) {
  Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint;
  if (minimisable) return flags | Qt::Window | Qt::WindowMinimizeButtonHint;
  return flags | Qt::Dialog;
}

void centreOnDesktop(QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}
