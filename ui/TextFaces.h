#pragma once

class QWidget;

// Keeps the faces that a window's layout names and gives each fallbacks of its own kind where
// the system lacks it: "MS Sans Serif" (the classic dialog face) its TrueType successor, and
// every face the sans-serif face that every Windows has, then the system's sans-serif face;
// never a serif one.
void keepLaidOutFaces(QWidget& window);
