// Capture by enclosure on hand-made positions, each drawn as a diagram of the area around it
// (see board_diagram.h for the letters). Sides alternate; the other side's moves are made
// far away on the bottom rows.
#include "board_diagram.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <gtest/gtest.h>

namespace {

// The board of these cases.
Board board;

class CaptureTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_rules_state(board); }

    static int32_t count_at(int32_t x, int32_t y) {
        return board.cell_enclosed[cell_index(board, x, y)];
    }
};

TEST_F(CaptureTest, DiamondCapturesOneDot) {
    play_for(board, 1, 5, 4);
    play_for(board, 1, 4, 5);
    play_for(board, 1, 6, 5);
    play_for(board, 2, 5, 5);
    const int32_t stamps_before = board.stamp_counter;
    play_for(board, 1, 5, 6);
    EXPECT_EQ(board_diagram(board, 4, 4, 6, 6), ".X.\n"
                                                "XoX\n"
                                                ".X.\n");
    EXPECT_EQ(board.side_to_move, 2);
    EXPECT_EQ(board.score, -1);
    EXPECT_EQ(board.stamp_counter, stamps_before + 2); // the outer gap is flooded and dropped
}

TEST_F(CaptureTest, EmptyCellInsideIsCoveredButScoresNothing) {
    for (auto [x, y] : {std::pair{10, 9}, {11, 9}, {9, 10}, {12, 10}, {10, 11}})
        play_for(board, 1, x, y);
    play_for(board, 2, 11, 10);
    play_for(board, 1, 11, 11);
    EXPECT_EQ(board_diagram(board, 9, 9, 12, 11), ".XX.\n"
                                                  "X+oX\n"
                                                  ".XX.\n");
    EXPECT_EQ(side1_balance(board), 1);
    EXPECT_FALSE(is_legal_dot(board, 10, 10));
    play_for(board, 2, 20, 20);
    EXPECT_FALSE(is_legal_dot(board, 10, 10));
}

TEST_F(CaptureTest, FloodOntoTheFrameCapturesNothing) {
    play_for(board, 1, 0, 4);
    play_for(board, 2, 0, 5);
    play_for(board, 1, 1, 5);
    play_for(board, 1, 0, 6);
    EXPECT_EQ(board_diagram(board, 0, 4, 1, 6), "X.\n"
                                                "OX\n"
                                                "X.\n");
    EXPECT_EQ(side1_balance(board), 0);
}

TEST_F(CaptureTest, TwoRegionsAtOnce) {
    play_for(board, 1, 5, 4);
    play_for(board, 2, 5, 5);
    play_for(board, 1, 4, 5);
    play_for(board, 2, 5, 7);
    for (auto [x, y] : {std::pair{6, 5}, {4, 7}, {6, 7}, {5, 8}})
        play_for(board, 1, x, y);
    const int32_t stamps_before = board.stamp_counter;
    play_for(board, 1, 5, 6);
    EXPECT_EQ(board_diagram(board, 4, 4, 6, 8), ".X.\n"
                                                "XoX\n"
                                                ".X.\n"
                                                "XoX\n"
                                                ".X.\n");
    EXPECT_EQ(side1_balance(board), 2);
    EXPECT_EQ(board.stamp_counter, stamps_before + 4); // east, south, west, north
}

TEST_F(CaptureTest, OneRegionBehindTwoGapsCountsOnce) {
    play_for(board, 2, 10, 12);
    for (auto [x, y] : {std::pair{11, 9},
                        {9, 9},
                        {10, 11},
                        {12, 10},
                        {12, 11},
                        {12, 12},
                        {11, 13},
                        {10, 13},
                        {9, 13},
                        {8, 12},
                        {8, 11},
                        {8, 10}})
        play_for(board, 1, x, y);
    play_for(board, 1, 10, 10);
    EXPECT_EQ(board_diagram(board, 8, 9, 12, 13), ".X.X.\n"
                                                  "X+X+X\n"
                                                  "X+X+X\n"
                                                  "X+o+X\n"
                                                  ".XXX.\n");
    EXPECT_EQ(side1_balance(board), 1);
}

TEST_F(CaptureTest, RecaptureFreesTheEnclosedDot) {
    play_for(board, 1, 10, 19);
    play_for(board, 2, 10, 20);
    for (auto [x, y] : {std::pair{9, 20}, {11, 20}, {10, 21}})
        play_for(board, 1, x, y);
    ASSERT_EQ(side1_balance(board), 1);
    for (auto [x, y] :
         {std::pair{10, 18}, {9, 19}, {11, 19}, {8, 20}, {12, 20}, {9, 21}, {11, 21}, {10, 22}})
        play_for(board, 2, x, y);
    EXPECT_EQ(board_diagram(board, 8, 18, 12, 22), "..O..\n"
                                                   ".OxO.\n"
                                                   "OxOxO\n"
                                                   ".OxO.\n"
                                                   "..O..\n");
    EXPECT_EQ(count_at(10, 20), 0);
    EXPECT_EQ(side1_balance(board), -4);
}

TEST_F(CaptureTest, EnclosingAgainFromACorner) {
    for (auto [x, y] : {std::pair{20, 19}, {19, 20}, {21, 20}, {20, 21}})
        play_for(board, 1, x, y);
    ASSERT_EQ(count_at(20, 20), 1);
    const int32_t balance = side1_balance(board);
    play_for(board, 1, 21, 19);
    EXPECT_EQ(board_diagram(board, 19, 19, 21, 21), ".XX\n"
                                                    "X2X\n"
                                                    ".X.\n");
    EXPECT_EQ(side1_balance(board), balance);
}

TEST_F(CaptureTest, GapCountingDecidesWhetherAnythingIsFlooded) {
    play_for(board, 1, 15, 15); // no own neighbour
    EXPECT_EQ(board.stamp_counter, 0);
    play_for(board, 1, 16, 15); // one own neighbour: one gap
    EXPECT_EQ(board.stamp_counter, 0);
    play_for(board, 1, 17, 15); // extends the line at its end: one gap
    EXPECT_EQ(board.stamp_counter, 0);
    play_for(board, 1, 19, 15);
    play_for(board, 1, 18, 15); // between two own dots of a line: two open gaps
    EXPECT_EQ(board.stamp_counter, 2);
    EXPECT_EQ(board.score, 0);
    for (int32_t i = board.first_cell; i < board.end_cell; ++i)
        EXPECT_EQ(board.cell_enclosed[i], 0) << i;
}

TEST_F(CaptureTest, CapturedOwnDotSeparatesGapsAndIsFloodedThrough) {
    play_for(board, 1, 20, 10);
    for (auto [x, y] : {std::pair{20, 9}, {19, 10}, {21, 10}, {20, 11}})
        play_for(board, 2, x, y);
    ASSERT_EQ(count_at(20, 10), 1);
    play_for(board, 1, 22, 12);
    const int32_t stamps_before = board.stamp_counter;
    const int32_t balance = side1_balance(board);
    // Own neighbours of (21, 11): the captured (20, 10) and the free (22, 12): two gaps.
    play_for(board, 1, 21, 11);
    EXPECT_EQ(board.stamp_counter, stamps_before + 2);
    // Both floods reach the frame, one of them through the captured dot; all is rolled back.
    EXPECT_EQ(count_at(20, 10), 1);
    EXPECT_EQ(side1_balance(board), balance);
}

TEST_F(CaptureTest, TwiceCapturedDotIsFreedOncePerFlood) {
    play_for(board, 1, 30, 10);
    for (auto [x, y] : {std::pair{30, 9}, {29, 10}, {31, 10}, {30, 11}, {31, 9}})
        play_for(board, 2, x, y);
    ASSERT_EQ(count_at(30, 10), 2);
    ASSERT_EQ(side1_balance(board), -1);
    // A ring of side 1 around the whole group; (31, 12) closes it, diagonally to (32, 11).
    for (int32_t x = 28; x <= 32; ++x)
        play_for(board, 1, x, 8);
    for (int32_t y = 9; y <= 11; ++y) {
        play_for(board, 1, 28, y);
        play_for(board, 1, 32, y);
    }
    for (int32_t x = 28; x <= 31; ++x)
        play_for(board, 1, x, 12);
    EXPECT_EQ(board_diagram(board, 28, 8, 32, 12), "XXXXX\n"
                                                   "X+ooX\n"
                                                   "XoxoX\n"
                                                   "X+o+X\n"
                                                   "XXXX.\n");
    // Reached from four sides, the dot is freed once: its count falls from 2 to 1.
    EXPECT_EQ(count_at(30, 10), 1);
    // Five dots newly captured, one freed: the balance goes from -1 to +5.
    EXPECT_EQ(side1_balance(board), 5);
}

TEST_F(CaptureTest, UndoRestoresCountsAndScoreExactly) {
    play_for(board, 2, 5, 5);
    play_for(board, 1, 6, 6);
    const int32_t cells[] = {cell_index(board, 5, 5), cell_index(board, 6, 6),
                             cell_index(board, 7, 7)};
    // As a flood of side 1 would leave them: (5, 5) newly captured, (7, 7) empty and covered,
    // and side 1's dot (6, 6) freed from a count of 2.
    board.side_to_move = 1;
    board.cell_enclosed[cells[1]] = 1;
    board.cell_enclosed[cells[0]] = 1;
    board.cell_enclosed[cells[2]] = 1;
    board.score = 10;
    undo_open_region(board, cells, 3);
    EXPECT_EQ(board.cell_enclosed[cells[0]], 0);
    EXPECT_EQ(board.cell_enclosed[cells[1]], 2);
    EXPECT_EQ(board.cell_enclosed[cells[2]], 0);
    EXPECT_EQ(board.score, 8);
    undo_open_region(board, cells, 0);
    undo_open_region(board, cells, -3);
    EXPECT_EQ(board.score, 8);
}

} // namespace
