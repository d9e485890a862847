// Painting of the board in the main window.
#pragma once

// Answers WM_PAINT of the main window: draws the whole board picture into the back buffer
// and copies it to the window in one transfer. Window's thread only.
void paint_board();
