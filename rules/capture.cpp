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
    // compiler reload them. The flood's step (reach) is one short body, taking a cell and
    // freeing an own dot alike, so that the compiler inlines it at each of its calls: called
    // out of line, it would read every one of these from its closure again (over half as
    // much time again a move).
    int32_t* const cell_owner = board.cell_owner.data();
    int32_t* const cell_enclosed = board.cell_enclosed.data();
    int32_t* const cell_stamp = board.cell_stamp.data();
    int32_t* const region_list = board.region_list.data();
    const int32_t* const neighbour_offset = board.neighbour_offset;
    const int32_t row = board.board_cols + 2;

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

        // Steps from the region onto n; false when that shows the region open. A cell of
        // this flood is passed over first: most steps lead back into the region. A free own
        // dot is a wall; a captured one is freed, once per flood (its stamp says so); any
        // other cell not yet flooded in this search is taken.
        auto reach = [&](int32_t n) {
            if (cell_stamp[n] == fill_stamp)
                return true;
            const int32_t owner = cell_owner[n];
            const bool mine = owner == m;
            if (!mine && (owner == CELL_BORDER || cell_stamp[n] > search_start))
                return false;
            const int32_t enclosed = cell_enclosed[n];
            if (mine && enclosed == 0)
                return true;
            cell_enclosed[n] = mine ? enclosed - 1 : enclosed + 1;
            gained += mine || (owner != CELL_EMPTY && enclosed == 0);
            cell_stamp[n] = fill_stamp;
            region_list[region_length++] = n;
            return true;
        };

        // The gap's cells hold no dot of the mover, so each is taken unless it shows the
        // region open.
        bool open = false;
        for (int l = gaps[g].first; !open; l = (l + 1) & 7) {
            open = !reach(c + neighbour_offset[l]);
            if (l == gaps[g].last)
                break;
        }

        while (!open && queue_read < region_length) {
            const int32_t q = region_list[queue_read++];
            open = !reach(q - row) || !reach(q + 1) || !reach(q + row) || !reach(q - 1);
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
