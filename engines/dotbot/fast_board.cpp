#include "engines/dotbot/fast_board.h"

#include "engines/dotbot/fast_bases.h"
#include "rules/ring_gaps.h"

#include <cstring>

namespace {

// Records an enclosed region found by one flood: its empty cells and the other side's dots
// gain one on their count (a dot newly captured scores), the mover's captured dots are freed.
void enclose_region(FastBoard& b, const int32_t* cells, int32_t count) {
    for (int32_t e = 0; e < count; ++e) {
        const int32_t n = cells[e];
        if (b.owner[n] == b.side_to_move) {
            --b.enclosed[n];
            ++b.score;
        } else {
            if (b.owner[n] != FAST_EMPTY && b.enclosed[n] == 0)
                ++b.score;
            ++b.enclosed[n];
        }
    }
}

// The captured-dot balance the mover would gain from an enclosed region, without recording it.
int32_t region_gain(const FastBoard& b, const int32_t* cells, int32_t count) {
    int32_t gain = 0;
    for (int32_t e = 0; e < count; ++e) {
        const int32_t n = cells[e];
        gain += b.owner[n] == b.side_to_move || (b.owner[n] != FAST_EMPTY && b.enclosed[n] == 0);
    }
    return gain;
}

// The capture search around the mover's new dot on c, before the turn switches. With
// `record` it records what it finds; without, it only adds up what the enclosures would
// gain and returns that, leaving everything but the stamps alone.
//
// It finds the same enclosures as the rules core, with two shortcuts that change nothing
// but the stamps of open regions: a flood only marks cells and the region is recorded once
// it is known to be enclosed, so an open region needs no roll-back; and the flood goes depth
// first, towards the nearest edge, so that a region open to the frame is usually found open
// after a straight walk rather than after a breadth-first sweep of half the board. Whether
// a region is enclosed does not depend on the order its cells are visited in.
int32_t find_enclosures(FastBoard& b, int32_t c, bool record) {
    const int32_t m = b.side_to_move;
    auto own = [&](int k) { return b.owner[c + b.offset[k]] == m; };

    Gap gaps[4];
    const int gap_count = find_ring_gaps(own, gaps);
    if (gap_count < 2)
        return 0;

    // Orthogonal directions, the one towards the nearest edge last so that it is expanded
    // first from the stack.
    const int32_t x = cell_x(b, c);
    const int32_t y = cell_y(b, c);
    const int32_t edge_distance[4] = {y, b.cols - 1 - x, b.rows - 1 - y, x};
    int nearest = 0;
    for (int k = 1; k < 4; ++k) {
        if (edge_distance[k] < edge_distance[nearest])
            nearest = k;
    }
    int32_t steps[4];
    for (int k = 0; k < 4; ++k)
        steps[k] = b.offset[2 * ((nearest + 1 + k) & 3)];

    // A cell is marked once per flood, so each list holds at most one entry per cell.
    int32_t region[FAST_CAPACITY];
    int32_t pending[FAST_CAPACITY];
    const int32_t search_start = b.stamp_counter;
    int32_t gain = 0;

    for (int g = 0; g < gap_count; ++g) {
        const int32_t fill_stamp = ++b.stamp_counter;
        int32_t region_length = 0;
        int32_t pending_length = 0;
        bool open = false;

        auto visit = [&](int32_t n) {
            b.stamp[n] = fill_stamp;
            region[region_length++] = n;
            pending[pending_length++] = n;
        };

        for (int l = gaps[g].first;; l = (l + 1) & 7) {
            const int32_t n = c + b.offset[l];
            if (b.owner[n] == FAST_BORDER || b.stamp[n] > search_start) {
                open = true;
                break;
            }
            visit(n);
            if (l == gaps[g].last)
                break;
        }

        while (!open && pending_length > 0) {
            const int32_t q = pending[--pending_length];
            for (int k = 0; k < 4; ++k) {
                const int32_t n = q + steps[k];
                const int32_t owner = b.owner[n];
                if (owner == FAST_BORDER) {
                    open = true;
                    break;
                }
                if (b.stamp[n] == fill_stamp)
                    continue;
                if (owner == m) {
                    // A free own dot is a wall; a captured one is freed, once per flood.
                    if (b.enclosed[n] != 0)
                        visit(n);
                } else if (b.stamp[n] > search_start) {
                    open = true;
                    break;
                } else {
                    visit(n);
                }
            }
        }

        if (open)
            continue;
        if (record)
            enclose_region(b, region, region_length);
        else
            gain += region_gain(b, region, region_length);
    }
    return gain;
}

} // namespace

FastBoard::FastBoard(const FastBoard& other) {
    *this = other;
}

FastBoard& FastBoard::operator=(const FastBoard& other) {
    if (this == &other)
        return *this;
    rows = other.rows;
    cols = other.cols;
    first_cell = other.first_cell;
    end_cell = other.end_cell;
    std::memcpy(offset, other.offset, sizeof offset);
    side_to_move = other.side_to_move;
    score = other.score;
    stamp_counter = other.stamp_counter;
    dots = other.dots;
    grounded = other.grounded;
    rules = other.rules;
    const auto cells = static_cast<size_t>((rows + 2) * (cols + 2));
    std::memcpy(owner, other.owner, cells * sizeof owner[0]);
    std::memcpy(enclosed, other.enclosed, cells * sizeof enclosed[0]);
    std::memcpy(base, other.base, cells * sizeof base[0]);
    std::memcpy(ring, other.ring, cells * sizeof ring[0]);
    std::memcpy(stamp, other.stamp, cells * sizeof stamp[0]);
    return *this;
}

bool board_fits(int64_t rows, int64_t cols) {
    return board_size_fits(cols, rows);
}

bool setup_board(FastBoard& b, int32_t rows, int32_t cols, const RuleSet& rules) {
    if (!board_fits(rows, cols))
        return false;
    b.rows = rows;
    b.cols = cols;
    b.first_cell = cols + 3;
    b.end_cell = (cols + 2) * (rows + 1) - 1;
    const int32_t row = cols + 2;
    const int32_t ring[8] = {-row, -row + 1, 1, row + 1, row, row - 1, -1, -row - 1};
    std::memcpy(b.offset, ring, sizeof ring);
    b.side_to_move = 1;
    b.score = 0;
    b.stamp_counter = 0;
    b.dots = 0;
    b.grounded = 0;
    b.rules = rules;
    std::memset(b.owner, FAST_BORDER, sizeof b.owner);
    std::memset(b.enclosed, 0, sizeof b.enclosed);
    std::memset(b.base, 0, sizeof b.base);
    std::memset(b.ring, 0, sizeof b.ring);
    std::memset(b.stamp, 0, sizeof b.stamp);
    for (int32_t y = 0; y < rows; ++y)
        std::memset(b.owner + (y + 1) * row + 1, FAST_EMPTY, cols);
    return true;
}

int32_t point_cell(const FastBoard& b, int64_t x, int64_t y) {
    const int64_t i = int64_t{b.cols + 2} * y + b.first_cell + x;
    return i >= b.first_cell && i < b.end_cell ? static_cast<int32_t>(i) : -1;
}

bool touches_dot(const FastBoard& b, int32_t cell) {
    for (int k = 0; k < 8; ++k) {
        const int8_t owner = b.owner[cell + b.offset[k]];
        if (owner == 1 || owner == 2)
            return true;
    }
    return false;
}

void put_dot(FastBoard& b, int32_t cell) {
    b.owner[cell] = static_cast<int8_t>(b.side_to_move);
    ++b.dots;
    if (b.rules.kind == RuleKind::fendrel)
        find_enclosures(b, cell, true);
    else
        find_bases(b, cell);
    b.side_to_move ^= 3;
    b.score = -b.score;
}

int32_t first_legal_cell(FastBoard& b) {
    for (int32_t i = b.first_cell; i < b.end_cell; ++i) {
        if (is_legal_move(b, i))
            return i;
    }
    return -1;
}

int32_t probe_gain(FastBoard& b, int32_t cell, int32_t side) {
    if (b.rules.kind == RuleKind::standard)
        return probe_bases(b, cell, side).gain;
    const int32_t mover = b.side_to_move;
    b.owner[cell] = static_cast<int8_t>(side);
    b.side_to_move = side;
    const int32_t gain = find_enclosures(b, cell, false);
    b.owner[cell] = FAST_EMPTY;
    b.side_to_move = mover;
    return gain;
}

bool is_suicide(FastBoard& b, int32_t cell, int32_t side) {
    // Only a dot inside a closed region of the other side's walls can be captured at once.
    return b.rules.kind == RuleKind::standard && in_ring_of(b, cell, side ^ 3) &&
           probe_bases(b, cell, side).suicide;
}

bool is_legal_move(FastBoard& b, int32_t cell) {
    return can_take_dot(b, cell) && b.grounded == 0 &&
           (b.rules.suicide || !is_suicide(b, cell, b.side_to_move));
}
