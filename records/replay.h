// Dots played through the rules core outside a game: to check openings, to make random
// ones, and to replay a game record, each on a board of the caller's.
#pragma once

#include "records/game_record.h"
#include "rules/board.h"

#include <vector>

// The move coordinates of a playable cell index.
Dot dot_of_cell(const Board& board, int32_t cell);

// Why the rules refuse a dot on the point as the board stands, or nullptr when they take it.
const char* dot_refusal(const Board& board, const Dot& dot);

// Sets the board up afresh at its size and under its rules, then plays the dots in order,
// alternating from side 1, each marked as the latest as it is placed; the number of dots
// played before the first that the rules refuse, so all of them when every one is legal.
int replay_dots(Board& board, const std::vector<Dot>& dots);
