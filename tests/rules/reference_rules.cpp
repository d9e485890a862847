#include "reference_rules.h"

#include "rules/board.h"

#include <algorithm>
#include <deque>

namespace {

// The ring of eight neighbours, clockwise from north, as steps in x and y.
constexpr int32_t RING_DX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int32_t RING_DY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

// Whether (x, y) is a playable point; everything else plays the part of the border.
bool on_board(int32_t x, int32_t y) {
    return x >= 0 && x < board_cols && y >= 0 && y < board_rows;
}

// Where the point (x, y) is kept in the board's vectors.
int32_t point_index(int32_t x, int32_t y) {
    return x + y * board_cols;
}

// The runs of ring directions around (x, y) that do not hold a dot of the side to move,
// in the order met walking clockwise once around from the first direction that does.
std::vector<std::vector<int>> ring_gaps(const ReferenceBoard& board, int32_t x, int32_t y) {
    auto own = [&](int k) {
        const int32_t nx = x + RING_DX[k], ny = y + RING_DY[k];
        return on_board(nx, ny) && board.owner[point_index(nx, ny)] == board.side_to_move;
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
        if (!on_board(nx, ny))
            return false;
        const int32_t i = point_index(nx, ny);
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
        const int32_t qx = q % board_cols, qy = q / board_cols;
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
bool reference_point(int32_t x, int32_t y, int32_t& px, int32_t& py) {
    const int64_t width = board_cols + 2;
    const int64_t index = (int64_t{y} + 1) * width + (int64_t{x} + 1);
    if (index < 0 || index >= width * (board_rows + 2))
        return false;
    px = static_cast<int32_t>(index % width) - 1;
    py = static_cast<int32_t>(index / width) - 1;
    return on_board(px, py);
}

} // namespace

void reset_reference(ReferenceBoard& board) {
    board.owner.assign(board_cols * board_rows, 0);
    board.enclosed.assign(board_cols * board_rows, 0);
    board.side_to_move = 1;
    board.score = 0;
}

bool reference_is_legal(const ReferenceBoard& board, int32_t x, int32_t y) {
    int32_t px = 0, py = 0;
    if (!reference_point(x, y, px, py))
        return false;
    const int32_t i = point_index(px, py);
    return board.owner[i] == 0 && board.enclosed[i] == 0;
}

void reference_place(ReferenceBoard& board, int32_t x, int32_t y, ReferenceStats& stats) {
    board.owner[point_index(x, y)] = board.side_to_move;
    const auto gaps = ring_gaps(board, x, y);
    if (gaps.size() >= 2) {
        std::vector<char> earlier(board.owner.size(), 0);
        int32_t kept_entries = 0;
        for (const auto& gap : gaps)
            flood_gap(board, x, y, gap, earlier, kept_entries, stats);
    }
    board.side_to_move ^= 3;
    board.score = -board.score;
}
