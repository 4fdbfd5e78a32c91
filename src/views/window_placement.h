#pragma once
// Where the program's secondary windows open. User-interface thread only.
class QWidget;

// Centres the window over its parent window; a window without parent stays where it is.
void centre_over_parent(QWidget *window);
