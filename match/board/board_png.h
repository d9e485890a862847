// The board as the window shows it, saved as a PNG image.
#pragma once

// Draws the board picture of the current game state (the board and last_move_cell) into an
// image of the window's board area, pixel for pixel as the window paints it, and saves it
// as PNG; false when the file cannot be written.
bool save_board_png(const char* path);
