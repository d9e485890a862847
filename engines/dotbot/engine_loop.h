// The engine's side of the referee protocol, shared by dotbot and the test engines built on
// its board: the name line, the board, rules and clock commands, relayed moves, and one
// answer for each "go": a move, or under the standard rules "ground".
//
// Threads: the loop's thread alone reads standard input and owns the board. A "go" starts
// one turn thread that chooses the move, plays it on the board, writes it and ends; the
// loop joins that thread before it handles any further line, so the board is never read and
// changed at once. "quit" or the end of input sets the stop flag first, so a turn still
// thinking gives up at once and writes nothing.
#pragma once

#include "engines/dotbot/fast_board.h"

#include <atomic>
#include <chrono>
#include <cstdint>

struct TurnInfo {
    int32_t last;                                   // the latest dot, -1 when there is none
    int32_t previous;                               // the dot before it, -1 when there is none
    bool clock_known;                               // whether a "time" line came
    int64_t own_ms;                                 // the last "time" value
    int64_t other_ms;                               // the last "otime" value
    int64_t increment_ms;                           // the last "increment" value, 0 before any
    std::chrono::steady_clock::time_point asked_at; // when "go" was read
    int64_t movetime_ms = 0; // the last "movetime" value: the time a move is asked to take
};

constexpr int NOTE_SIZE = 160;

struct MoveChoice {
    int32_t cell;         // a legal cell, or -1 when there is none
    char note[NOTE_SIZE]; // a line for the user, written after the move; empty for none
    bool ground;          // ground instead of a move (the standard rules only)
};

// An engine's move for the side to move. It should return soon after `stop` is set.
using ChooseMove = MoveChoice (*)(const FastBoard& board, const TurnInfo& turn,
                                  const std::atomic<bool>& stop);

// Speaks the protocol on standard input and output until "quit" or the end of input:
// writes name_line first, then answers every "go" with a move from choose. Returns the
// process's exit code.
int run_engine(const char* name_line, ChooseMove choose);
