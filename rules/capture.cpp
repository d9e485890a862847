#include "rules/capture.h"

#include "rules/ring_gaps.h"
#include "rules/standard_bases.h"

// The search's region list (Board::region_list, sized once so that a move allocates
// nothing) keeps the entries of every enclosed region of the search and, after them,
// the current flood's. The current flood's entries are also its queue, read first in, first
// out from the region's start: a flood appends each cell it takes or frees once (its stamp
// forbids a second take, and a freed dot is not freed again by the same flood). A dot
// enclosed more than once can be freed by an enclosed region and again by a later flood of
// the same search before that flood finds itself open, so the list holds two entries per
// cell.

void place_dot(Board& board, int32_t cell) {
    board.cell_owner[cell] = board.side_to_move;
    if (board.rules.kind == RuleKind::fendrel)
        find_enclosures(board, cell);
    else
        find_bases(board, cell);
    board.side_to_move ^= 3;
    board.score = -board.score;
}

void find_enclosures(Board& board, int32_t c) {
    // The lists' storage held in locals, so that the flood's stores cannot make the
    // compiler reload them. The flood's step (reach) has one call site, a loop over the four
    // directions, so that the compiler inlines it: called out of line, it would read every
    // one of these from its closure again (over half as much time again a move).
    int32_t* const cell_owner = board.cell_owner.data();
    int32_t* const cell_enclosed = board.cell_enclosed.data();
    int32_t* const cell_stamp = board.cell_stamp.data();
    int32_t* const region_list = board.region_list.data();
    const int32_t* const neighbour_offset = board.neighbour_offset;
    const int32_t row = board.board_cols + 2;
    const int32_t steps[4] = {-row, 1, row, -1}; // north, east, south, west

    const int32_t m = board.side_to_move;
    auto own = [&](int k) { return cell_owner[c + neighbour_offset[k]] == m; };

    Gap gaps[4];
    const int gap_count = find_ring_gaps(own, gaps);
    if (gap_count < 2)
        return;

    // A stamp above search_start belongs to a flood of this search; one equal to fill_stamp
    // to the current flood. Older stamps are all at most search_start, so nothing is cleared.
    int32_t stamp_counter = board.stamp_counter;
    const int32_t search_start = stamp_counter;
    int32_t region_length = 0;

    for (int g = 0; g < gap_count; ++g) {
        const int32_t fill_stamp = ++stamp_counter;
        const int32_t region_start = region_length;
        int32_t queue_read = region_start;
        int32_t gained = 0; // the flood's score change, kept out of memory while it runs

        auto visit = [&](int32_t n) {
            cell_stamp[n] = fill_stamp;
            region_list[region_length++] = n;
        };
        auto take = [&](int32_t n) {
            gained += cell_owner[n] != CELL_EMPTY && cell_enclosed[n] == 0;
            ++cell_enclosed[n];
            visit(n);
        };
        // Steps from the region onto n; false when that shows the region open.
        // A cell of this flood is passed over first: most steps lead back into the region.
        auto reach = [&](int32_t n) {
            if (cell_stamp[n] == fill_stamp)
                return true;
            const int32_t owner = cell_owner[n];
            if (owner == CELL_BORDER)
                return false;
            if (owner == m) {
                // A free own dot is a wall; a captured one is freed, once per flood.
                if (cell_enclosed[n] != 0) {
                    --cell_enclosed[n];
                    ++gained;
                    visit(n);
                }
                return true;
            }
            if (cell_stamp[n] > search_start)
                return false;
            take(n);
            return true;
        };

        bool open = false;
        for (int l = gaps[g].first;; l = (l + 1) & 7) {
            const int32_t n = c + neighbour_offset[l];
            if (cell_owner[n] == CELL_BORDER || cell_stamp[n] > search_start) {
                open = true;
                break;
            }
            take(n);
            if (l == gaps[g].last)
                break;
        }

        while (!open && queue_read < region_length) {
            const int32_t q = region_list[queue_read++];
            for (const int32_t step : steps) {
                if (!reach(q + step)) {
                    open = true;
                    break;
                }
            }
        }

        board.score += gained;
        if (open) {
            undo_open_region(board, region_list + region_start, region_length - region_start);
            region_length = region_start;
        }
    }
    board.stamp_counter = stamp_counter;
}

void undo_open_region(Board& board, const int32_t* entries, int32_t count) {
    int32_t* const cell_owner = board.cell_owner.data();
    int32_t* const cell_enclosed = board.cell_enclosed.data();
    const int32_t m = board.side_to_move;
    int32_t restored = board.score; // kept out of memory while the counts are written
    for (int32_t e = 0; e < count; ++e) {
        // Both read before the write: the lists may alias for all the compiler knows, and a
        // reread after it costs a branch where the score's update can go without one.
        const int32_t n = entries[e];
        const int32_t owner = cell_owner[n];
        const int32_t enclosed = cell_enclosed[n];
        if (owner == m) {
            cell_enclosed[n] = enclosed + 1;
            --restored;
        } else {
            cell_enclosed[n] = enclosed - 1;
            restored -= owner != CELL_EMPTY && enclosed == 1;
        }
    }
    board.score = restored;
}
