// Mouse input: a left click on the board plays for the side to move when no running engine
// plays that side.
#pragma once

#include "ui/geometry.h"

#include <cstdint>

struct BoardPoint {
    int32_t x;
    int32_t y;
};

// The board point nearest to a client pixel; division truncates toward zero.
constexpr BoardPoint cell_from_point(int32_t px, int32_t py) {
    constexpr int32_t first_edge = GRID_ORIGIN - GRID_PITCH / 2;
    return {(px - first_edge) / GRID_PITCH, (py - first_edge) / GRID_PITCH};
}

// A left click at client pixel (px, py), on the window's thread: ignored while the side to
// move has a running engine, otherwise passed to make_move.
void handle_click(int32_t px, int32_t py);
