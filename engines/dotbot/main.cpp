// dotbot, the bundled engine: the referee protocol on standard input and output, with moves
// from the Monte Carlo tree search.
#include "engines/dotbot/engine_loop.h"
#include "engines/dotbot/fast_bases.h"
#include "engines/dotbot/options.h"
#include "engines/dotbot/search.h"
#include "engines/dotbot/time_plan.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

namespace {

Options options;

// Under the standard rules a level grounding is taken when the search gives the best move
// less than this chance of ending ahead.
constexpr double GROUND_FOR_A_DRAW_BELOW = 0.25;

// The cells that can still take a dot.
int64_t free_cells(const FastBoard& board) {
    int64_t count = 0;
    for (int32_t i = board.first_cell; i < board.end_cell; ++i)
        count += can_take_dot(board, i);
    return count;
}

// Plans the time, searches, and notes the search's figures for the status bar. Under the
// standard rules it grounds instead when that wins the game at once, when it draws and the
// search sees the game as good as lost, and when every free point left would have its dot
// captured at once.
MoveChoice choose_move(const FastBoard& board, const TurnInfo& turn,
                       const std::atomic<bool>& stop) {
    const bool may_ground = board.rules.kind == RuleKind::standard;
    const int32_t grounded_balance =
        may_ground ? board.score - unlinked_dots(board, board.side_to_move) : 0;
    const int64_t free_count = free_cells(board);
    if (may_ground && grounded_balance > 0) {
        MoveChoice choice{-1, {}, true};
        std::snprintf(choice.note, sizeof choice.note, "dotbot: grounds at %+d",
                      static_cast<int>(grounded_balance));
        return choice;
    }
    // The referee's "movetime" comes before --movetime, and may go past --maxtime; the clock
    // still bounds both.
    const bool asked = turn.movetime_ms > 0;
    const TimeControl control{turn.clock_known,
                              turn.own_ms,
                              turn.increment_ms,
                              (free_count + 1) / 2,
                              asked ? turn.movetime_ms : options.movetime_ms,
                              asked ? std::max(turn.movetime_ms, options.maxtime_ms)
                                    : options.maxtime_ms};
    const int64_t think_ms = plan_move_time(control);
    const SearchLimits limits{turn.asked_at + std::chrono::milliseconds(think_ms), options.playouts,
                              options.threads, options.seed + static_cast<uint64_t>(board.dots)};
    const SearchReport report = search_move(board, turn.last, turn.previous, limits, stop);
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - turn.asked_at);
    const bool ground =
        may_ground &&
        ((report.cell < 0 && free_count > 0) ||
         (report.cell >= 0 && grounded_balance == 0 && report.win_rate < GROUND_FOR_A_DRAW_BELOW));
    MoveChoice choice{report.cell, {}, ground};
    if (ground)
        std::snprintf(choice.note, sizeof choice.note, "dotbot: grounds at %+d, win %d%%",
                      static_cast<int>(grounded_balance),
                      static_cast<int>(report.win_rate * 100 + 0.5));
    else if (report.cell >= 0)
        std::snprintf(choice.note, sizeof choice.note, "dotbot: %lld playouts, win %d%%, %lld ms",
                      static_cast<long long>(report.playouts),
                      static_cast<int>(report.win_rate * 100 + 0.5),
                      static_cast<long long>(spent.count()));
    return choice;
}

} // namespace

int main(int argc, char** argv) {
    options = default_options();
    if (!parse_options(argc, argv, options)) {
        std::fputs(OPTIONS_USAGE, stderr);
        return 2;
    }
    if (!options.seed_given)
        options.seed = std::random_device{}();
    return run_engine("dotbot 1.0", choose_move);
}
