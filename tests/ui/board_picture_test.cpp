// The board picture that every window draws: exact boxes, colours and drawing order for
// the background, the grid and each kind of cell, so that a screenshot tells the state of
// every grid point.
#include "board_diagram.h"
#include "referee/game_board.h"
#include "referee/move.h"
#include "ui/board_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The colour's role, or its numbers when it has none.
std::string colour_name(Colour c) {
    const struct {
        Colour colour;
        const char* name;
    } names[] = {
        {BACKGROUND_COLOUR, "background"}, {GRID_COLOUR, "grid"},
        {ENCLOSURE_COLOUR, "enclosure"},   {LATEST_MARK_COLOUR, "mark"},
        {SIDE1_COLOUR, "side1"},           {SIDE1_ENCLOSED_COLOUR, "side1-enclosed"},
        {SIDE2_COLOUR, "side2"},           {SIDE2_ENCLOSED_COLOUR, "side2-enclosed"},
    };
    for (const auto& entry : names)
        if (entry.colour == c)
            return entry.name;
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// One command as text, e.g. "disc 14,14 28,28 side1".
std::string describe(const DrawCommand& c) {
    const char* shape = c.shape == Shape::fill ? "fill" : c.shape == Shape::line ? "line" : "disc";
    return std::string(shape) + " " + std::to_string(c.x0) + "," + std::to_string(c.y0) + " " +
           std::to_string(c.x1) + "," + std::to_string(c.y1) + " " + colour_name(c.colour);
}

// Background and grid come first, one command each per row and column.
constexpr size_t CELL_COMMANDS_START = 1 + FENDREL_ROWS + FENDREL_COLS;

class BoardPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_rules_state(game_board);
        game_board.last_move_cell = 0;
    }

    // The commands after the background and the grid, as text, for the default client area.
    Texts cell_commands() {
        build_board_picture(game_board, 804, 675, picture);
        Texts texts;
        for (size_t i = CELL_COMMANDS_START; i < picture.size(); ++i)
            texts.push_back(describe(picture[i]));
        return texts;
    }

    static void put(int32_t x, int32_t y, int32_t owner, int32_t enclosed) {
        game_board.cell_owner[cell_index(game_board, x, y)] = owner;
        game_board.cell_enclosed[cell_index(game_board, x, y)] = enclosed;
    }

    std::vector<DrawCommand> picture;
};

TEST(BoardColours, BrushesAndStockObjects) {
    EXPECT_EQ(BACKGROUND_COLOUR, (Colour{192, 192, 192}));
    EXPECT_EQ(GRID_COLOUR, (Colour{0, 0, 0}));
    EXPECT_EQ(ENCLOSURE_COLOUR, (Colour{128, 128, 128}));
    EXPECT_EQ(LATEST_MARK_COLOUR, (Colour{255, 255, 255}));
    EXPECT_EQ(SIDE1_COLOUR, (Colour{255, 50, 50}));
    EXPECT_EQ(SIDE1_ENCLOSED_COLOUR, (Colour{127, 50, 50}));
    EXPECT_EQ(SIDE2_COLOUR, (Colour{50, 50, 255}));
    EXPECT_EQ(SIDE2_ENCLOSED_COLOUR, (Colour{50, 50, 127}));
}

TEST_F(BoardPictureTest, EmptyBoardIsBackgroundThenGrid) {
    build_board_picture(game_board, 804, 675, picture);
    ASSERT_EQ(picture.size(), CELL_COMMANDS_START);
    // The band of the status bar at the bottom is left alone.
    EXPECT_EQ(describe(picture[0]), "fill 0,0 804,655 background");
    // Horizontal lines stop one pixel short of the last column's grid point (the end point
    // is not drawn), where the last vertical line passes; vertical lines reach the last row.
    for (int32_t i = 0; i < game_board.board_rows; ++i) {
        const std::string y = std::to_string(20 + 20 * i);
        EXPECT_EQ(describe(picture[1 + i]), "line 20," + y + " 780," + y + " grid");
    }
    for (int32_t j = 0; j < game_board.board_cols; ++j) {
        const std::string x = std::to_string(20 + 20 * j);
        EXPECT_EQ(describe(picture[1 + game_board.board_rows + j]),
                  "line " + x + ",20 " + x + ",641 grid");
    }
}

TEST_F(BoardPictureTest, BackgroundFollowsTheClientArea) {
    build_board_picture(game_board, 900, 760, picture);
    EXPECT_EQ(describe(picture.front()), "fill 0,0 900,740 background");
    EXPECT_EQ(picture.size(), CELL_COMMANDS_START);
}

TEST_F(BoardPictureTest, EachKindOfCellInDrawingOrder) {
    put(0, 0, 1, 0);            // side 1, free
    put(1, 0, CELL_EMPTY, 1);   // empty inside an enclosure
    put(2, 0, 2, 1);            // side 2, captured
    put(38, 0, 2, 0);           // side 2, free, in the last column
    put(0, 1, 1, 2);            // side 1, captured twice: the same dark shade
    put(37, 31, CELL_EMPTY, 3); // empty inside three enclosures: one grey disc
    put(38, 31, 1, 0);          // side 1, free, in the last cell
    // Rows top to bottom, columns left to right; per cell the grey disc under the dot.
    EXPECT_EQ(cell_commands(), (Texts{
                                   "disc 14,14 28,28 side1",
                                   "disc 26,6 55,35 enclosure",
                                   "disc 46,6 75,35 enclosure",
                                   "disc 54,14 68,28 side2-enclosed",
                                   "disc 774,14 788,28 side2",
                                   "disc 6,26 35,55 enclosure",
                                   "disc 14,34 28,48 side1-enclosed",
                                   "disc 746,626 775,655 enclosure",
                                   "disc 774,634 788,648 side1",
                               }));
}

TEST_F(BoardPictureTest, NoMarkBeforeTheFirstMove) {
    put(4, 4, 1, 0);
    put(5, 4, 2, 0);
    // last_move_cell is 0, a border cell, which is never drawn.
    EXPECT_EQ(cell_commands(), (Texts{"disc 94,94 108,108 side1", "disc 114,94 128,108 side2"}));
}

TEST_F(BoardPictureTest, MarkSitsOnTheLatestDotOnly) {
    put(4, 4, 1, 0);
    put(5, 4, 2, 0);
    game_board.last_move_cell = cell_index(game_board, 5, 4);
    EXPECT_EQ(cell_commands(), (Texts{"disc 94,94 108,108 side1", "disc 114,94 128,108 side2",
                                      "disc 117,97 125,105 mark"}));

    game_board.last_move_cell = cell_index(game_board, 38, 31);
    put(38, 31, 2, 0);
    EXPECT_EQ(cell_commands().back(), "disc 777,637 785,645 mark");
}

TEST_F(BoardPictureTest, MarkStaysOnACoveredLatestDot) {
    put(6, 6, 2, 1);
    game_board.last_move_cell = cell_index(game_board, 6, 6);
    EXPECT_EQ(cell_commands(),
              (Texts{"disc 126,126 155,155 enclosure", "disc 134,134 148,148 side2-enclosed",
                     "disc 137,137 145,145 mark"}));
}

TEST_F(BoardPictureTest, CapturedDotAndCoveredEmptyCellOfARealGame) {
    // Side 1 closes a ring around a dot of side 2 and an empty cell beside it.
    for (auto [x, y] : {std::pair{10, 9}, {11, 9}, {9, 10}, {12, 10}, {10, 11}})
        play_for(game_board, 1, x, y);
    play_for(game_board, 2, 11, 10);
    play_for(game_board, 1, 11, 11);
    game_board.last_move_cell = cell_index(game_board, 11, 11);
    build_board_picture(game_board, 804, 675, picture);
    Texts ring_area; // leaves out the other side's moves on the bottom rows
    for (size_t i = CELL_COMMANDS_START; i < picture.size(); ++i)
        if (picture[i].y1 < 400)
            ring_area.push_back(describe(picture[i]));
    EXPECT_EQ(ring_area, (Texts{
                             "disc 214,194 228,208 side1",
                             "disc 234,194 248,208 side1",
                             "disc 194,214 208,228 side1",
                             "disc 206,206 235,235 enclosure",
                             "disc 226,206 255,235 enclosure",
                             "disc 234,214 248,228 side2-enclosed",
                             "disc 254,214 268,228 side1",
                             "disc 214,234 228,248 side1",
                             "disc 234,234 248,248 side1",
                             "disc 237,237 245,245 mark",
                         }));
}

} // namespace
