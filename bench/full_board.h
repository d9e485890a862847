// The costliest position to paint, for the painting benchmarks.
#pragma once

// Sets up a full board: every point holds a dot, side 1 and side 2 in stripes two rows
// high, and the lower half of the board lies inside enclosures, so that each of its cells
// draws an enclosure disc under a captured dot; the latest dot is the last point.
void set_up_full_board();
