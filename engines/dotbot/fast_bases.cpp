#include "engines/dotbot/fast_bases.h"

#include "rules/ring_gaps.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <type_traits>

namespace {

// One cell's state before a trial placement changed it.
struct JournalEntry {
    int32_t cell;
    int16_t enclosed;
    int8_t base;
    int8_t ring;
};

// The cells a trial placement changed, each once, with its state before the first change:
// undone in any order, that gives the board back, and a board's cells bound its length.
struct Journal {
    JournalEntry entries[FAST_CAPACITY];
    uint32_t kept_in[FAST_CAPACITY]; // the trial that last kept the cell
    uint32_t trial;
    int32_t length;
};

// A region and, after it, what it surrounds (and the search's queue for that) take at most
// two entries a cell.
thread_local int32_t region_cells[2 * FAST_CAPACITY];
thread_local int32_t pending_cells[FAST_CAPACITY];
// The cells that stopped the other side's floods before a base covered them.
thread_local int32_t lost_walls[FAST_CAPACITY];

// No stamp is above it: a flood of its own, with no earlier flood to meet.
constexpr int32_t NO_EARLIER_FLOOD = INT32_MAX;

int8_t side_bit(int32_t s) {
    return static_cast<int8_t>(1 << (s - 1));
}

// Keeps the cell's state in the journal, when there is one and the trial has not kept it yet,
// before it changes.
void keep(Journal* journal, const FastBoard& b, int32_t n) {
    if (journal == nullptr || journal->kept_in[n] == journal->trial)
        return;
    journal->kept_in[n] = journal->trial;
    journal->entries[journal->length++] = {n, b.enclosed[n], b.base[n], b.ring[n]};
}

// Whether the cell stops a flood of side s: a free dot of s, or a cell of one of its bases.
bool is_wall(const FastBoard& b, int32_t n, int32_t s) {
    return (b.owner[n] == s && b.enclosed[n] == 0) || b.base[n] == s;
}

// Whether the cell lies next to the border frame: on the outermost rows or columns.
bool on_edge(const FastBoard& b, int32_t cell) {
    for (int k = 0; k < 8; k += 2) {
        if (b.owner[cell + b.offset[k]] == FAST_BORDER)
            return true;
    }
    return false;
}

// Floods the region of seed behind side s's walls into region_cells with a new stamp, depth
// first towards the nearest edge; false as soon as the region shows itself open: at the
// frame, or on a cell of an earlier flood that was open (a stamp above open_above).
bool flood_region(FastBoard& b, int32_t seed, int32_t s, int32_t& length, int32_t open_above) {
    const int32_t x = cell_x(b, seed);
    const int32_t y = cell_y(b, seed);
    const int32_t edge_distance[4] = {y, b.cols - 1 - x, b.rows - 1 - y, x};
    int nearest = 0;
    for (int k = 1; k < 4; ++k) {
        if (edge_distance[k] < edge_distance[nearest])
            nearest = k;
    }
    // The step towards the nearest edge last, so that it is taken first from the stack.
    int32_t steps[4];
    for (int k = 0; k < 4; ++k)
        steps[k] = b.offset[2 * ((nearest + 1 + k) & 3)];

    const int32_t stamp = ++b.stamp_counter;
    int32_t pending = 0;
    length = 0;
    b.stamp[seed] = stamp;
    region_cells[length++] = seed;
    pending_cells[pending++] = seed;
    while (pending > 0) {
        const int32_t q = pending_cells[--pending];
        for (const int32_t step : steps) {
            const int32_t n = q + step;
            if (b.owner[n] == FAST_BORDER)
                return false;
            if (b.stamp[n] == stamp || is_wall(b, n, s))
                continue;
            if (b.stamp[n] > open_above)
                return false;
            b.stamp[n] = stamp;
            region_cells[length++] = n;
            pending_cells[pending++] = n;
        }
    }
    return true;
}

// Marks the first `length` cells of region_cells as inside a closed region of side s.
void mark_ring(FastBoard& b, int32_t s, int32_t length, Journal* journal) {
    const int8_t bit = side_bit(s);
    for (int32_t e = 0; e < length; ++e) {
        const int32_t n = region_cells[e];
        if ((b.ring[n] & bit) == 0) {
            keep(journal, b, n);
            b.ring[n] = static_cast<int8_t>(b.ring[n] | bit);
        }
    }
}

// Clears side s's ring mark from the marked region of `from`, which has opened.
void clear_ring(FastBoard& b, int32_t s, int32_t from, Journal* journal) {
    const int8_t bit = side_bit(s);
    int32_t pending = 0;
    keep(journal, b, from);
    b.ring[from] = static_cast<int8_t>(b.ring[from] & ~bit);
    pending_cells[pending++] = from;
    while (pending > 0) {
        const int32_t q = pending_cells[--pending];
        for (int k = 0; k < 8; k += 2) {
            const int32_t n = q + b.offset[k];
            if ((b.ring[n] & bit) != 0) {
                keep(journal, b, n);
                b.ring[n] = static_cast<int8_t>(b.ring[n] & ~bit);
                pending_cells[pending++] = n;
            }
        }
    }
}

// Side t's walls on the `count` cells of lost_walls are gone, so its regions there have
// grown: each one that is closed now is marked, and the marked regions that it swallowed
// while open are no longer. Only such regions can have changed, since a region grows only
// where one of its walls went.
void recheck_rings(FastBoard& b, int32_t t, int32_t count, Journal* journal) {
    // Whether each flood of this recheck was open, by its stamp's order: at most a flood a
    // lost wall.
    thread_local bool flood_open[FAST_CAPACITY];
    int32_t floods = 0;
    const int32_t start = b.stamp_counter;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t l = lost_walls[i];
        if (b.stamp[l] > start)
            continue; // in a region this recheck flooded already
        int32_t length = 0;
        const bool closed = flood_region(b, l, t, length, start);
        flood_open[floods++] = !closed;
        if (closed)
            mark_ring(b, t, length, journal);
    }
    const int8_t bit = side_bit(t);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t l = lost_walls[i];
        if (!flood_open[b.stamp[l] - start - 1])
            continue;
        for (int k = 0; k < 8; k += 2) {
            const int32_t n = l + b.offset[k];
            if ((b.ring[n] & bit) != 0)
                clear_ring(b, t, n, journal);
        }
    }
}

// Appends to the closed region's `length` cells every cell it surrounds: those of its
// bounding box that no step from outside the box reaches without entering the region, steps
// going in all eight directions. Returns the new length.
int32_t add_surrounded(FastBoard& b, int32_t length) {
    int32_t* const list = region_cells;
    const int32_t region_stamp = b.stamp[list[0]];
    int32_t x0 = b.cols, y0 = b.rows, x1 = -1, y1 = -1;
    for (int32_t e = 0; e < length; ++e) {
        const int32_t x = cell_x(b, list[e]), y = cell_y(b, list[e]);
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    // A closed region never touches the edge, so the box one point wider is on the board.
    --x0, --y0, ++x1, ++y1;
    const int32_t outside_stamp = ++b.stamp_counter;
    const int32_t row = b.cols + 2;
    int32_t* const queue = list + length;
    int32_t queued = 0;
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            if (x == x0 || x == x1 || y == y0 || y == y1) {
                const int32_t cell = b.first_cell + y * row + x;
                b.stamp[cell] = outside_stamp;
                queue[queued++] = cell;
            }
        }
    }
    for (int32_t read = 0; read < queued; ++read) {
        const int32_t q = queue[read];
        for (const int32_t step : b.offset) {
            const int32_t n = q + step;
            const int32_t x = cell_x(b, n), y = cell_y(b, n);
            if (x <= x0 || x >= x1 || y <= y0 || y >= y1)
                continue;
            if (b.stamp[n] == region_stamp || b.stamp[n] == outside_stamp)
                continue;
            b.stamp[n] = outside_stamp;
            queue[queued++] = n;
        }
    }
    for (int32_t y = y0 + 1; y < y1; ++y) {
        for (int32_t x = x0 + 1; x < x1; ++x) {
            const int32_t cell = b.first_cell + y * row + x;
            if (b.stamp[cell] != region_stamp && b.stamp[cell] != outside_stamp)
                list[length++] = cell;
        }
    }
    return length;
}

// Makes the closed region in region_cells, with what it surrounds, a base of side s when the
// rules let it; false when they do not, and the region stays as it was. Adds the other
// side's dots it captured to `captured`.
bool make_base(FastBoard& b, int32_t s, int32_t length, Journal* journal, int32_t& captured) {
    const int32_t other = s ^ 3;
    const int32_t* const list = region_cells;
    length = add_surrounded(b, length);
    const bool holds_enemy = std::any_of(
        list, list + length, [&](int32_t n) { return b.owner[n] == other && b.enclosed[n] == 0; });
    if (!holds_enemy && !b.rules.capture_empty_bases)
        return false;
    const int8_t own_bit = side_bit(s);
    int32_t taken = 0, freed = 0, lost = 0;
    for (int32_t e = 0; e < length; ++e) {
        const int32_t n = list[e];
        keep(journal, b, n);
        if (is_wall(b, n, other))
            lost_walls[lost++] = n;
        const int8_t owner = b.owner[n];
        if (owner == other && b.enclosed[n] == 0) {
            b.enclosed[n] = 1;
            ++taken;
        } else if (owner == s && b.enclosed[n] != 0) {
            b.enclosed[n] = 0;
            ++freed;
        } else if (owner == FAST_EMPTY) {
            b.enclosed[n] = 1;
        }
        b.base[n] = static_cast<int8_t>(s);
        b.ring[n] = static_cast<int8_t>(b.ring[n] & ~own_bit); // a cell of s's base is its wall
    }
    // score is seen from the mover, who may be either side.
    b.score += (s == b.side_to_move ? 1 : -1) * (taken + freed);
    captured += taken;
    if (lost > 0)
        recheck_rings(b, other, lost, journal);
    return true;
}

// The base search of find_bases; true when the dot is captured at once. With a journal
// (a trial placement) it stops as soon as it knows that, without making the base.
//
// Where the core floods behind every orthogonal neighbour, this one floods only where a
// region can have been closed or can have to become a base: where the ring around the dot
// has two gaps between the mover's walls or more, or where the dot went into a closed
// region of the mover's (its ring mark). A region behind a single gap is the dot's region
// of before, which was open, or closed and marked. The same marks tell whether a dot that
// captured nothing lies in a closed region of the other side's.
bool search_bases(FastBoard& b, int32_t cell, Journal* journal) {
    const int32_t mover = b.side_to_move;
    const int8_t own_bit = side_bit(mover);
    const bool in_own_ring = (b.ring[cell] & own_bit) != 0;
    if (in_own_ring) {
        keep(journal, b, cell);
        b.ring[cell] = static_cast<int8_t>(b.ring[cell] & ~own_bit);
    }
    auto own = [&](int k) { return is_wall(b, cell + b.offset[k], mover); };
    Gap gaps[4];
    int32_t captured = 0;
    if (find_ring_gaps(own, gaps) >= 2 || in_own_ring) {
        int32_t region_stamps[4] = {};
        int regions = 0;
        // Stamps above it are of this search's open floods only: a later flood that meets
        // one is in the same region, open too.
        int32_t open_above = b.stamp_counter;
        for (int k = 0; k < 8; k += 2) {
            const int32_t n = cell + b.offset[k];
            if (b.owner[n] == FAST_BORDER || is_wall(b, n, mover) ||
                std::find(region_stamps, region_stamps + regions, b.stamp[n]) !=
                    region_stamps + regions)
                continue;
            int32_t length = 0;
            const bool closed = flood_region(b, n, mover, length, open_above);
            region_stamps[regions++] = b.stamp_counter;
            if (closed) {
                if (!make_base(b, mover, length, journal, captured))
                    mark_ring(b, mover, length, journal);
                open_above = b.stamp_counter;
            }
        }
    }
    // A dot that captured is no longer inside the other side's ring; a dot that did not
    // and is inside one makes it a base at once.
    const int32_t other = mover ^ 3;
    if (captured != 0 || (b.ring[cell] & side_bit(other)) == 0)
        return false;
    int32_t length = 0;
    if (journal == nullptr && flood_region(b, cell, other, length, NO_EARLIER_FLOOD))
        make_base(b, other, length, journal, captured);
    return true;
}

} // namespace

void find_bases(FastBoard& b, int32_t cell) {
    search_bases(b, cell, nullptr);
}

BaseProbe probe_bases(FastBoard& b, int32_t cell, int32_t side) {
    // A thread's storage of trivially destructible objects only: MinGW's emulated thread-local
    // storage can free a thread's block before the destructors of its objects run, and the
    // Windows dotbot crashed in a journal's destructor as a turn's thread ended.
    static_assert(std::is_trivially_destructible_v<Journal>);
    thread_local Journal journal;
    const int32_t mover = b.side_to_move;
    const int32_t score = b.score;
    b.side_to_move = side;
    b.score = side == mover ? score : -score;
    const int32_t before = b.score;
    b.owner[cell] = static_cast<int8_t>(side);
    journal.length = 0;
    if (++journal.trial == 0) { // wrapped: no cell may seem kept by this trial already
        std::fill(std::begin(journal.kept_in), std::end(journal.kept_in), 0u);
        journal.trial = 1;
    }
    const bool suicide = search_bases(b, cell, &journal);
    const BaseProbe probe{suicide ? -1 : b.score - before, suicide};
    for (int32_t e = 0; e < journal.length; ++e) {
        const JournalEntry& kept = journal.entries[e];
        b.enclosed[kept.cell] = kept.enclosed;
        b.base[kept.cell] = kept.base;
        b.ring[kept.cell] = kept.ring;
    }
    b.owner[cell] = FAST_EMPTY;
    b.side_to_move = mover;
    b.score = score;
    return probe;
}

namespace {

// Marks every free dot of side linked to the edge with this call's generation in `linked`.
int32_t mark_linked(const FastBoard& b, int32_t s, int32_t* linked) {
    thread_local int32_t generation = 0;
    const int32_t mark = ++generation;
    auto free_dot = [&](int32_t n) { return b.owner[n] == s && b.enclosed[n] == 0; };
    int32_t queued = 0;
    for (int32_t i = b.first_cell; i < b.end_cell; ++i) {
        if (free_dot(i) && on_edge(b, i) && linked[i] != mark) {
            linked[i] = mark;
            pending_cells[queued++] = i;
        }
    }
    for (int32_t read = 0; read < queued; ++read) {
        for (const int32_t step : b.offset) {
            const int32_t n = pending_cells[read] + step;
            if (free_dot(n) && linked[n] != mark) {
                linked[n] = mark;
                pending_cells[queued++] = n;
            }
        }
    }
    return mark;
}

thread_local int32_t linked_mark[FAST_CAPACITY];

} // namespace

int32_t unlinked_dots(const FastBoard& b, int32_t s) {
    const int32_t mark = mark_linked(b, s, linked_mark);
    int32_t unlinked = 0;
    for (int32_t i = b.first_cell; i < b.end_cell; ++i)
        unlinked += b.owner[i] == s && b.enclosed[i] == 0 && linked_mark[i] != mark;
    return unlinked;
}

void ground(FastBoard& b) {
    const int32_t s = b.side_to_move;
    const int32_t mark = mark_linked(b, s, linked_mark);
    for (int32_t i = b.first_cell; i < b.end_cell; ++i) {
        if (b.owner[i] == s && b.enclosed[i] == 0 && linked_mark[i] != mark) {
            b.enclosed[i] = 1;
            --b.score;
        }
    }
    b.grounded = s;
    b.side_to_move ^= 3;
    b.score = -b.score;
}
