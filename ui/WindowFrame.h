#pragma once

#include <Qt>

class QWidget;

// A fixed-size window with a system menu and a close box; `minimisable` adds the
// minimise button (the main window), never a maximise button.
Qt::WindowFlags fixedWindowFlags(bool minimisable);

// Centres a window on the desktop of the screen it is on (or the primary screen).
void centreOnDesktop(QWidget& window);
