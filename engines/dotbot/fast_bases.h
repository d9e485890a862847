// The standard rules on the engine's board: bases, suicide and grounding, exactly as the
// rules core plays them (rules/standard_bases.h says what they are).
//
// The searches differ from the core's only in what they visit, never in what they find: a
// flood goes depth first, towards the nearest edge, so that a region open to the frame is
// usually found open after a straight walk; and a trial placement keeps a journal of the
// cells it changes and rolls them back, so that a probe needs no copy of the board.
#pragma once

#include "engines/dotbot/fast_board.h"

#include <cstdint>

// The base search around the dot just set on cell; called by put_dot before the turn
// switches, so side_to_move is the mover and score is seen from it.
void find_bases(FastBoard& board, int32_t cell);

// What a dot of side on a cell that can take one would do: side's captured-dot balance
// change, and whether the dot would be captured at once (the change is then -1, whatever
// more the base would take). The board is left as it was but for the search's visit marks.
struct BaseProbe {
    int32_t gain;
    bool suicide;
};
BaseProbe probe_bases(FastBoard& board, int32_t cell, int32_t side);

// How many free dots of side no chain of its own free dots (orthogonal or diagonal steps)
// links to the outermost rows or columns: what side would lose by grounding.
int32_t unlinked_dots(const FastBoard& board, int32_t side);

// The side to move grounds: its unlinked free dots count as captured by the other side, the
// game ends, and the turn is handed over as after a dot.
void ground(FastBoard& board);
