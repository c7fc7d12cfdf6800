#pragma once

// Creates the three windows in order: the main window, then the score table and the name
// dialog, both hidden. The main window's constructor deals and draws the first board.
void createWindows();

// Destroys them again (the dialogs belong to the main window).
void destroyWindows();
