// Where two board pictures differ: the boxes a window redraws after a move.
#include "board_diagram.h"
#include "referee/game_board.h"
#include "referee/move.h"
#include "ui/board_picture.h"
#include "ui/picture_change.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Boxes = std::vector<PixelBox>;

class PictureChangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_rules_state(game_board);
        game_board.last_move_cell = 0;
        build_board_picture(game_board, 804, 675, before);
    }

    // The changed boxes from the picture of SetUp (or the last call) to the current
    // position, sorted.
    Boxes changes() {
        std::vector<DrawCommand> after;
        build_board_picture(game_board, 804, 675, after);
        Boxes boxes;
        changed_boxes(before, after, boxes);
        before = after;
        std::sort(boxes.begin(), boxes.end(), [](const PixelBox& a, const PixelBox& b) {
            return std::tie(a.y0, a.x0, a.y1, a.x1) < std::tie(b.y0, b.x0, b.y1, b.x1);
        });
        return boxes;
    }

    // Plays (x, y) for the side to move and marks it as the latest dot.
    static void move(int32_t x, int32_t y) {
        play(game_board, x, y);
        game_board.last_move_cell = cell_index(game_board, x, y);
    }

    std::vector<DrawCommand> before;
};

TEST(CommandBox, CoversEveryPixelTheCommandCanTouch) {
    EXPECT_EQ(command_box({Shape::fill, 0, 0, 804, 655, BACKGROUND_COLOUR}),
              (PixelBox{0, 0, 804, 655}));
    EXPECT_EQ(command_box({Shape::disc, 6, 6, 35, 35, ENCLOSURE_COLOUR}), (PixelBox{6, 6, 35, 35}));
    // A line's box holds both end points, whichever way it runs.
    EXPECT_EQ(command_box({Shape::line, 20, 20, 780, 20, GRID_COLOUR}),
              (PixelBox{20, 20, 781, 21}));
    EXPECT_EQ(command_box({Shape::line, 40, 641, 40, 20, GRID_COLOUR}),
              (PixelBox{40, 20, 41, 642}));
}

TEST(CommandBox, BoxesMeetOnlyWhenTheyShareAPixel) {
    const PixelBox box{10, 10, 20, 20};
    EXPECT_TRUE(boxes_meet(box, {19, 19, 30, 30}));
    EXPECT_TRUE(boxes_meet(box, {0, 0, 100, 100}));
    EXPECT_FALSE(boxes_meet(box, {20, 10, 30, 20})); // side by side
    EXPECT_FALSE(boxes_meet(box, {10, 20, 20, 30})); // one below the other
    EXPECT_FALSE(boxes_meet(box, {12, 12, 12, 18})); // empty
}

TEST_F(PictureChangeTest, SamePictureChangesNothing) {
    EXPECT_EQ(changes(), Boxes{});
    move(4, 4);
    changes();
    EXPECT_EQ(changes(), Boxes{});
}

TEST_F(PictureChangeTest, AMoveChangesItsDotAndBothMarks) {
    move(4, 4);
    EXPECT_EQ(changes(), (Boxes{{94, 94, 108, 108}, {97, 97, 105, 105}}));
    move(30, 20);
    // The mark leaves the old dot, which itself stays as it was.
    EXPECT_EQ(changes(), (Boxes{{97, 97, 105, 105}, {614, 414, 628, 428}, {617, 417, 625, 425}}));
}

TEST_F(PictureChangeTest, ACaptureChangesTheEnclosedCells) {
    for (auto [x, y] : {std::pair{10, 9}, {11, 9}, {9, 10}, {12, 10}, {10, 11}})
        play_for(game_board, 1, x, y);
    play_for(game_board, 2, 11, 10);
    changes();
    play_for(game_board, 1, 11, 11);
    game_board.last_move_cell = cell_index(game_board, 11, 11);
    // The closing dot with its mark; an enclosure disc on the empty cell and on the captured
    // dot, whose free shade gives way to the dark one (the old and the new command share
    // their box).
    EXPECT_EQ(changes(), (Boxes{{206, 206, 235, 235},
                                {226, 206, 255, 235},
                                {234, 214, 248, 228},
                                {234, 214, 248, 228},
                                {234, 234, 248, 248},
                                {237, 237, 245, 245}}));
}

TEST_F(PictureChangeTest, ANewClientSizeChangesTheBackground) {
    std::vector<DrawCommand> larger;
    build_board_picture(game_board, 900, 700, larger);
    Boxes boxes;
    changed_boxes(before, larger, boxes);
    EXPECT_EQ(boxes, (Boxes{{0, 0, 804, 655}, {0, 0, 900, 680}}));
}

} // namespace
