// Bases under the standard rules, and grounding.
//
// After side P places a dot, the region behind each of its orthogonal neighbours is
// flooded orthogonally; P's free dots and the cells of P's bases are its walls. A region
// that reaches a cell next to the border frame is open. A closed one becomes P's base when
// it holds a dot of the other side that is not captured yet (or always, with empty bases
// captured): the base covers the region and every cell the region surrounds, captures the
// other side's dots there, frees P's, and closes its empty cells to play. A dot that
// captures nothing and lands in a closed region of the other side's walls makes that
// region the other side's base at once: the dot is captured (suicide).
#pragma once

#include "rules/board.h"

#include <cstdint>

// The base search around the dot just set on cell; called by place_dot before the turn
// switches, so side_to_move is the mover and score is seen from it.
void find_bases(Board& board, int32_t cell);

// Whether a dot of side_to_move on the empty, open cell would capture nothing and be
// captured at once.
bool would_be_suicide(const Board& board, int32_t cell);

// The side to move grounds instead of placing a dot: the game ends, and each of its free
// dots not linked to the outermost rows or columns (through its own free dots, orthogonally
// or diagonally) counts as captured by the other side. The turn is handed over as after a
// dot.
void ground(Board& board);
