// dotbot's board against the rules core: the same moves must give the same owners,
// enclosure counts, score and side to move after every move, over many random games
// played to the end, and the quick capture probe must tell what a move would score.
#include "board_diagram.h"
#include "engines/dotbot/fast_board.h"
#include "random_play.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The rules core's board, beside the engine's own.
Board core_board;

// Whether both boards hold the same game, cell by cell.
::testing::AssertionResult same_position(const FastBoard& fast) {
    if (fast.side_to_move != core_board.side_to_move || fast.score != core_board.score)
        return ::testing::AssertionFailure()
               << "side " << fast.side_to_move << " vs " << core_board.side_to_move
               << ", core_board.score " << fast.score << " vs " << core_board.score;
    for (int32_t i = 0; i < (core_board.board_cols + 2) * (core_board.board_rows + 2); ++i) {
        if (fast.owner[i] != core_board.cell_owner[i] ||
            fast.enclosed[i] != core_board.cell_enclosed[i])
            return ::testing::AssertionFailure()
                   << "cell " << i << ": owner " << int{fast.owner[i]} << " vs "
                   << core_board.cell_owner[i] << ", count " << fast.enclosed[i] << " vs "
                   << core_board.cell_enclosed[i];
    }
    return ::testing::AssertionSuccess();
}

// Plays the same seeded random game on both boards, checking them after every move, and
// calls at_move with dotbot's board every `every` moves; the number of moves that scored.
template <typename AtMove> int64_t play_both(uint32_t seed, Bias bias, int every, AtMove at_move) {
    reset_rules_state(core_board);
    FastBoard fast;
    EXPECT_TRUE(setup_board(fast, core_board.board_rows, core_board.board_cols));
    RandomPlayer player;
    start_random_player(player, seed, bias);
    int64_t scoring = 0;
    Point p;
    while (next_random_move(
        player, [](Point q) { return is_legal_dot(core_board, q.x, q.y); }, p)) {
        const int32_t cell = point_cell(fast, p.x, p.y);
        EXPECT_TRUE(cell >= 0 && can_take_dot(fast, cell)) << p.x << "," << p.y;
        const int32_t before = core_board.score;
        place_dot(core_board, cell_index(core_board, p.x, p.y));
        put_dot(fast, cell);
        scoring += -core_board.score != before;
        const ::testing::AssertionResult same = same_position(fast);
        if (!same) {
            ADD_FAILURE() << "seed " << seed << " move " << fast.dots << ": " << same.message();
            return scoring;
        }
        if (fast.dots % every == 0)
            at_move(fast);
    }
    // Where the referee has no legal point left, dotbot sees no free cell either.
    EXPECT_FALSE(has_free_cell(fast));
    return scoring;
}

TEST(BoardAgreement, RandomGamesMatchTheRulesCoreMoveForMove) {
    int64_t scoring = 0;
    const int games = games_to_play(40);
    for (int game = 0; game < games; ++game) {
        const Bias bias = game % 4 == 0 ? Bias::uniform : Bias::near_recent;
        scoring += play_both(7000 + game, bias, 1 << 30, [](FastBoard&) {});
    }
    EXPECT_GT(scoring, 20 * games); // the games exercised the capture search
}

TEST(BoardAgreement, ProbeTellsWhatEachFreeCellWouldScore) {
    int64_t scoring_probes = 0;
    for (int game = 0; game < games_to_play(10); ++game) {
        play_both(8000 + game, Bias::near_recent, 97, [&](FastBoard& board) {
            for (int32_t cell = board.first_cell; cell < board.end_cell; ++cell) {
                if (!can_take_dot(board, cell))
                    continue;
                for (int32_t side = 1; side <= 2; ++side) {
                    FastBoard trial = board;
                    if (trial.side_to_move != side) {
                        trial.side_to_move = side;
                        trial.score = -trial.score;
                    }
                    const int32_t before = trial.score;
                    put_dot(trial, cell);
                    const int32_t gain = probe_gain(board, cell, side);
                    ASSERT_EQ(gain, -trial.score - before) << "cell " << cell << " side " << side;
                    scoring_probes += gain > 0;
                }
            }
        });
    }
    EXPECT_GT(scoring_probes, 20);
}

// The same index arithmetic as the referee's legality test, on any board size.
TEST(FastBoardGeometry, PointsMapToCellsAsTheRefereeComputesThem) {
    FastBoard b;
    ASSERT_TRUE(setup_board(b, core_board.board_rows, core_board.board_cols));
    reset_rules_state(core_board);
    for (const auto& [x, y] : std::vector<std::pair<int64_t, int64_t>>{{0, 0},
                                                                       {38, 31},
                                                                       {-1, 0},
                                                                       {39, 0},
                                                                       {0, -1},
                                                                       {0, 32},
                                                                       {41, 0},
                                                                       {40, 0},
                                                                       {-2, 1},
                                                                       {INT32_MAX, 0},
                                                                       {0, INT32_MIN},
                                                                       {INT32_MIN, INT32_MAX}}) {
        const int32_t cell = point_cell(b, x, y);
        const bool legal =
            is_legal_dot(core_board, static_cast<int32_t>(x), static_cast<int32_t>(y));
        EXPECT_EQ(cell >= 0 && can_take_dot(b, cell), legal) << x << "," << y;
    }
    EXPECT_EQ(point_cell(b, 41, 0), point_cell(b, 0, 1));
}

TEST(FastBoardGeometry, AnyBoardThatFitsCanBeSetUp) {
    FastBoard b;
    EXPECT_TRUE(setup_board(b, 1, 1));
    EXPECT_EQ(b.first_cell, 4);
    EXPECT_EQ(b.end_cell, 5);
    EXPECT_TRUE(can_take_dot(b, 4));
    put_dot(b, 4);
    EXPECT_FALSE(has_free_cell(b));

    EXPECT_TRUE(setup_board(b, 1, 680)); // 3 x 682 bordered cells: the longest single row
    EXPECT_TRUE(setup_board(b, 43, 43)); // 45 x 45 = 2025
    EXPECT_EQ(point_cell(b, 42, 42), b.end_cell - 1);
    for (const auto& [rows, cols] : std::vector<std::pair<int64_t, int64_t>>{
             {0, 5}, {5, 0}, {-1, 5}, {44, 44}, {1, 681}, {681, 1}, {INT64_MAX, INT64_MAX}}) {
        EXPECT_FALSE(board_fits(rows, cols)) << rows << "x" << cols;
        EXPECT_FALSE(setup_board(b, static_cast<int32_t>(rows), static_cast<int32_t>(cols)));
    }
    EXPECT_EQ(b.rows, 43); // a refused size leaves the board as it was
}

TEST(FastBoardGeometry, NoEnclosureTouchesTheEdgeOfASmallBoard) {
    // On a 3 x 3 board the centre is the only cell that can be enclosed.
    FastBoard b;
    setup_board(b, 3, 3);
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{1, 0}, {0, 0}, {0, 1}, {2, 0}, {2, 1}, {0, 2}, {1, 2}})
        put_dot(b, point_cell(b, x, y));
    EXPECT_EQ(b.enclosed[point_cell(b, 1, 1)], 1);
    EXPECT_FALSE(can_take_dot(b, point_cell(b, 1, 1)));
    EXPECT_TRUE(can_take_dot(b, point_cell(b, 2, 2)));
    EXPECT_EQ(b.score, 0); // an empty cell scores nothing
}

} // namespace
