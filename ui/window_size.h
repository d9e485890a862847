// The main window's outer size, from the board size and the platform's caption and frame.
#pragma once

#include "ui/board_picture.h"

#include <algorithm>
#include <cstdint>

struct WindowSize {
    int32_t width;
    int32_t height;
};

// The outer size for a board of cols x rows: 20·cols + 30 wide but at least 750, and
// 20·rows + 60 high. That leaves the board its client area (20·cols + 15 wide, 20·rows + 15
// high above the status bar) only while caption and frame take at most 15 pixels of width
// and 25 of height; larger frames (frame_width, frame_height: outer less client size) grow
// the window by what they take beyond that.
constexpr WindowSize main_window_outer_size(int32_t cols, int32_t rows, int32_t frame_width,
                                            int32_t frame_height) {
    const int32_t width = std::max(20 * cols + 30, int32_t{750});
    const int32_t height = 20 * rows + 60;
    const int32_t client_width = 20 * cols + 15;
    const int32_t client_height = 20 * rows + 15 + STATUS_BAR_HEIGHT;
    return {std::max(width, client_width + frame_width),
            std::max(height, client_height + frame_height)};
}
