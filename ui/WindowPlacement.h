#pragma once

class QWidget;

// Centres a window on the desktop of the screen it is on (or the primary screen).
void centreOnDesktop(QWidget& window);
