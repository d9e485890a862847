// The board model: geometry after set-up, the legality test over the whole 32-bit range of
// coordinates, and the full-board test.
#include "board_diagram.h"
#include "rules/board.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class BoardTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_rules_state(); }
};

TEST_F(BoardTest, InitialGeometry) {
    EXPECT_EQ(first_cell, 42);
    EXPECT_EQ(end_cell, 1352);
    for (int i = 0; i <= 41; ++i)
        EXPECT_EQ(cell_owner[i], CELL_BORDER) << i;
    EXPECT_EQ(cell_owner[81], CELL_BORDER);
    EXPECT_EQ(cell_owner[42], CELL_EMPTY);
    EXPECT_EQ(cell_owner[1351], CELL_EMPTY);
    EXPECT_EQ(cell_index(0, 0), 42);
    EXPECT_EQ(cell_index(38, 31), 1351);
    const int32_t ring[8] = {-41, -40, 1, 42, 41, 40, -1, -42};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(neighbour_offset[k], ring[k]) << k;
    EXPECT_EQ(side_to_move, 1);
    EXPECT_EQ(score, 0);

    int border_in_range = 0;
    for (int32_t i = first_cell; i < end_cell; ++i)
        border_in_range += cell_owner[i] == CELL_BORDER;
    EXPECT_EQ(end_cell - first_cell, 1310);
    EXPECT_EQ(border_in_range, 62);
    // The last row of the frame and its cells past the board stay border.
    for (int32_t i = end_cell; i < (board_cols + 2) * (board_rows + 2); ++i)
        EXPECT_EQ(cell_owner[i], CELL_BORDER) << i;
}

TEST_F(BoardTest, InitKeepsStampsButResetsCells) {
    cell_stamp[100] = 7;
    stamp_counter = 7;
    cell_owner[100] = 2;
    cell_enclosed[100] = 3;
    side_to_move = 2;
    score = 5;
    init_board();
    EXPECT_EQ(cell_stamp[100], 7);
    EXPECT_EQ(stamp_counter, 7);
    EXPECT_EQ(cell_owner[100], CELL_EMPTY);
    EXPECT_EQ(cell_enclosed[100], 0);
    EXPECT_EQ(side_to_move, 1);
    EXPECT_EQ(score, 0);
}

struct LegalCase {
    int32_t x, y;
    bool legal;
};

TEST_F(BoardTest, LegalityOfPairsOnAnEmptyBoard) {
    const LegalCase cases[] = {
        {0, 0, true},
        {38, 31, true},
        {-1, 0, false}, // left border
        {39, 0, false}, // right border
        {40, 0, false}, // left border of the next row
        {41, 0, true},  // names the cell (0, 1)
        {0, -1, false}, // above the board
        {0, 32, false}, // below the board
        {-1, 32, false},
        {-41, 1, true}, // one row down, one row of cells back: the cell (0, 0)
        {INT32_MAX, INT32_MAX, false},
        {INT32_MIN, INT32_MIN, false},
        {INT32_MAX, INT32_MIN, false},
        {INT32_MIN, INT32_MAX, false},
        {INT32_MIN, 0, false},
        {0, INT32_MAX, false},
        // 41 * 2^30 - 2^30 wraps to 0 in 32 bits, which would name the cell (0, 0).
        {-(1 << 30), 1 << 30, false},
        // Exactly 41 * 52377650 - 2^31 + 42 = 44: the cell (2, 0), far outside in both numbers.
        {INT32_MIN, 52377650, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_legal_dot(c.x, c.y), c.legal) << c.x << "," << c.y;
}

TEST_F(BoardTest, OccupiedAndEnclosedCellsAreIllegalForBothSides) {
    play(5, 5);
    EXPECT_FALSE(is_legal_dot(5, 5)); // side 1's dot, judged for side 2
    play(6, 6);
    EXPECT_FALSE(is_legal_dot(6, 6));
    EXPECT_FALSE(is_legal_dot(5, 5));
    cell_enclosed[cell_index(7, 7)] = 1;
    EXPECT_FALSE(is_legal_dot(7, 7));
    side_to_move = 2;
    EXPECT_FALSE(is_legal_dot(7, 7));
    // (41, 0) follows the cell (0, 1).
    EXPECT_TRUE(is_legal_dot(41, 0));
    play(0, 1);
    EXPECT_FALSE(is_legal_dot(41, 0));
}

TEST_F(BoardTest, FullBoardTest) {
    EXPECT_EQ(board_full(), 0);
    for (int32_t y = 0; y < board_rows; ++y)
        for (int32_t x = 0; x < board_cols; ++x)
            cell_owner[cell_index(x, y)] = 1 + (x + y) % 2;
    EXPECT_EQ(board_full(), 1); // the 62 border cells in the range count as occupied

    // An empty cell inside an enclosure can never take a dot: it counts as taken.
    cell_owner[cell_index(10, 10)] = CELL_EMPTY;
    cell_enclosed[cell_index(10, 10)] = 1;
    EXPECT_EQ(board_full(), 1);
    cell_enclosed[cell_index(10, 10)] = 0;
    EXPECT_EQ(board_full(), 0);
}

} // namespace
