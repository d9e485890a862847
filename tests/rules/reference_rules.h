// A second implementation of placement and capture, written plainly for the tests. It
// shares no mechanism with the core: its board is addressed by (x, y) with bounds tests in
// place of a border frame, every flood gets a fresh visited set (no stamps), and a flood
// found open is rolled back from a copy taken before it (no undo list). What it does share
// are the rules themselves: the same gap scan, the same flood order, a captured own dot
// freed at most once per flood, and the same score.
//
// Under the standard rules it floods each region from scratch, and finds what a closed
// region surrounds by flooding everything else from outside the whole board, where the
// core looks only inside the region's bounding box.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/rule_set.h"

struct ReferenceBoard {
    int32_t cols = 0;
    int32_t rows = 0;
    RuleSet rules;
    std::vector<int32_t> owner;    // per point, x + y * cols: 0 empty, 1 or 2
    std::vector<int32_t> enclosed; // per point, as cell_enclosed
    std::vector<int32_t> base;     // per point, as cell_base
    int32_t grounded = 0;
    int32_t side_to_move = 1;
    int32_t score = 0; // seen from side_to_move
};

// What placements did, summed over a game, so that tests can show that their games reach the
// rare cases rather than assume it.
struct ReferenceStats {
    int64_t enclosed = 0;        // floods that ended enclosed
    int64_t met_earlier = 0;     // floods dropped on meeting an earlier flood of the move
    int64_t frees = 0;           // own dots freed by enclosed floods
    int64_t frees_above_one = 0; // of those, freed from a count above 1
    // Enclosed floods reaching a dot they had freed while its count is still nonzero: where
    // freeing once per arrival would free it again.
    int64_t second_arrivals = 0;
    int32_t highest_count = 0;    // highest enclosure count seen on any cell
    int32_t region_list_peak = 0; // most entries the core's region list would hold at once
    int64_t suicides = 0;         // standard: dots captured by the ring they entered
};

// An empty board of cols x rows under the rules, their start position placed, side 1 to
// move.
void reset_reference(ReferenceBoard& board, int32_t cols, int32_t rows, const RuleSet& rules);

// Whether the side to move may place a dot at (x, y): the pair names a point by the exact
// index (y + 1) * (columns + 2) + (x + 1) of the bordered board, computed in 64 bits.
bool reference_is_legal(const ReferenceBoard& board, int32_t x, int32_t y);

// Places the dot of the side to move at the point (x, y), which must be legal; records the
// enclosures, hands over the turn and adds what happened to stats.
void reference_place(ReferenceBoard& board, int32_t x, int32_t y, ReferenceStats& stats);

// The side to move grounds: its free dots not linked to the edge are captured, the game
// ends and the turn passes.
void reference_ground(ReferenceBoard& board);
