// The board as the window shows it, as an image and saved as a PNG file.
#pragma once

#include "rules/board.h"

#include <QImage>

// The board picture of a board (its dots and last_move_cell) drawn into an image of its
// board area, 20 pixels a point, pixel for pixel as the window paints it.
QImage board_image(const Board& board);

// Saves board_image(board) as PNG; false when the file cannot be written.
bool save_board_png(const Board& board, const char* path);
