// The core against the reference rules (reference_rules.h): both play the same seeded random
// games side by side and must agree on every cell's owner and count, on the score and on
// which points are legal, after every move.
#include "board_diagram.h"
#include "random_play.h"
#include "reference_rules.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

namespace {

// The board of these cases.
Board board;

// The first difference between the core's board and the reference's, or an empty text.
std::string first_difference(const ReferenceBoard& ref) {
    if (board.side_to_move != ref.side_to_move)
        return "side_to_move " + std::to_string(board.side_to_move);
    if (board.score != ref.score)
        return "score " + std::to_string(board.score) + ", reference " + std::to_string(ref.score);
    for (int32_t y = 0; y < board.board_rows; ++y) {
        for (int32_t x = 0; x < board.board_cols; ++x) {
            const int32_t i = cell_index(board, x, y), j = x + y * ref.cols;
            if (board.cell_owner[i] != ref.owner[j] || board.cell_enclosed[i] != ref.enclosed[j] ||
                board.cell_base[i] != ref.base[j])
                return "point " + std::to_string(x) + "," + std::to_string(y) + ": owner " +
                       std::to_string(board.cell_owner[i]) + " count " +
                       std::to_string(board.cell_enclosed[i]) + ", reference owner " +
                       std::to_string(ref.owner[j]) + " count " + std::to_string(ref.enclosed[j]);
        }
    }
    return "";
}

// Sets both boards up at the size under the rules; the reference takes the start position's
// dots from the core, whose start positions have tests of their own.
void reset_both(ReferenceBoard& ref, int32_t cols, int32_t rows, const RuleSet& rules) {
    reset_rules_state(board, cols, rows, rules);
    reset_reference(ref, cols, rows, rules);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < cols; ++x)
            ref.owner[x + y * cols] = board.cell_owner[cell_index(board, x, y)];
}

// A game's board and rules, and when its side to move grounds.
struct GameSetup {
    int32_t cols = FENDREL_COLS;
    int32_t rows = FENDREL_ROWS;
    RuleSet rules;
    size_t ground_at = SIZE_MAX; // the move after which the side to move grounds
};

// Plays one game on both boards until neither has a legal point or a side grounds; the
// first disagreement fails the test and names the seed and the move.
void play_both(uint32_t seed, Bias bias, ReferenceStats& stats, const GameSetup& setup = {}) {
    ReferenceBoard ref;
    reset_both(ref, setup.cols, setup.rows, setup.rules);
    RandomPlayer player;
    start_random_player(player, seed, bias, setup.cols, setup.rows);
    bool legality_differs = false;
    const auto legal = [&](Point p) {
        const bool core = is_legal_dot(board, p.x, p.y);
        legality_differs |= core != reference_is_legal(ref, p.x, p.y);
        return core;
    };
    Point p{};
    while (next_random_move(player, legal, p)) {
        place_dot(board, cell_index(board, p.x, p.y));
        reference_place(ref, p.x, p.y, stats);
        std::string difference = first_difference(ref);
        if (legality_differs)
            difference += " legality differs";
        ASSERT_EQ(difference, "") << "seed " << seed << ", move " << player.history.size() << " at "
                                  << p.x << "," << p.y;
        if (player.history.size() == setup.ground_at)
            break;
    }
    if (player.history.size() == setup.ground_at) {
        ground(board);
        reference_ground(ref);
        ASSERT_EQ(first_difference(ref), "") << "seed " << seed << ", grounding";
        ASSERT_EQ(board_full(board), 1);
        return;
    }
    // A point refused as suicide may become legal again, so such a game can end early.
    if (!setup.rules.suicide)
        return;
    for (int32_t y = 0; y < board.board_rows; ++y)
        for (int32_t x = 0; x < board.board_cols; ++x)
            ASSERT_FALSE(reference_is_legal(ref, x, y)) << "seed " << seed;
}

// Plays games from first_seed on and checks that they reached the rare cases, not only
// quiet moves: regions dropped for meeting an earlier flood of the same move, dots enclosed
// several times over and freed from counts above 1, and enclosed floods reaching a dot they
// freed while its count is still nonzero.
void play_both_games(Bias bias, uint32_t first_seed, int all_games) {
    const int games = games_to_play(all_games);
    ReferenceStats stats;
    for (int g = 0; g < games && !::testing::Test::HasFailure(); ++g)
        play_both(first_seed + g, bias, stats);
    EXPECT_GT(stats.enclosed, 50 * games);
    EXPECT_GT(stats.met_earlier, 50 * games);
    EXPECT_GT(stats.frees, 3 * games);
    EXPECT_GT(stats.frees_above_one, games / 2);
    EXPECT_GT(stats.second_arrivals, games / 2);
    EXPECT_GE(stats.highest_count, 4);
    EXPECT_LE(stats.region_list_peak, 2 * (FENDREL_COLS + 2) * (FENDREL_ROWS + 2));
}

TEST(DifferentialRules, UniformGamesAgreeMoveByMove) {
    play_both_games(Bias::uniform, 7, 100);
}

TEST(DifferentialRules, GamesNearRecentDotsAgreeMoveByMove) {
    play_both_games(Bias::near_recent, 500001, 100);
}

// Every rule set on boards of several sizes, each game near recent dots (where rings form)
// and some grounded part way: the games must meet what each rule set is about.
TEST(DifferentialRules, RuleSetsAndSizesAgreeMoveByMove) {
    struct Case {
        const char* rules;
        int32_t cols, rows;
    };
    const Case cases[] = {
        {"fendrel", 3, 3},
        {"fendrel", 12, 7},
        {"fendrel,start=cross4", 64, 64},
        {"standard", 3, 3},
        {"standard", 9, 14},
        {"standard,start=cross2", 20, 20},
        {"standard", 39, 32},
        {"standard,suicide=off", 15, 11},
        {"standard,suicide=off,start=cross", 39, 32},
        {"standard,empty-bases=capture", 16, 16},
        {"standard,empty-bases=capture,suicide=off,start=cross4,start-seed=9", 30, 24},
    };
    for (const Case& c : cases) {
        GameSetup setup{c.cols, c.rows, {}, SIZE_MAX};
        std::string error;
        ASSERT_TRUE(parse_rule_set(c.rules, setup.rules, error)) << error;
        const bool standard = setup.rules.kind == RuleKind::standard;
        ReferenceStats stats;
        const int games = games_to_play(c.cols * c.rows > 400 ? 20 : 60);
        for (int g = 0; g < games && !::testing::Test::HasFailure(); ++g) {
            // A third of the standard games are grounded, somewhere in their first half.
            setup.ground_at = standard && g % 3 == 0
                                  ? 1 + static_cast<size_t>(g * 7919) % (c.cols * c.rows / 2)
                                  : SIZE_MAX;
            play_both(1000 + static_cast<uint32_t>(g), g % 2 ? Bias::uniform : Bias::near_recent,
                      stats, setup);
        }
        SCOPED_TRACE(c.rules + std::string(" ") + std::to_string(c.cols));
        if (c.cols * c.rows > 9) {
            EXPECT_GT(stats.enclosed, games) << c.rules;
            // Where empty rings are bases, no point is left inside a ring to enter.
            if (standard && setup.rules.suicide && !setup.rules.capture_empty_bases) {
                EXPECT_GT(stats.suicides, 0) << c.rules;
            }
        }
    }
}

// Pairs far outside the board, and pairs built to land on a cell of another row through
// large coordinates, are judged alike by both, on a board with dots and enclosures.
TEST(DifferentialRules, LegalityAgreesOnAnyPairOfIntegers) {
    ReferenceStats stats;
    ReferenceBoard ref;
    reset_both(ref, FENDREL_COLS, FENDREL_ROWS, {});
    RandomPlayer player;
    start_random_player(player, 42, Bias::near_recent);
    const auto legal = [](Point q) { return is_legal_dot(board, q.x, q.y); };
    Point p{};
    for (int n = 0; n < 600 && next_random_move(player, legal, p); ++n) {
        place_dot(board, cell_index(board, p.x, p.y));
        reference_place(ref, p.x, p.y, stats);
    }
    ASSERT_EQ(first_difference(ref), "");
    ASSERT_GT(stats.enclosed, 0);

    // Each pair aims at a random cell index: the y is any 32-bit value or a small one, and
    // x is picked so that the index of (x, y) is that cell's either exactly or only after
    // wrapping around in 32 bits. The wrapped pairs name no cell and must stay illegal.
    std::mt19937 rng(3);
    const int64_t width = board.board_cols + 2;
    const int64_t cells = width * (board.board_rows + 2);
    int legal_far_pairs = 0, wrapped_pairs_on_legal_cells = 0;
    for (int n = 0; n < 200000; ++n) {
        const bool small_y = n % 2 == 0, wrap = n % 4 >= 2;
        const int32_t y =
            small_y ? static_cast<int32_t>(rng() % 2048) - 1024 : static_cast<int32_t>(rng());
        const int64_t target = static_cast<int64_t>(rng() % cells);
        int64_t x = target - (int64_t{y} + 1) * width - 1;
        if (wrap) {
            x = static_cast<int32_t>(static_cast<uint32_t>(x));
            if (x == target - (int64_t{y} + 1) * width - 1)
                continue;
        }
        if (x < INT32_MIN || x > INT32_MAX)
            continue;
        const bool core = is_legal_dot(board, static_cast<int32_t>(x), y);
        ASSERT_EQ(core, reference_is_legal(ref, static_cast<int32_t>(x), y)) << x << "," << y;
        legal_far_pairs += core && (x < 0 || x >= board.board_cols);
        const int32_t tx = static_cast<int32_t>(target % width) - 1;
        const int32_t ty = static_cast<int32_t>(target / width) - 1;
        wrapped_pairs_on_legal_cells += wrap && reference_is_legal(ref, tx, ty);
    }
    EXPECT_GT(legal_far_pairs, 1000);
    EXPECT_GT(wrapped_pairs_on_legal_cells, 1000);
}

} // namespace
