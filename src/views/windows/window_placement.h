#pragma once
// Where the program's secondary windows open. User-interface thread only.
class QWidget;

// Centres the window over its parent window or, without one, over the application's main
// window, with its top-left corner on that window's screen. The window's own frame may not be known before
// it is first on the screen; the main window's frame stands in for it then. A window with
// neither stays where it is.
void centre_over_parent(QWidget *window);
