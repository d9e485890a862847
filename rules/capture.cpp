#include "rules/capture.h"

#include "rules/board.h"
#include "rules/ring_gaps.h"

namespace {

// Working storage of one search, fixed so that a move allocates nothing.
//
// The region list keeps the entries of every enclosed region of the search and, after them,
// the current flood's. The current flood's entries are also its queue, read first in, first
// out from the region's start: a flood appends each cell it takes or frees once (its stamp
// forbids a second take, and a freed dot is not freed again by the same flood). A dot
// enclosed more than once can be freed by an enclosed region and again by a later flood of
// the same search before that flood finds itself open, so the list holds two entries per
// cell.
int32_t region_list[2 * CELL_CAPACITY];

// The flood's four steps as constants, so that they fold into its loads.
constexpr int32_t NORTH = -(board_cols + 2);
constexpr int32_t EAST = 1;
constexpr int32_t SOUTH = board_cols + 2;
constexpr int32_t WEST = -1;

} // namespace

void place_dot(int32_t cell) {
    cell_owner[cell] = side_to_move;
    find_enclosures(cell);
    side_to_move ^= 3;
    score = -score;
}

void find_enclosures(int32_t c) {
    const int32_t m = side_to_move;
    auto own = [&](int k) { return cell_owner[c + neighbour_offset[k]] == m; };

    Gap gaps[4];
    const int gap_count = find_ring_gaps(own, gaps);
    if (gap_count < 2)
        return;

    // A stamp above search_start belongs to a flood of this search; one equal to fill_stamp
    // to the current flood. Older stamps are all at most search_start, so nothing is cleared.
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
            open = !reach(q + NORTH) || !reach(q + EAST) || !reach(q + SOUTH) || !reach(q + WEST);
        }

        score += gained;
        if (open) {
            undo_open_region(region_list + region_start, region_length - region_start);
            region_length = region_start;
        }
    }
}

void undo_open_region(const int32_t* entries, int32_t count) {
    const int32_t m = side_to_move;
    int32_t restored = score; // kept out of memory while the counts are written
    for (int32_t e = 0; e < count; ++e) {
        const int32_t n = entries[e];
        if (cell_owner[n] == m) {
            ++cell_enclosed[n];
            --restored;
        } else {
            --cell_enclosed[n];
            if (cell_owner[n] != CELL_EMPTY && cell_enclosed[n] == 0)
                --restored;
        }
    }
    score = restored;
}
