#include "reference_rules.h"

#include "rules/board.h"

#include <algorithm>
#include <deque>

namespace {

// The ring of eight neighbours, clockwise from north, as steps in x and y.
constexpr int32_t RING_DX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int32_t RING_DY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

// Whether (x, y) is a playable point; everything else plays the part of the border.
bool on_board(const ReferenceBoard& board, int32_t x, int32_t y) {
    return x >= 0 && x < board.cols && y >= 0 && y < board.rows;
}

// Where the point (x, y) is kept in the board's vectors.
int32_t point_index(const ReferenceBoard& board, int32_t x, int32_t y) {
    return x + y * board.cols;
}

// The runs of ring directions around (x, y) that do not hold a dot of the side to move,
// in the order met walking clockwise once around from the first direction that does.
std::vector<std::vector<int>> ring_gaps(const ReferenceBoard& board, int32_t x, int32_t y) {
    auto own = [&](int k) {
        const int32_t nx = x + RING_DX[k], ny = y + RING_DY[k];
        return on_board(board, nx, ny) &&
               board.owner[point_index(board, nx, ny)] == board.side_to_move;
    };
    int first_own = 0;
    while (first_own < 8 && !own(first_own))
        ++first_own;
    std::vector<std::vector<int>> gaps;
    if (first_own == 8)
        return gaps;
    std::vector<int> run;
    for (int step = 1; step <= 8; ++step) {
        const int k = (first_own + step) % 8;
        if (!own(k)) {
            run.push_back(k);
        } else if (!run.empty()) {
            gaps.push_back(run);
            run.clear();
        }
    }
    return gaps;
}

// Floods the region behind one gap of the dot at (x, y). Points of earlier floods of the
// same move are marked in `earlier`; meeting one, like reaching the edge, makes the region
// open, and an open region's changes are undone from a copy taken before the flood.
void flood_gap(ReferenceBoard& board, int32_t x, int32_t y, const std::vector<int>& gap,
               std::vector<char>& earlier, int32_t& kept_entries, ReferenceStats& stats) {
    const int32_t m = board.side_to_move;
    const std::vector<int32_t> counts_before = board.enclosed;
    const int32_t score_before = board.score;
    std::vector<char> visited(board.owner.size(), 0);
    std::deque<int32_t> queue;
    int32_t entries = 0;
    int32_t highest = 0;
    int64_t frees = 0;
    int64_t frees_above_one = 0;
    int64_t second_arrivals = 0;
    bool open = false;
    bool met_earlier = false;

    auto enter = [&](int32_t i) {
        visited[i] = 1;
        queue.push_back(i);
        ++entries;
    };
    auto take = [&](int32_t i) {
        if (board.owner[i] != 0 && board.enclosed[i] == 0)
            ++board.score;
        highest = std::max(highest, ++board.enclosed[i]);
        enter(i);
    };
    auto free_dot = [&](int32_t i) {
        ++frees;
        frees_above_one += board.enclosed[i] > 1;
        --board.enclosed[i];
        ++board.score;
        enter(i);
    };
    // Looks at the point (nx, ny) next to the region: false when the region is open.
    auto reach = [&](int32_t nx, int32_t ny) {
        if (!on_board(board, nx, ny))
            return false;
        const int32_t i = point_index(board, nx, ny);
        if (board.owner[i] == m) {
            if (board.enclosed[i] != 0 && visited[i])
                ++second_arrivals;
            else if (board.enclosed[i] != 0)
                free_dot(i);
            return true;
        }
        if (visited[i])
            return true;
        if (earlier[i]) {
            met_earlier = true;
            return false;
        }
        take(i);
        return true;
    };

    for (const int k : gap) {
        // Seeds are never own dots, so reach only takes them.
        if (!reach(x + RING_DX[k], y + RING_DY[k])) {
            open = true;
            break;
        }
    }
    while (!open && !queue.empty()) {
        const int32_t q = queue.front();
        queue.pop_front();
        const int32_t qx = q % board.cols, qy = q / board.cols;
        for (int k = 0; k < 8 && !open; k += 2)
            open = !reach(qx + RING_DX[k], qy + RING_DY[k]);
    }

    stats.region_list_peak = std::max(stats.region_list_peak, kept_entries + entries);
    for (size_t i = 0; i < visited.size(); ++i)
        earlier[i] |= visited[i];
    if (open) {
        board.enclosed = counts_before;
        board.score = score_before;
        stats.met_earlier += met_earlier;
        return;
    }
    kept_entries += entries;
    ++stats.enclosed;
    stats.frees += frees;
    stats.frees_above_one += frees_above_one;
    stats.second_arrivals += second_arrivals;
    stats.highest_count = std::max(stats.highest_count, highest);
}

// The point that the pair (x, y) names: its exact index taken apart into a row and a
// column of the bordered board; false when that is no playable point.
bool reference_point(const ReferenceBoard& board, int32_t x, int32_t y, int32_t& px, int32_t& py) {
    const int64_t width = board.cols + 2;
    const int64_t index = (int64_t{y} + 1) * width + (int64_t{x} + 1);
    if (index < 0 || index >= width * (board.rows + 2))
        return false;
    px = static_cast<int32_t>(index % width) - 1;
    py = static_cast<int32_t>(index / width) - 1;
    return on_board(board, px, py);
}

// Whether (x, y) stops a flood of side s: a free dot of s or a point of its bases.
bool standard_wall(const ReferenceBoard& board, int32_t x, int32_t y, int32_t s) {
    const int32_t i = point_index(board, x, y);
    return (board.owner[i] == s && board.enclosed[i] == 0) || board.base[i] == s;
}

// The region of (x, y) behind side s's walls, and whether it stays off the edge.
std::vector<char> standard_region(const ReferenceBoard& board, int32_t x, int32_t y, int32_t s,
                                  bool& closed) {
    std::vector<char> region(board.owner.size(), 0);
    std::deque<std::pair<int32_t, int32_t>> queue{{x, y}};
    region[point_index(board, x, y)] = 1;
    closed = true;
    while (!queue.empty()) {
        const auto [qx, qy] = queue.front();
        queue.pop_front();
        if (qx == 0 || qy == 0 || qx == board.cols - 1 || qy == board.rows - 1)
            closed = false;
        for (int k = 0; k < 8; k += 2) {
            const int32_t nx = qx + RING_DX[k], ny = qy + RING_DY[k];
            if (!on_board(board, nx, ny) || region[point_index(board, nx, ny)] ||
                standard_wall(board, nx, ny, s))
                continue;
            region[point_index(board, nx, ny)] = 1;
            queue.push_back({nx, ny});
        }
    }
    return region;
}

// Makes the closed region, with every point it shuts off from outside the board, a base of
// side s when the rules let it; returns the dots it captured.
int32_t standard_base(ReferenceBoard& board, std::vector<char> area, int32_t s) {
    // Everything reachable from outside the board without crossing the region, in all eight
    // directions, is outside; the rest is the base.
    std::vector<char> outside(board.owner.size(), 0);
    std::deque<std::pair<int32_t, int32_t>> queue;
    for (int32_t y = 0; y < board.rows; ++y) {
        for (int32_t x = 0; x < board.cols; ++x) {
            const int32_t i = point_index(board, x, y);
            if ((x == 0 || y == 0 || x == board.cols - 1 || y == board.rows - 1) && !area[i]) {
                outside[i] = 1;
                queue.push_back({x, y});
            }
        }
    }
    while (!queue.empty()) {
        const auto [qx, qy] = queue.front();
        queue.pop_front();
        for (int k = 0; k < 8; ++k) {
            const int32_t nx = qx + RING_DX[k], ny = qy + RING_DY[k];
            if (on_board(board, nx, ny) && !outside[point_index(board, nx, ny)] &&
                !area[point_index(board, nx, ny)]) {
                outside[point_index(board, nx, ny)] = 1;
                queue.push_back({nx, ny});
            }
        }
    }
    bool enemy = false;
    for (size_t i = 0; i < area.size(); ++i) {
        area[i] = !outside[i];
        enemy |= area[i] && board.owner[i] == (s ^ 3) && board.enclosed[i] == 0;
    }
    if (!enemy && !board.rules.capture_empty_bases)
        return 0;
    int32_t captured = 0, changed = 0;
    for (size_t i = 0; i < area.size(); ++i) {
        if (!area[i])
            continue;
        if (board.owner[i] == (s ^ 3) && board.enclosed[i] == 0) {
            board.enclosed[i] = 1;
            ++captured;
            ++changed;
        } else if (board.owner[i] == s && board.enclosed[i] != 0) {
            board.enclosed[i] = 0;
            ++changed;
        } else if (board.owner[i] == 0) {
            board.enclosed[i] = 1;
        }
        board.base[i] = s;
    }
    board.score += s == board.side_to_move ? changed : -changed;
    return captured;
}

// The standard rules' placement: bases of the mover behind each orthogonal neighbour, then,
// when they captured nothing, the other side's ring around the dot.
void place_standard(ReferenceBoard& board, int32_t x, int32_t y, ReferenceStats& stats) {
    const int32_t m = board.side_to_move;
    int32_t captured = 0;
    std::vector<char> done(board.owner.size(), 0);
    for (int k = 0; k < 8; k += 2) {
        const int32_t nx = x + RING_DX[k], ny = y + RING_DY[k];
        if (!on_board(board, nx, ny) || done[point_index(board, nx, ny)] ||
            standard_wall(board, nx, ny, m))
            continue;
        bool closed = false;
        const std::vector<char> region = standard_region(board, nx, ny, m, closed);
        for (size_t i = 0; i < region.size(); ++i)
            done[i] |= region[i];
        if (closed) {
            ++stats.enclosed;
            captured += standard_base(board, region, m);
        }
    }
    bool closed = false;
    if (captured == 0) {
        const std::vector<char> region = standard_region(board, x, y, m ^ 3, closed);
        if (closed) {
            ++stats.suicides;
            standard_base(board, region, m ^ 3);
        }
    }
}

} // namespace

void reset_reference(ReferenceBoard& board, int32_t cols, int32_t rows, const RuleSet& rules) {
    board.cols = cols;
    board.rows = rows;
    board.rules = rules;
    board.owner.assign(cols * rows, 0);
    board.enclosed.assign(cols * rows, 0);
    board.base.assign(cols * rows, 0);
    board.grounded = 0;
    board.side_to_move = 1;
    board.score = 0;
}

bool reference_is_legal(const ReferenceBoard& board, int32_t x, int32_t y) {
    int32_t px = 0, py = 0;
    if (!reference_point(board, x, y, px, py) || board.grounded)
        return false;
    const int32_t i = point_index(board, px, py);
    if (board.owner[i] != 0 || board.enclosed[i] != 0)
        return false;
    if (board.rules.kind == RuleKind::fendrel || board.rules.suicide)
        return true;
    ReferenceBoard trial = board;
    ReferenceStats unused;
    reference_place(trial, px, py, unused);
    return trial.enclosed[i] == 0;
}

void reference_place(ReferenceBoard& board, int32_t x, int32_t y, ReferenceStats& stats) {
    board.owner[point_index(board, x, y)] = board.side_to_move;
    if (board.rules.kind == RuleKind::standard) {
        place_standard(board, x, y, stats);
    } else {
        const auto gaps = ring_gaps(board, x, y);
        if (gaps.size() >= 2) {
            std::vector<char> earlier(board.owner.size(), 0);
            int32_t kept_entries = 0;
            for (const auto& gap : gaps)
                flood_gap(board, x, y, gap, earlier, kept_entries, stats);
        }
    }
    board.side_to_move ^= 3;
    board.score = -board.score;
}

void reference_ground(ReferenceBoard& board) {
    const int32_t s = board.side_to_move;
    auto free_dot = [&](int32_t x, int32_t y) {
        const int32_t i = point_index(board, x, y);
        return on_board(board, x, y) && board.owner[i] == s && board.enclosed[i] == 0;
    };
    // Grows the set of linked dots until it stops growing.
    std::vector<char> linked(board.owner.size(), 0);
    for (bool grew = true; grew;) {
        grew = false;
        for (int32_t y = 0; y < board.rows; ++y) {
            for (int32_t x = 0; x < board.cols; ++x) {
                const int32_t i = point_index(board, x, y);
                if (linked[i] || !free_dot(x, y))
                    continue;
                bool link = x == 0 || y == 0 || x == board.cols - 1 || y == board.rows - 1;
                for (int k = 0; k < 8 && !link; ++k)
                    link = free_dot(x + RING_DX[k], y + RING_DY[k]) &&
                           linked[point_index(board, x + RING_DX[k], y + RING_DY[k])];
                if (link) {
                    linked[i] = 1;
                    grew = true;
                }
            }
        }
    }
    for (int32_t y = 0; y < board.rows; ++y) {
        for (int32_t x = 0; x < board.cols; ++x) {
            if (free_dot(x, y) && !linked[point_index(board, x, y)]) {
                board.enclosed[point_index(board, x, y)] = 1;
                --board.score;
            }
        }
    }
    board.grounded = s;
    board.side_to_move ^= 3;
    board.score = -board.score;
}
