// The board as the window shows it, as an image and saved as a PNG file.
#pragma once

#include <QImage>

// The board picture of the current game state (the board and last_move_cell) drawn into an
// image of the window's board area, pixel for pixel as the window paints it.
QImage board_image();

// Saves board_image() as PNG; false when the file cannot be written.
bool save_board_png(const char* path);
