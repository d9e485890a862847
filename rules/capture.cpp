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

namespace {

// What one flood leaves: the end of its entries in the region list, its score change, and
// whether it found the region open.
struct FloodEnd {
    int32_t region_length;
    int32_t gained;
    bool open;
};

// Floods the region behind one gap of the ring around c, its entries appended to the region
// list from region_start. ROW and CELLS are the bordered row's length and the board's cell
// count when they are known at compile time (the window program's board), else 0 and they
// come in `row` and `cells`: with them constants, the four steps and the distances between
// the per-cell lists fold into the loads, so that one register reaches every list, as when
// the board had one fixed size and its lists were fixed arrays.
template <int32_t ROW, int32_t CELLS>
FloodEnd flood_gap(int32_t* storage, const int32_t* gap_cells, int32_t gap_length,
                   int32_t region_start, int32_t m, int32_t fill_stamp, int32_t search_start,
                   int32_t row, int32_t cells) {
    const int32_t list_cells = CELLS != 0 ? CELLS : cells;
    int32_t* const cell_owner = storage + OWNER_LIST * list_cells;
    int32_t* const cell_enclosed = storage + ENCLOSED_LIST * list_cells;
    int32_t* const cell_stamp = storage + STAMP_LIST * list_cells;
    int32_t* const region_list = storage + REGION_LIST * list_cells;
    const int32_t step_row = ROW != 0 ? ROW : row;
    int32_t* tail = region_list + region_start; // where the flood's next entry goes
    int32_t gained = 0;

    // Steps from the region onto n; false when that shows the region open. A cell of this
    // flood is passed over first: most steps lead back into the region. A free own dot is a
    // wall; a captured one is freed, once per flood (its stamp says so); any other cell not
    // yet flooded in this search is taken.
    auto reach = [&](int32_t n) {
        const int32_t stamp = cell_stamp[n];
        if (stamp == fill_stamp)
            return true;
        const int32_t owner = cell_owner[n];
        if (owner == m) {
            const int32_t enclosed = cell_enclosed[n];
            if (enclosed == 0)
                return true;
            cell_enclosed[n] = enclosed - 1;
            ++gained;
        } else {
            if (owner == CELL_BORDER || stamp > search_start)
                return false;
            const int32_t enclosed = cell_enclosed[n];
            cell_enclosed[n] = enclosed + 1;
            gained += owner != CELL_EMPTY && enclosed == 0;
        }
        cell_stamp[n] = fill_stamp;
        *tail++ = n;
        return true;
    };
    const auto end = [&](bool open) {
        return FloodEnd{static_cast<int32_t>(tail - region_list), gained, open};
    };

    for (int32_t k = 0; k < gap_length; ++k) {
        if (!reach(gap_cells[k]))
            return end(true);
    }
    for (const int32_t* head = region_list + region_start; head < tail; ++head) {
        const int32_t q = *head;
        if (!reach(q - step_row) || !reach(q + 1) || !reach(q + step_row) || !reach(q - 1))
            return end(true);
    }
    return end(false);
}

// Reverts the counts of an open region's entries and returns the score before its flood;
// CELLS as for the flood.
template <int32_t CELLS>
int32_t undo_entries(int32_t* storage, int32_t cells, const int32_t* entries, int32_t count,
                     int32_t m, int32_t score) {
    const int32_t list_cells = CELLS != 0 ? CELLS : cells;
    const int32_t* const cell_owner = storage + OWNER_LIST * list_cells;
    int32_t* const cell_enclosed = storage + ENCLOSED_LIST * list_cells;
    for (int32_t e = 0; e < count; ++e) {
        // Both read before the write: the lists may alias for all the compiler knows, and a
        // reread after it costs a branch where the score's update can go without one.
        const int32_t n = entries[e];
        const int32_t owner = cell_owner[n];
        const int32_t enclosed = cell_enclosed[n];
        if (owner == m) {
            cell_enclosed[n] = enclosed + 1;
            --score;
        } else {
            cell_enclosed[n] = enclosed - 1;
            score -= owner != CELL_EMPTY && enclosed == 1;
        }
    }
    return score;
}

template <int32_t ROW, int32_t CELLS> void search_enclosures(Board& board, int32_t c) {
    int32_t* const cell_owner = board.cell_owner.data();
    int32_t* const region_list = board.region_list.data();
    const int32_t* const neighbour_offset = board.neighbour_offset;
    const int32_t m = board.side_to_move;
    auto own = [&](int k) { return cell_owner[c + neighbour_offset[k]] == m; };

    Gap gaps[4];
    const int gap_count = find_ring_gaps(own, gaps);
    if (gap_count < 2)
        return;

    // A stamp above search_start belongs to a flood of this search; one equal to fill_stamp
    // to the current flood. Older stamps are all at most search_start, so nothing is cleared.
    const int32_t search_start = board.stamp_counter;
    const auto cells = static_cast<int32_t>(board.cell_owner.size());
    int32_t region_length = 0;
    for (int g = 0; g < gap_count; ++g) {
        // The gap's cells hold no dot of the mover: the flood starts from them.
        int32_t gap_cells[8];
        int32_t gap_length = 0;
        for (int l = gaps[g].first;; l = (l + 1) & 7) {
            gap_cells[gap_length++] = c + neighbour_offset[l];
            if (l == gaps[g].last)
                break;
        }
        const FloodEnd end = flood_gap<ROW, CELLS>(board.cell_storage.data(), gap_cells, gap_length,
                                                   region_length, m, search_start + g + 1,
                                                   search_start, board.board_cols + 2, cells);
        // An open region's counts are reverted, which takes back its score change too.
        if (end.open) {
            undo_entries<CELLS>(board.cell_storage.data(), cells, region_list + region_length,
                                end.region_length - region_length, m, 0);
        } else {
            board.score += end.gained;
            region_length = end.region_length;
        }
    }
    board.stamp_counter = search_start + gap_count;
}

} // namespace

void find_enclosures(Board& board, int32_t c) {
    if (board.board_cols == FENDREL_COLS && board.board_rows == FENDREL_ROWS)
        search_enclosures<FENDREL_COLS + 2, (FENDREL_COLS + 2) * (FENDREL_ROWS + 2)>(board, c);
    else
        search_enclosures<0, 0>(board, c);
}

void undo_open_region(Board& board, const int32_t* entries, int32_t count) {
    board.score =
        undo_entries<0>(board.cell_storage.data(), static_cast<int32_t>(board.cell_owner.size()),
                        entries, count, board.side_to_move, board.score);
}
