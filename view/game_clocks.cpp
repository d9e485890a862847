#include "view/game_clocks.h"

#include <vector>

namespace {

// The side that played dot `index` of a record: they alternate from side 1.
int mover_of(int index) {
    return 1 + index % 2;
}

// The clocks after the first `played` dots past the opening, as the referee runs them:
// credited with the increment at each turn, charged with its time, never below 0.
void run_clocks(const GameRecord& record, uint32_t increment, size_t played, uint32_t clocks[2]) {
    clocks[0] = clocks[1] = 0;
    for (size_t i = 0; i < played; ++i) {
        uint32_t& clock = clocks[mover_of(record.opening_dots + static_cast<int>(i)) - 1];
        const uint64_t credited = uint64_t{clock} + increment;
        clock =
            credited > record.move_ms[i] ? static_cast<uint32_t>(credited - record.move_ms[i]) : 0;
    }
}

// Whether the increment gives the recorded clocks at the end, each within a millisecond a
// turn: a move's recorded time and the charge of its clock are measured apart, and may differ
// by their rounding. The side to move when the game ended may have been credited for a turn
// it never finished and charged for part of it.
bool gives_end_clocks(const GameRecord& record, uint32_t increment, const int64_t turns[2]) {
    uint32_t clocks[2];
    run_clocks(record, increment, record.move_ms.size(), clocks);
    const int next = mover_of(static_cast<int>(record.dots.size())) - 1;
    const int other = 1 - next;
    const int64_t off = int64_t{clocks[other]} - record.clock_ms[other];
    return off <= turns[other] && -off <= turns[other] &&
           record.clock_ms[next] <= int64_t{clocks[next]} + increment + turns[next];
}

} // namespace

bool clocks_after(const GameRecord& record, int moves, uint32_t clocks[2]) {
    if (record.move_ms.size() + static_cast<size_t>(record.opening_dots) != record.dots.size())
        return false;
    // Without a clock that ran empty, a side's clock at the end is its turns times the
    // increment less its time: each side's turns, with and without an unfinished one, give
    // the candidates (to the nearest millisecond), and the replay keeps the one that fits.
    int64_t spent[2] = {0, 0};
    int64_t turns[2] = {0, 0};
    for (size_t i = 0; i < record.move_ms.size(); ++i) {
        const int side = mover_of(record.opening_dots + static_cast<int>(i)) - 1;
        spent[side] += record.move_ms[i];
        ++turns[side];
    }
    std::vector<int64_t> candidates{0};
    for (int side = 0; side < 2; ++side)
        for (int64_t count = turns[side]; count <= turns[side] + 1; ++count)
            if (count > 0)
                candidates.push_back((record.clock_ms[side] + spent[side] + count / 2) / count);
    for (const int64_t increment : candidates) {
        if (increment > UINT32_MAX ||
            !gives_end_clocks(record, static_cast<uint32_t>(increment), turns))
            continue;
        const int played = moves - record.opening_dots;
        run_clocks(record, static_cast<uint32_t>(increment),
                   played > 0 ? static_cast<size_t>(played) : 0, clocks);
        return true;
    }
    return false;
}
