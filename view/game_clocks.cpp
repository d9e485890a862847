#include "view/game_clocks.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

// The side that played move `index` of a record (a dot, or the grounding after the last):
// they alternate from side 1.
int mover_of(int index) {
    return 1 + index % 2;
}

// Each side's turns, the sum of its known move times and how many of its times are unknown.
struct SideTimes {
    int64_t turns = 0;
    int64_t known_ms = 0;
    int64_t unknown = 0;
};

// The clocks after the first `played` dots past the opening, as the referee runs them:
// credited with the increment at each turn, charged with its time, never below 0.
void run_clocks(const GameRecord& record, const std::vector<uint32_t>& times,
                const uint32_t increment[2], size_t played, uint32_t clocks[2]) {
    clocks[0] = clocks[1] = 0;
    for (size_t i = 0; i < played; ++i) {
        const int side = mover_of(record.opening_dots + static_cast<int>(i)) - 1;
        uint32_t& clock = clocks[side];
        const uint64_t credited = uint64_t{clock} + increment[side];
        clock = credited > times[i] ? static_cast<uint32_t>(credited - times[i]) : 0;
    }
}

// The move times with each unknown one rebuilt for this increment: what the side's clock at
// the end leaves unexplained by its increments and known times, spread evenly over its
// unknown times (none when nothing is left, as for a side credited a turn it never finished).
std::vector<uint32_t> rebuilt_times(const GameRecord& record, const uint32_t increment[2],
                                    const SideTimes sides[2]) {
    int64_t left[2];
    int64_t share[2];
    int64_t extra[2];
    for (int side = 0; side < 2; ++side) {
        left[side] =
            sides[side].turns * increment[side] - sides[side].known_ms - record.clock_ms[side];
        if (left[side] < 0 || sides[side].unknown == 0)
            left[side] = 0;
        share[side] = sides[side].unknown ? left[side] / sides[side].unknown : 0;
        extra[side] = sides[side].unknown ? left[side] % sides[side].unknown : 0;
    }
    std::vector<uint32_t> times = record.move_ms;
    for (size_t i = 0; i < times.size(); ++i) {
        if (move_time_known(times[i]))
            continue;
        const int side = mover_of(record.opening_dots + static_cast<int>(i)) - 1;
        times[i] = static_cast<uint32_t>(share[side] + (extra[side]-- > 0 ? 1 : 0));
    }
    return times;
}

// Whether the increment gives the recorded clocks at the end, each within a millisecond a
// turn: in files written before a move's time was its clock's charge, the two were measured
// apart and may differ by their rounding. The side to move when the game ended may have been
// credited for a turn it never finished and charged for part of it.
bool gives_end_clocks(const GameRecord& record, const std::vector<uint32_t>& times,
                      const uint32_t increment[2], const SideTimes sides[2]) {
    uint32_t clocks[2];
    run_clocks(record, times, increment, times.size(), clocks);
    const int next = mover_of(record_moves(record)) - 1;
    const int other = 1 - next;
    const int64_t off = int64_t{clocks[other]} - record.clock_ms[other];
    return off <= sides[other].turns && -off <= sides[other].turns &&
           record.clock_ms[next] <= int64_t{clocks[next]} + increment[next] + sides[next].turns;
}

} // namespace

bool move_time_known(uint32_t ms) {
    return ms < 0x80000000u;
}

bool clocks_after(const GameRecord& record, int moves, uint32_t clocks[2]) {
    if (record.move_ms.size() + static_cast<size_t>(record.opening_dots) !=
        static_cast<size_t>(record_moves(record)))
        return false;
    SideTimes sides[2];
    for (size_t i = 0; i < record.move_ms.size(); ++i) {
        SideTimes& side = sides[mover_of(record.opening_dots + static_cast<int>(i)) - 1];
        ++side.turns;
        if (move_time_known(record.move_ms[i]))
            side.known_ms += record.move_ms[i];
        else
            ++side.unknown;
    }
    // A record that keeps each side's increment is replayed with them. Of one that does not,
    // both sides had the same: without a clock that ran empty, a side's clock at the end is
    // its turns times the increment less its time, so each side's turns, with and without an
    // unfinished one, give the candidates (to the nearest millisecond, which an unknown time
    // of a few milliseconds does not move), and the replay keeps the one that fits.
    std::vector<std::array<uint32_t, 2>> candidates;
    if (record.increment_ms[0] != 0 && record.increment_ms[1] != 0) {
        candidates.push_back({record.increment_ms[0], record.increment_ms[1]});
    } else {
        candidates.push_back({0, 0});
        for (int side = 0; side < 2; ++side) {
            for (int64_t count = sides[side].turns; count <= sides[side].turns + 1; ++count) {
                const int64_t increment =
                    count > 0 ? (record.clock_ms[side] + sides[side].known_ms + count / 2) / count
                              : INT64_MAX;
                if (increment <= UINT32_MAX)
                    candidates.push_back(
                        {static_cast<uint32_t>(increment), static_cast<uint32_t>(increment)});
            }
        }
    }
    for (const std::array<uint32_t, 2>& credit : candidates) {
        const std::vector<uint32_t> times = rebuilt_times(record, credit.data(), sides);
        if (!gives_end_clocks(record, times, credit.data(), sides))
            continue;
        const int played = moves - record.opening_dots;
        run_clocks(record, times, credit.data(), played > 0 ? static_cast<size_t>(played) : 0,
                   clocks);
        return true;
    }
    return false;
}
