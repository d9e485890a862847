// What the search believes about a move before playing it out: the candidates a node
// considers, and prior win rates from the captures on the board. Captures and blocks of
// the opponent's captures come first, big ones before small ones; at the root, moves that
// set up new captures (two at once above all) or spoil the opponent's come next.
#pragma once

#include "engines/dotbot/fast_board.h"

#include <cstdint>

// Visits that a prior win rate counts for, so that a few playouts do not overturn it.
constexpr float PRIOR_VISITS = 20;
// The same for a quiet move at an inner node.
constexpr float QUIET_PRIOR_VISITS = 4;

// The cells worth considering for the side to move: those worth playing (worth_playing)
// within two steps of a dot; on an empty board the cells within two steps of the centre;
// every cell worth playing when none is near a dot; and when there is none of those, every
// cell where the dot would not be captured at once (its own empty rings, which only such a
// dot fills). Writes them to cells in index order and returns how many.
int32_t candidate_cells(FastBoard& board, int32_t* cells);

// The prior win rate of a move from what a dot there captures for the mover (gain) and what
// it would capture for the opponent (threat; below zero where the opponent's dot would be
// captured at once, which is no threat), and whether it touches a dot.
float capture_prior(int32_t gain, int32_t threat, bool touches_dot);

// What a dot of the mover on cell would add to its prior: new capture chances it sets up
// within two steps, and the opponent's that it spoils there. gain_of[side][cell] must hold
// each side's capture gain on every cell within two steps before the dot.
float setup_bonus(FastBoard& board, int32_t cell, const int32_t* const gain_of[3]);
