// The board model: geometry after set-up, the legality test over the whole 32-bit range of
// coordinates, and the full-board test.
#include "board_diagram.h"
#include "rules/board.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

namespace {

// The board of these cases.
Board board;

class BoardTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_rules_state(board); }
};

TEST_F(BoardTest, InitialGeometry) {
    EXPECT_EQ(board.first_cell, 42);
    EXPECT_EQ(board.end_cell, 1352);
    for (int i = 0; i <= 41; ++i)
        EXPECT_EQ(board.cell_owner[i], CELL_BORDER) << i;
    EXPECT_EQ(board.cell_owner[81], CELL_BORDER);
    EXPECT_EQ(board.cell_owner[42], CELL_EMPTY);
    EXPECT_EQ(board.cell_owner[1351], CELL_EMPTY);
    EXPECT_EQ(cell_index(board, 0, 0), 42);
    EXPECT_EQ(cell_index(board, 38, 31), 1351);
    const int32_t ring[8] = {-41, -40, 1, 42, 41, 40, -1, -42};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(board.neighbour_offset[k], ring[k]) << k;
    EXPECT_EQ(board.side_to_move, 1);
    EXPECT_EQ(board.score, 0);

    int border_in_range = 0;
    for (int32_t i = board.first_cell; i < board.end_cell; ++i)
        border_in_range += board.cell_owner[i] == CELL_BORDER;
    EXPECT_EQ(board.end_cell - board.first_cell, 1310);
    EXPECT_EQ(border_in_range, 62);
    // The last row of the frame and its cells past the board stay border.
    for (int32_t i = board.end_cell; i < (board.board_cols + 2) * (board.board_rows + 2); ++i)
        EXPECT_EQ(board.cell_owner[i], CELL_BORDER) << i;
}

TEST_F(BoardTest, InitKeepsStampsButResetsCells) {
    board.cell_stamp[100] = 7;
    board.stamp_counter = 7;
    board.cell_owner[100] = 2;
    board.cell_enclosed[100] = 3;
    board.side_to_move = 2;
    board.score = 5;
    init_board(board);
    EXPECT_EQ(board.cell_stamp[100], 7);
    EXPECT_EQ(board.stamp_counter, 7);
    EXPECT_EQ(board.cell_owner[100], CELL_EMPTY);
    EXPECT_EQ(board.cell_enclosed[100], 0);
    EXPECT_EQ(board.side_to_move, 1);
    EXPECT_EQ(board.score, 0);
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
        EXPECT_EQ(is_legal_dot(board, c.x, c.y), c.legal) << c.x << "," << c.y;
}

TEST_F(BoardTest, OccupiedAndEnclosedCellsAreIllegalForBothSides) {
    play(board, 5, 5);
    EXPECT_FALSE(is_legal_dot(board, 5, 5)); // side 1's dot, judged for side 2
    play(board, 6, 6);
    EXPECT_FALSE(is_legal_dot(board, 6, 6));
    EXPECT_FALSE(is_legal_dot(board, 5, 5));
    board.cell_enclosed[cell_index(board, 7, 7)] = 1;
    EXPECT_FALSE(is_legal_dot(board, 7, 7));
    board.side_to_move = 2;
    EXPECT_FALSE(is_legal_dot(board, 7, 7));
    // (41, 0) follows the cell (0, 1).
    EXPECT_TRUE(is_legal_dot(board, 41, 0));
    play(board, 0, 1);
    EXPECT_FALSE(is_legal_dot(board, 41, 0));
}

TEST_F(BoardTest, FullBoardTest) {
    EXPECT_EQ(board_full(board), 0);
    for (int32_t y = 0; y < board.board_rows; ++y)
        for (int32_t x = 0; x < board.board_cols; ++x)
            board.cell_owner[cell_index(board, x, y)] = 1 + (x + y) % 2;
    EXPECT_EQ(board_full(board), 1); // the 62 border cells in the range count as occupied

    // An empty cell inside an enclosure can never take a dot: it counts as taken.
    board.cell_owner[cell_index(board, 10, 10)] = CELL_EMPTY;
    board.cell_enclosed[cell_index(board, 10, 10)] = 1;
    EXPECT_EQ(board_full(board), 1);
    board.cell_enclosed[cell_index(board, 10, 10)] = 0;
    EXPECT_EQ(board_full(board), 0);
}

// A copy, a moved board and an assigned one each hold a position of their own: play on one
// leaves the others as they were, on the window's size and another.
TEST(BoardValueTest, CopiesMovesAndAssignmentsAreIndependentPositions) {
    for (const auto& [cols, rows] : {std::pair{39, 32}, std::pair{7, 5}}) {
        Board original;
        reset_rules_state(original, cols, rows);
        for (const auto& [x, y] : {std::pair{1, 0}, {0, 1}, {2, 1}})
            play_for(original, 1, x, y);
        play_for(original, 2, 1, 1);
        const std::string before = board_diagram(original, 0, 0, 3, 2);

        Board copy = original;
        Board assigned;
        assigned = copy;
        assigned = assigned;     // a board assigned to itself stays whole
        play_for(copy, 1, 1, 2); // closes the ring on the copy only
        EXPECT_EQ(board_diagram(original, 0, 0, 3, 2), before) << cols;
        EXPECT_EQ(board_diagram(copy, 0, 0, 3, 2), ".X..\nXoX.\n.X..\n") << cols;
        EXPECT_EQ(board_diagram(assigned, 0, 0, 3, 2), before) << cols;

        Board moved = std::move(copy);
        play_for(moved, 2, 3, 0);
        EXPECT_EQ(board_diagram(moved, 0, 0, 3, 2), ".X.O\nXoX.\n.X..\n") << cols;
        EXPECT_EQ(side1_balance(moved), 1) << cols;
        EXPECT_EQ(board_diagram(assigned, 0, 0, 3, 2), before) << cols;
        EXPECT_NE(moved.cell_owner.data(), assigned.cell_owner.data());
    }
}

} // namespace
