// Thousands of seeded random games, each played until no legal point is left, with the
// board's invariants checked after every move. A failure names the seed and the move, so
// the game can be replayed alone.
#include "board_diagram.h"
#include "random_play.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The board of these cases.
Board board;

constexpr int32_t WIDTH = FENDREL_COLS + 2;
constexpr int32_t CELLS = WIDTH * (FENDREL_ROWS + 2);
// North, east, south and west, as steps in the bordered board.
constexpr int32_t ORTHOGONAL[4] = {-WIDTH, 1, WIDTH, -1};

// The board as it was before the move being checked.
struct Mirror {
    std::vector<int32_t> owner;
    std::vector<int32_t> enclosed;
    int32_t side = 1;
    int32_t score = 0;
    int32_t stamps = 0;
    int32_t captured[3] = {0, 0, 0}; // captured dots of sides 1 and 2
    bool dot_above_one = false;      // some dot has had an enclosure count above 1
};

// How often the games met each kind of move, so that the test shows its games are not trivial.
struct Tally {
    int64_t moves = 0;
    int64_t rolled_back = 0; // moves that flooded but enclosed nothing
    int64_t enclosing = 0;
    int64_t balance_checked = 0; // enclosing moves checked against the captured-dot balance
    int64_t games_with_dot_above_one = 0;
};

// Takes a copy of the board as it is now.
void capture_mirror(Mirror& m) {
    m.owner = board.cell_owner;
    m.enclosed = board.cell_enclosed;
    m.side = board.side_to_move;
    m.score = board.score;
    m.stamps = board.stamp_counter;
}

// Whether the cell lies in the outermost playable rows or columns.
bool on_outer_ring(int32_t i) {
    const int32_t r = i / WIDTH, c = i % WIDTH;
    return r == 1 || r == board.board_rows || c == 1 || c == board.board_cols;
}

// Checks one cell whose count the move changed: the new count is allowed, the change is by
// the rules' amount and made by this move's search, and the region it lies in is closed off
// by the mover's free dots. Adds the cell's part to the tallies; returns a fault or "".
std::string check_changed_cell(Mirror& m, int32_t i, int32_t& newly_captured, int32_t& freed) {
    const int32_t mover = m.side;
    const int32_t owner = board.cell_owner[i], now = board.cell_enclosed[i], was = m.enclosed[i];
    const auto at = [i] { return " at cell " + std::to_string(i); };
    if (now < 0)
        return "negative count" + at();
    if (now != 0 && (owner == CELL_BORDER || on_outer_ring(i)))
        return "enclosed cell on the edge" + at();
    if (board.cell_stamp[i] <= m.stamps)
        return "count changed on a cell the search did not visit" + at();
    if (owner == mover) {
        if (now - was < -4 || now - was > -1)
            return "own dot freed by a wrong amount" + at();
        freed += was - now;
    } else if (now - was != 1) {
        return "count rose by other than 1" + at();
    }
    if (owner == 1 || owner == 2) {
        m.captured[owner] += (now != 0) - (was != 0);
        newly_captured += owner != mover && was == 0;
        m.dot_above_one |= now > 1;
    }
    for (const int32_t step : ORTHOGONAL) {
        const int32_t j = i + step;
        const bool changed = board.cell_enclosed[j] != m.enclosed[j];
        const bool wall = board.cell_owner[j] == mover && board.cell_enclosed[j] == 0;
        if (!changed && !wall)
            return "region not closed" + at() + " towards cell " + std::to_string(j);
    }
    return "";
}

// Checks a move that changed enclosure counts: every changed cell by check_changed_cell, then
// that the score moved by exactly what was captured and freed and, while no dot has had a
// count above 1, that it is the captured-dot balance. Returns the first fault or "".
std::string check_enclosures(Mirror& m) {
    const int32_t mover = m.side;
    const bool balance_holds = !m.dot_above_one;
    int32_t newly_captured = 0, freed = 0;
    for (int32_t i = 0; i < CELLS; ++i) {
        if (board.cell_enclosed[i] == m.enclosed[i])
            continue;
        std::string fault = check_changed_cell(m, i, newly_captured, freed);
        if (!fault.empty())
            return fault;
    }
    if (-board.score != m.score + newly_captured + freed)
        return "score moved by other than the captures and frees";
    // Seen from the side now to move, the mover's captured dots are the other side's.
    if (balance_holds && board.score != m.captured[mover] - m.captured[mover ^ 3])
        return "score is not the captured-dot balance";
    return "";
}

// Whether any of the bordered board's cells in `now` differs from the copy. One plain pass
// without an early exit, cheap enough for every move.
bool differs(const std::vector<int32_t>& now, const std::vector<int32_t>& copy) {
    return std::memcmp(now.data(), copy.data(), CELLS * sizeof(int32_t)) != 0;
}

// Checks the board after the dot of m.side went on `cell`, then makes m the board as it is.
std::string check_move(Mirror& m, int32_t cell, Tally& tally) {
    ++tally.moves;
    if (board.side_to_move != (m.side ^ 3))
        return "the turn did not pass";
    const int32_t grown = board.stamp_counter - m.stamps;
    if (grown < 0 || grown > 4)
        return "stamp_counter grew by " + std::to_string(grown);
    m.owner[cell] = m.side;
    if (differs(board.cell_owner, m.owner))
        return "a cell besides the new dot changed owner";
    std::string fault;
    if (!differs(board.cell_enclosed, m.enclosed)) {
        // Nothing enclosed: any flood was rolled back, and only the stamps may show it.
        if (board.score != -m.score)
            fault = "a move that enclosed nothing changed the score";
        tally.rolled_back += grown > 0;
    } else {
        ++tally.enclosing;
        tally.balance_checked += !m.dot_above_one;
        fault = check_enclosures(m);
        m.enclosed = board.cell_enclosed;
    }
    m.side = board.side_to_move;
    m.score = board.score;
    m.stamps = board.stamp_counter;
    return fault;
}

// Plays one game to its end, checking every move; the first fault fails the test.
void play_checked_game(uint32_t seed, Bias bias, Mirror& m, Tally& tally) {
    reset_rules_state(board);
    capture_mirror(m);
    m.captured[1] = m.captured[2] = 0;
    m.dot_above_one = false;
    RandomPlayer player;
    start_random_player(player, seed, bias);
    const auto legal = [](Point p) { return is_legal_dot(board, p.x, p.y); };
    Point p{};
    while (next_random_move(player, legal, p)) {
        // A legal point is left, so the board is not full.
        std::string fault = board_full(board) ? "board full with a legal point left" : "";
        place_dot(board, cell_index(board, p.x, p.y));
        if (fault.empty())
            fault = check_move(m, cell_index(board, p.x, p.y), tally);
        if (!fault.empty()) {
            ADD_FAILURE() << fault << " (seed " << seed << ", move " << player.history.size()
                          << " at " << p.x << "," << p.y << ")";
            return;
        }
    }
    for (int32_t y = 0; y < board.board_rows; ++y)
        for (int32_t x = 0; x < board.board_cols; ++x)
            ASSERT_FALSE(is_legal_dot(board, x, y)) << "seed " << seed << " ended early";
    EXPECT_EQ(board_full(board), 1) << "no legal point is left (seed " << seed << ")";
    // The lists are sized for the bordered board: nothing past it can have been written.
    ASSERT_EQ(board.cell_owner.size(), static_cast<size_t>(CELLS)) << "seed " << seed;
    ASSERT_EQ(board.cell_enclosed.size(), static_cast<size_t>(CELLS)) << "seed " << seed;
    ASSERT_EQ(board.cell_stamp.size(), static_cast<size_t>(CELLS)) << "seed " << seed;
    tally.games_with_dot_above_one += m.dot_above_one;
}

// Plays games from first_seed on and checks that they met every kind of move often.
void play_checked_games(Bias bias, uint32_t first_seed, int all_games) {
    const int games = games_to_play(all_games);
    Mirror m;
    Tally tally;
    for (int g = 0; g < games && !::testing::Test::HasFailure(); ++g)
        play_checked_game(first_seed + g, bias, m, tally);
    // The games must reach what the checks are about, not only quiet moves.
    EXPECT_GT(tally.moves, games * 800);
    EXPECT_GT(tally.rolled_back, games * 20);
    EXPECT_GT(tally.enclosing, games * 20);
    EXPECT_GT(tally.balance_checked, games * 5);
    EXPECT_GT(tally.games_with_dot_above_one, games / 2);
}

TEST(RandomGames, UniformGamesKeepTheInvariants) {
    play_checked_games(Bias::uniform, 1, 1000);
}

TEST(RandomGames, GamesNearRecentDotsKeepTheInvariants) {
    play_checked_games(Bias::near_recent, 100001, 1000);
}

} // namespace
