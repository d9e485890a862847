// The window's geometry: the outer size that leaves the board its client area, and the
// board point that a click in that area names.
#include "referee/game_board.h"
#include "ui/click.h"
#include "ui/geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowSize, DefaultBoardIs810By700WithFramesUpToTheBoardsMargin) {
    for (auto [frame_width, frame_height] : {std::pair{0, 0}, {6, 25}, {15, 25}, {15, 0}}) {
        const WindowSize size = main_window_outer_size(39, 32, frame_width, frame_height);
        EXPECT_EQ(size.width, 810) << frame_width;
        EXPECT_EQ(size.height, 700) << frame_height;
    }
}

TEST(WindowSize, LargerFramesGrowTheWindowByTheirExcess) {
    const WindowSize size = main_window_outer_size(39, 32, 16, 45);
    EXPECT_EQ(size.width, 811);
    EXPECT_EQ(size.height, 720);
    // The client area is then just what the board needs: 795 wide, 655 plus the status bar.
    EXPECT_EQ(size.width - 16, 20 * 39 + 15);
    EXPECT_EQ(size.height - 45, 20 * 32 + 15 + STATUS_BAR_HEIGHT);
}

TEST(WindowSize, NarrowBoardsKeepTheMinimumWidth) {
    EXPECT_EQ(main_window_outer_size(36, 32, 6, 25).width, 750);
    EXPECT_EQ(main_window_outer_size(10, 5, 6, 25).width, 750);
    EXPECT_EQ(main_window_outer_size(10, 5, 6, 25).height, 160);
    EXPECT_EQ(main_window_outer_size(37, 32, 6, 25).width, 770);
    // The minimum already leaves room for a large frame around a narrow board.
    EXPECT_EQ(main_window_outer_size(30, 32, 100, 25).width, 750);
}

// Column c takes the clicks from 20c + 10 to 20c + 29, column 0 all those from 0 to 29
// (division truncates toward zero); rows likewise.
TEST(ClickMapping, EveryPixelOfTheDefaultClientArea) {
    for (int32_t p = 0; p <= 29; ++p) {
        EXPECT_EQ(cell_from_point(p, 100).x, 0) << p;
        EXPECT_EQ(cell_from_point(100, p).y, 0) << p;
    }
    for (int32_t c = 1; c <= FENDREL_COLS; ++c) {
        EXPECT_EQ(cell_from_point(20 * c + 10, 0).x, c);
        EXPECT_EQ(cell_from_point(20 * c + 29, 0).x, c);
    }
    // Past the last column and the last row: the right border column and the row below the
    // board, both refused by the move handling.
    for (int32_t px = 790; px < 804; ++px)
        EXPECT_EQ(cell_from_point(px, 0).x, FENDREL_COLS) << px;
    for (int32_t py = 650; py < 655; ++py)
        EXPECT_EQ(cell_from_point(0, py).y, FENDREL_ROWS) << py;
    EXPECT_FALSE(is_legal_dot(game_board, FENDREL_COLS, 0));
    EXPECT_FALSE(is_legal_dot(game_board, 0, FENDREL_ROWS));
}

} // namespace
