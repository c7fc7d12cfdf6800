#pragma once

// Creates the three windows in order: the main window, then the score table and the name
// dialog, both hidden. The main window's constructor deals and draws the first board.
void createWindows();

// Destroys them again (the dialogs belong to the main window).
void destroyWindows();

// On a Wayland desktop with an X server beside it (XWayland), asks Qt for its X11 platform,
// unless the player chose one (QT_QPA_PLATFORM or -platform). Compositors that leave the title
// bar to the program get Qt's own, which cuts the title and offers a maximise button on a
// fixed-size window; around an X11 window the desktop draws its frame, with the whole title
// and only the buttons the window asks for. Call before the application object exists; true
// if it asked, and then withdrawAskingForX11() once it exists.
bool askForX11OnWayland(int argc, char** argv);

// The programs the game starts (the browser) choose their platform for themselves.
void withdrawAskingForX11();
