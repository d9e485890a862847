// The board as a list of drawing commands, in drawing order: what every window paints,
// whatever its drawing API. Geometry in client pixels: grid pitch 20, the grid point of
// (x, y) at (20 + 20x, 20 + 20y); the bottom 20 pixels belong to the status bar.
#pragma once

#include "rules/board.h"
#include "ui/geometry.h"

#include <cstdint>
#include <vector>

struct Colour {
    uint8_t r, g, b;
    bool operator==(const Colour&) const = default;
};

constexpr Colour BACKGROUND_COLOUR{192, 192, 192};  // the light-gray stock brush
constexpr Colour GRID_COLOUR{0, 0, 0};              // the black stock pen
constexpr Colour ENCLOSURE_COLOUR{128, 128, 128};   // the gray stock brush
constexpr Colour LATEST_MARK_COLOUR{255, 255, 255}; // the white stock brush
constexpr Colour SIDE1_COLOUR{255, 50, 50};
constexpr Colour SIDE1_ENCLOSED_COLOUR{127, 50, 50};
constexpr Colour SIDE2_COLOUR{50, 50, 255};
constexpr Colour SIDE2_ENCLOSED_COLOUR{50, 50, 127};

enum class Shape {
    fill, // the rectangle x0 <= x < x1, y0 <= y < y1
    line, // a one-pixel line from (x0, y0) towards (x1, y1), the end point not drawn
    disc, // a filled ellipse without outline in the box (x0, y0)-(x1, y1), as GDI's
          // Ellipse takes its bounding box
};

struct DrawCommand {
    Shape shape;
    int32_t x0, y0, x1, y1;
    Colour colour;
    bool operator==(const DrawCommand&) const = default;
};

// Replaces `picture` with the commands for the board in a client area of the given size:
// background, grid lines, then cell by cell (rows top to bottom, columns left to right) the
// enclosure disc, the dot and the mark on the latest dot (last_move_cell). The window's
// board is read where moves cannot run at the same time (the window's thread).
void build_board_picture(const Board& board, int32_t client_width, int32_t client_height,
                         std::vector<DrawCommand>& picture);
