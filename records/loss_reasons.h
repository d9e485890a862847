// Why a game ended, as the judge decides it and as a game's record keeps it: the words of
// the results lines. Every reason but board full and grounded names the loser's fault.
#pragma once

constexpr const char REASON_BOARD_FULL[] = "board full"; // no cell can take a dot
// A side grounded (the standard rules): its free dots cut off from the edge were counted
// as captured, and the captured dots decided.
constexpr const char REASON_GROUNDED[] = "grounded";
constexpr const char REASON_ILLEGAL[] = "illegal move"; // refused by the rules
constexpr const char REASON_OUT_OF_TURN[] = "out of turn";
constexpr const char REASON_CRASH[] = "crash"; // did not start, exited or closed its output
constexpr const char REASON_TIME[] = "time";   // clock used up by more than the margin
constexpr const char REASON_STALL[] = "stall"; // wrote nothing for the stall timeout
