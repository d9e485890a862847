// Placing a dot and capture by enclosure under the fendrel rules.
//
// Only a region that touches the new dot can have been closed by it, so the search starts
// from the dot's eight neighbours, groups them into gaps between the mover's own dots and
// floods the region behind each gap orthogonally. Walls are the mover's free dots; a region
// whose flood never steps next to the border frame is enclosed: its empty cells and the
// other side's dots gain one on their enclosure count, and the mover's captured dots in it
// are freed. A flood that turns out open is rolled back exactly.
#pragma once

#include "rules/board.h"

#include <cstdint>

// Puts the dot of side_to_move on a cell that is_legal_dot accepted, records every
// enclosure or base it completes under the board's rules, then hands the turn over
// (side_to_move flips, score is negated).
void place_dot(Board& board, int32_t cell);

// The capture search around the dot just set on cell; called by place_dot before the turn
// switches, so side_to_move is the mover and score is seen from it.
void find_enclosures(Board& board, int32_t cell);

// Reverts the count and score changes of an open region's flood; stamps stay.
void undo_open_region(Board& board, const int32_t* entries, int32_t count);
