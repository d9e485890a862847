// Seeded random games for the rules tests and the benchmark. A player draws points until no
// legal one is left; the board that judges legality is the caller's, so the same player can
// drive the core, the reference rules or both. The draws use only std::mt19937's output,
// whose sequence the standard fixes, so a seed names the same game in every build.
#pragma once

#include "rules/board.h"

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

struct Point {
    int32_t x;
    int32_t y;
};

enum class Bias {
    uniform,     // every legal point equally likely
    near_recent, // mostly next to one of the last few dots: chains, rings and recaptures
};

struct RandomPlayer {
    std::mt19937 rng;
    Bias bias = Bias::uniform;
    int32_t cols = 0; // the board's size
    int32_t rows = 0;
    std::vector<Point> candidates; // points not yet seen illegal, in no particular order
    std::vector<Point> history;    // points played so far
};

// Starts a new game's player on a board of cols x rows: every point is a candidate.
void start_random_player(RandomPlayer& player, uint32_t seed, Bias bias,
                         int32_t cols = FENDREL_COLS, int32_t rows = FENDREL_ROWS);

// Picks the next move among the points that `legal` accepts and records it as played;
// false when no legal point is left. Relies on the rules' monotony: a point that is
// illegal once (a dot, an enclosed empty cell, a base's) stays illegal for the rest of the
// game; a point refused as suicide may not, so such a game can end with legal points left.
bool next_random_move(RandomPlayer& player, const std::function<bool(Point)>& legal, Point& move);

// How many of `games` a test plays: all of them, or a tenth in a sanitizer build, which is
// there to find memory faults and undefined behaviour on paths that a tenth reaches as well.
constexpr int games_to_play(int games) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return games / 10;
#else
    return games;
#endif
}
