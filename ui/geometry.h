// The window's geometry in pixels, the one copy that both windows, the board picture, the
// board's PNG and the click share. Client pixels count from the client area's top left.
#pragma once

#include <algorithm>
#include <cstdint>

// The grid: the grid point of column x, row y is at (GRID_ORIGIN + GRID_PITCH·x,
// GRID_ORIGIN + GRID_PITCH·y).
constexpr int32_t GRID_PITCH = 20;
constexpr int32_t GRID_ORIGIN = 20;

// The band at the bottom of the client area that belongs to the status bar.
constexpr int32_t STATUS_BAR_HEIGHT = 20;

// Right edges of status parts 0 to 4, in the bar's pixels; part 5 runs to the bar's end.
constexpr int32_t STATUS_PART_RIGHT_EDGES[5] = {125, 165, 290, 330, 365};

// The board's part of the client area, above the status bar: the grid and a margin of
// 15 pixels beyond its last column and row.
constexpr int32_t board_area_width(int32_t cols) {
    return GRID_PITCH * cols + 15;
}
constexpr int32_t board_area_height(int32_t rows) {
    return GRID_PITCH * rows + 15;
}

// The outer size the Windows program gives its window: 20·cols + 30 wide but at least
// 750, and 20·rows + 60 high. It leaves the board its area only while caption and frame
// take at most NOMINAL_FRAME_WIDTH pixels of width and NOMINAL_FRAME_HEIGHT of height.
constexpr int32_t MIN_OUTER_WIDTH = 750;
constexpr int32_t NOMINAL_FRAME_WIDTH = 15;
constexpr int32_t NOMINAL_FRAME_HEIGHT = 25;
constexpr int32_t nominal_outer_width(int32_t cols) {
    return std::max(GRID_PITCH * cols + 30, MIN_OUTER_WIDTH);
}
constexpr int32_t nominal_outer_height(int32_t rows) {
    return GRID_PITCH * rows + 60;
}

struct WindowSize {
    int32_t width;
    int32_t height;
};

// The outer size for a board of cols x rows on a platform whose caption and frame take
// frame_width and frame_height (outer less client size): the nominal size, grown by what
// larger frames take beyond the nominal ones.
constexpr WindowSize main_window_outer_size(int32_t cols, int32_t rows, int32_t frame_width,
                                            int32_t frame_height) {
    const int32_t client_width = board_area_width(cols);
    const int32_t client_height = board_area_height(rows) + STATUS_BAR_HEIGHT;
    return {std::max(nominal_outer_width(cols), client_width + frame_width),
            std::max(nominal_outer_height(rows), client_height + frame_height)};
}
