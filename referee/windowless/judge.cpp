#include "referee/windowless/judge.h"

#include "engine/engine_process.h"
#include "referee/clock.h"
#include "referee/game_board.h"

#include <algorithm>
#include <atomic>
#include <utility>

// All of it is touched under the window's part, but for the ticks at which each side was
// last heard, which the readers note from their own threads.
namespace {

JudgeRules rules;
Verdict game_verdict;
std::vector<PlayedMove> moves;
MoveListener move_listener;
// The game as the last report left it: the side to move.
int mover = 1;
std::atomic<bool> heard[2];
std::atomic<uint32_t> heard_at[2];
// Each side's latest message, which a crash's detail quotes: an engine (or the bridge before
// it) often says why it ends. Written by that side's reader and read only by the same reader
// during its hand-off at the end of the output, or after the game.
std::string last_message[2];
// How much of a message the detail quotes.
constexpr size_t QUOTED_MESSAGE = 300;

EngineProcess& engine_of_side(int side) {
    return side == 1 ? engine1 : engine2;
}

void decide(int winner, const char* reason, std::string detail) {
    game_verdict = {true, winner, reason, std::move(detail)};
}

// How an engine whose output ended went: its reader reaped it if it ended soon after.
std::string exit_detail(const EngineProcess& engine, int side) {
    std::string detail =
        engine.exited ? describe_exit_status(engine.exit_status) : "closed its output";
    const std::string& said = last_message[side - 1];
    if (!said.empty())
        detail += "; its last line: " +
                  (said.size() <= QUOTED_MESSAGE ? said : said.substr(0, QUOTED_MESSAGE) + "...");
    return detail;
}

// When the side to move loses (or stalls) unless it is heard first, and whether that is on
// its clock: its clock and the margin from the start of its turn, or the stall timeout from
// the later of that start and its latest line, whichever comes first.
struct Deadline {
    bool exists;
    uint32_t tick;
    bool on_time;
};

Deadline deadline_of_turn() {
    uint32_t since = turn_start_tick;
    const int index = game_board.side_to_move - 1;
    if (heard[index] && ticks_between(since, heard_at[index]) > 0)
        since = heard_at[index];
    const Deadline stall{rules.stall_timeout_ms != 0, since + rules.stall_timeout_ms, false};
    if (!rules.decides || !rules.time_forfeit)
        return stall;
    const uint64_t allowed =
        uint64_t{game_board.side_to_move == 1 ? side1_clock_ms : side2_clock_ms} +
        rules.time_margin_ms;
    const Deadline time{
        true, turn_start_tick + static_cast<uint32_t>(std::min<uint64_t>(allowed, INT32_MAX / 2)),
        true};
    return stall.exists && ticks_between(time.tick, stall.tick) < 0 ? stall : time;
}

// Notes the game as the next report will find it.
void note_game_state() {
    mover = game_board.side_to_move;
}

} // namespace

void open_judge(const JudgeRules& game_rules, MoveListener on_move) {
    rules = game_rules;
    move_listener = std::move(on_move);
    game_verdict = {};
    moves.clear();
    for (int side = 0; side < 2; ++side) {
        heard[side] = false;
        last_message[side].clear();
    }
    note_game_state();
}

bool judge_start() {
    note_game_state();
    if (!rules.decides || (engine1.running && engine2.running))
        return false;
    if (!engine1.running && !engine2.running)
        decide(0, REASON_CRASH, "neither engine could be started");
    else
        decide(engine1.running ? 1 : 2, REASON_CRASH, "could not be started");
    return true;
}

bool judge_report(const LineReport& report) {
    heard_at[report.side - 1] = report.tick;
    heard[report.side - 1] = true;
    if (report.outcome == LineOutcome::message && report.text)
        last_message[report.side - 1] = report.text;
    if (report.outcome == LineOutcome::name || report.outcome == LineOutcome::message ||
        game_verdict.decided)
        return false;
    if (report.outcome == LineOutcome::applied) {
        const int32_t x = game_board.last_move_cell % (game_board.board_cols + 2) - 1;
        const int32_t y = game_board.last_move_cell / (game_board.board_cols + 2) - 1;
        // The time the mover's clock was charged: the same tick and the same arithmetic as
        // the clock, so that the times add up with the clocks and are never negative.
        moves.push_back({x, y, report.move_ms});
    }
    if (report.outcome == LineOutcome::grounded)
        moves.push_back({0, 0, report.move_ms, true});
    if ((report.outcome == LineOutcome::applied || report.outcome == LineOutcome::grounded) &&
        move_listener)
        move_listener(moves.back());
    const int side = report.side;
    // A move after the last is refused as the game is over; it costs nothing.
    if (rules.decides && report.outcome == LineOutcome::refused &&
        report.refusal != Refusal::game_over) {
        if (side == mover && report.refusal != Refusal::out_of_turn)
            decide(3 - side, REASON_ILLEGAL, "a move the rules refuse");
        else
            decide(3 - side, REASON_OUT_OF_TURN, "moved while the other side was to move");
    }
    // Both engines run until the game is decided, so only an exit ends an engine's output.
    if (rules.decides && report.outcome == LineOutcome::output_ended)
        decide(3 - side, REASON_CRASH, exit_detail(engine_of_side(side), side));
    note_game_state();
    return game_verdict.decided || report.ends_game;
}

bool turn_deadline(uint32_t& tick) {
    const Deadline deadline = deadline_of_turn();
    tick = deadline.tick;
    return deadline.exists;
}

bool judge_deadline(uint32_t now) {
    const Deadline deadline = deadline_of_turn();
    if (!deadline.exists || ticks_between(deadline.tick, now) < 0)
        return false;
    if (!rules.decides)
        return true;
    if (deadline.on_time)
        decide(3 - game_board.side_to_move, REASON_TIME,
               "clock used up by more than " + std::to_string(rules.time_margin_ms) + " ms");
    else
        decide(3 - game_board.side_to_move, REASON_STALL,
               "wrote nothing for " + std::to_string(rules.stall_timeout_ms / 1000) + " s");
    return true;
}

void judge_board_full() {
    const int32_t balance = game_board.side_to_move == 1 ? game_board.score : -game_board.score;
    if (game_board.grounded != 0)
        decide(balance > 0   ? 1
               : balance < 0 ? 2
                             : 0,
               REASON_GROUNDED, "side " + std::to_string(game_board.grounded) + " grounded");
    else
        decide(balance > 0 ? 1 : balance < 0 ? 2 : 0, REASON_BOARD_FULL, "");
}

const Verdict& verdict() {
    return game_verdict;
}

const std::vector<PlayedMove>& played_moves() {
    return moves;
}
