// The judge of a game without a person to watch it, as fendrel-match plays its games: a
// side loses by a move the rules refuse, a move while the other side is to move, the end of
// its output (a crash), its clock used up by more than a margin, or silence for a stall
// timeout. It learns every event from the referee's line reports, and it keeps the moves
// played with the time each took.
//
// Threads: judge_report and the deadline run where the window's part is held (the game
// loop's thread, or a reader's during its hand-off), except for the reports of names and
// messages, which come from the readers' own threads and only note when a side was heard.
#pragma once

#include "records/loss_reasons.h"
#include "referee/window.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct JudgeRules {
    bool decides = false;          // refusals and ends of output lose the game
    bool time_forfeit = false;     // the side to move loses past its clock and the margin
    uint32_t time_margin_ms = 0;   // how far past its clock a turn may run
    uint32_t stall_timeout_ms = 0; // how long the side to move may stay silent; 0: for ever
};

// A dot an engine played, or its grounding, and how long its turn took: what its clock was
// charged.
struct PlayedMove {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t ms = 0;
    bool ground = false; // no dot: the side grounded, and the game ended
};

struct Verdict {
    bool decided = false;
    int winner = 0;          // 1 or 2; 0 when neither side wins
    const char* reason = ""; // one of the REASON_ texts
    std::string detail;      // the reason in words: the move, the exit status, ...
};

// What hears of each move as it is played, where the window's part is held.
using MoveListener = std::function<void(const PlayedMove&)>;

// A new game: the rules, and the moves and the verdict forgotten; `on_move`, if any, hears
// of every move. Call with the board set up and before the engines start.
void open_judge(const JudgeRules& rules, MoveListener on_move = {});

// Notes the game as start-up left it, and decides it when `decides` and its engines could
// not both be started; false when it goes on.
bool judge_start();

// Takes one line report; true when the game is over: decided, or played to its end.
bool judge_report(const LineReport& report);

// When the side to move loses (or, without `decides`, stalls) unless it is heard first;
// false when it never does.
bool turn_deadline(uint32_t& tick);

// Decides the game against the side to move once its deadline has passed, on its clock or
// as stalled; false when it has not passed.
bool judge_deadline(uint32_t now);

// Decides the game when no cell can take a dot, or a side grounded: the side ahead in
// captured dots wins.
void judge_board_full();

const Verdict& verdict();
const std::vector<PlayedMove>& played_moves();
