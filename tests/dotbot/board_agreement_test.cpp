// dotbot's board against the rules core, under every rule set and option and on boards from
// 3 x 3 to 64 x 64: the same moves must give the same owners, counts, bases, score and side
// to move after every move, over random games played to the end; and at points along each
// game both must judge every cell alike for both sides (legal, captured at once), the quick
// probe must tell what a dot there would score, and grounding must end the game alike.
#include "board_diagram.h"
#include "engines/dotbot/fast_bases.h"
#include "engines/dotbot/fast_board.h"
#include "random_play.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The rules core's board, beside the engine's own.
Board core_board;

// Whether both boards hold the same game, cell by cell.
::testing::AssertionResult same_position(const FastBoard& fast, const Board& core) {
    if (fast.side_to_move != core.side_to_move || fast.score != core.score)
        return ::testing::AssertionFailure()
               << "side " << fast.side_to_move << " vs " << core.side_to_move << ", score "
               << fast.score << " vs " << core.score;
    if ((fast.grounded != 0) != (core.grounded != 0))
        return ::testing::AssertionFailure()
               << "grounded " << fast.grounded << " vs " << core.grounded;
    for (int32_t i = 0; i < (core.board_cols + 2) * (core.board_rows + 2); ++i) {
        if (fast.owner[i] != core.cell_owner[i] || fast.enclosed[i] != core.cell_enclosed[i] ||
            fast.base[i] != core.cell_base[i])
            return ::testing::AssertionFailure()
                   << "cell " << i << ": owner " << int{fast.owner[i]} << " vs "
                   << core.cell_owner[i] << ", count " << fast.enclosed[i] << " vs "
                   << core.cell_enclosed[i] << ", base " << int{fast.base[i]} << " vs "
                   << core.cell_base[i];
    }
    return ::testing::AssertionSuccess();
}

// Both boards with the other side to move, as if the side to move had passed.
void hand_over(FastBoard& fast, Board& core) {
    fast.side_to_move ^= 3;
    fast.score = -fast.score;
    core.side_to_move ^= 3;
    core.score = -core.score;
}

// What the checks along the games met, so that the test can tell that they reached what each
// rule set is about.
struct Seen {
    int64_t scoring_moves = 0;
    int64_t suicides = 0;         // cells where a dot would be captured at once
    int64_t scoring_probes = 0;   // cells where a dot would capture
    int64_t grounding_losses = 0; // dots lost by grounding
};

// Judges every cell alike on both boards for both sides: legality, suicide and what a dot
// there scores; then grounds both and compares.
void check_every_cell(const FastBoard& position, Seen& seen) {
    FastBoard fast = position;
    Board core = core_board;
    const bool standard = core.rules.kind == RuleKind::standard;
    for (int turn = 0; turn < 2; ++turn) {
        for (int32_t cell = fast.first_cell; cell < fast.end_cell; ++cell) {
            const int32_t x = cell_x(fast, cell), y = cell_y(fast, cell);
            ASSERT_EQ(is_legal_move(fast, cell), is_legal_dot(core, x, y))
                << x << "," << y << " side " << fast.side_to_move;
            if (!can_take_dot(fast, cell))
                continue;
            const bool suicide = standard && would_be_suicide(core, cell);
            ASSERT_EQ(is_suicide(fast, cell, fast.side_to_move), suicide) << x << "," << y;
            seen.suicides += suicide;
            Board trial = core;
            place_dot(trial, cell);
            const int32_t gain = probe_gain(fast, cell, fast.side_to_move);
            ASSERT_EQ(gain, suicide ? -1 : -trial.score - core.score) << x << "," << y;
            seen.scoring_probes += gain > 0;
        }
        ASSERT_TRUE(same_position(fast, core)) << "after the probes";
        if (standard) {
            FastBoard fast_grounded = fast;
            Board core_grounded = core;
            const int32_t unlinked = unlinked_dots(fast, fast.side_to_move);
            ground(fast_grounded);
            ground(core_grounded);
            ASSERT_TRUE(same_position(fast_grounded, core_grounded)) << "grounded";
            ASSERT_EQ(fast_grounded.score, -(fast.score - unlinked));
            seen.grounding_losses += unlinked;
        }
        hand_over(fast, core);
    }
}

struct Case {
    const char* rules;
    int32_t cols, rows;
    int games;
};

// Plays the seeded random game on both boards, checking them after every move and every
// cell six times a game.
void play_both(const Case& c, const RuleSet& rules, uint32_t seed, Bias bias, Seen& seen) {
    reset_rules_state(core_board, c.cols, c.rows, rules);
    FastBoard fast;
    ASSERT_TRUE(setup_board(fast, c.rows, c.cols, rules));
    RandomPlayer player;
    start_random_player(player, seed, bias, c.cols, c.rows);
    const int32_t every = std::max(1, c.cols * c.rows / 6);
    Point p;
    while (next_random_move(
        player, [](Point q) { return is_legal_dot(core_board, q.x, q.y); }, p)) {
        const int32_t cell = point_cell(fast, p.x, p.y);
        ASSERT_TRUE(cell >= 0 && is_legal_move(fast, cell)) << p.x << "," << p.y;
        const int32_t before = core_board.score;
        place_dot(core_board, cell_index(core_board, p.x, p.y));
        put_dot(fast, cell);
        seen.scoring_moves += -core_board.score != before;
        const ::testing::AssertionResult same = same_position(fast, core_board);
        ASSERT_TRUE(same) << "seed " << seed << " move " << fast.dots;
        if (fast.dots % every == 0) {
            ASSERT_NO_FATAL_FAILURE(check_every_cell(fast, seen)) << "seed " << seed;
        }
    }
    ASSERT_NO_FATAL_FAILURE(check_every_cell(fast, seen)) << "seed " << seed << " at the end";
    EXPECT_EQ(first_legal_cell(fast) >= 0, board_full(core_board) == 0);
}

TEST(BoardAgreement, EveryRuleSetAndSizeMatchesTheRulesCore) {
    const Case cases[] = {
        {"fendrel", 39, 32, 30},
        {"fendrel", 3, 3, 600},
        {"fendrel", 64, 64, 3},
        {"standard", 3, 3, 600},
        {"standard", 7, 5, 150},
        {"standard", 39, 32, 12},
        {"standard", 64, 64, 2},
        {"standard,suicide=off", 13, 9, 60},
        {"standard,suicide=off", 39, 32, 6},
        {"standard,empty-bases=capture", 11, 17, 60},
        {"standard,empty-bases=capture", 39, 32, 8},
        {"standard,suicide=off,empty-bases=capture", 25, 19, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rules) + " " + std::to_string(c.cols) + " x " +
                     std::to_string(c.rows));
        RuleSet rules;
        std::string error;
        ASSERT_TRUE(parse_rule_set(c.rules, rules, error)) << error;
        Seen seen;
        const int games = std::max(1, games_to_play(c.games));
        for (int g = 0; g < games && !::testing::Test::HasFatalFailure(); ++g)
            play_both(c, rules, 7000 + g, g % 4 == 0 ? Bias::uniform : Bias::near_recent, seen);
        if (::testing::Test::HasFatalFailure())
            return;
        // The games captured, and met what each rule set is about; on 3 x 3 only the centre
        // can be captured, a few times in a hundred games.
        EXPECT_GT(seen.scoring_moves, games * c.cols * c.rows / 300);
        EXPECT_GT(seen.scoring_probes, c.cols * c.rows > 9 ? games : games / 50);
        if (rules.kind == RuleKind::standard && c.cols * c.rows > 9) {
            EXPECT_GT(seen.grounding_losses, games);
            if (!rules.capture_empty_bases) {
                EXPECT_GT(seen.suicides, 0);
            }
        }
    }
}

// The same index arithmetic as the referee's legality test, on any board size.
TEST(FastBoardGeometry, PointsMapToCellsAsTheRefereeComputesThem) {
    FastBoard b;
    ASSERT_TRUE(setup_board(b, FENDREL_ROWS, FENDREL_COLS));
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

TEST(FastBoardGeometry, EverySizeTheRulesCoreTakesCanBeSetUp) {
    FastBoard b;
    EXPECT_TRUE(setup_board(b, 3, 3));
    EXPECT_EQ(b.first_cell, 6);
    EXPECT_EQ(b.end_cell, 19);
    EXPECT_TRUE(setup_board(b, 3, 64));
    EXPECT_TRUE(setup_board(b, 64, 3));
    EXPECT_TRUE(setup_board(b, 64, 64)); // 66 x 66 bordered cells: the most there are
    EXPECT_EQ(point_cell(b, 63, 63), b.end_cell - 1);
    EXPECT_EQ(b.end_cell + 67, FAST_CAPACITY);
    for (const auto& [rows, cols] : std::vector<std::pair<int64_t, int64_t>>{
             {2, 5}, {5, 2}, {0, 5}, {-1, 5}, {65, 64}, {64, 65}, {INT64_MAX, INT64_MAX}}) {
        EXPECT_FALSE(board_fits(rows, cols)) << rows << "x" << cols;
        EXPECT_FALSE(setup_board(b, static_cast<int32_t>(rows), static_cast<int32_t>(cols)));
    }
    EXPECT_EQ(b.rows, 64); // a refused size leaves the board as it was
}

} // namespace
