#include "random_play.h"

#include "rules/board.h"

namespace {

// How many of the latest dots a biased move may lean on, and how often it tries.
constexpr uint32_t RECENT_DOTS = 6;
constexpr int NEAR_TRIES = 4;

// A draw in 0 .. n - 1 from the raw generator, the same in every standard library.
uint32_t draw(RandomPlayer& player, uint32_t n) {
    return player.rng() % n;
}

// A legal point next to one of the latest dots, or false after a few failed tries.
bool near_recent_move(RandomPlayer& player, const std::function<bool(Point)>& legal, Point& move) {
    const auto played = static_cast<uint32_t>(player.history.size());
    if (played == 0)
        return false;
    for (int t = 0; t < NEAR_TRIES; ++t) {
        const uint32_t back = draw(player, played < RECENT_DOTS ? played : RECENT_DOTS);
        const Point from = player.history[played - 1 - back];
        const Point p = {from.x + static_cast<int32_t>(draw(player, 3)) - 1,
                         from.y + static_cast<int32_t>(draw(player, 3)) - 1};
        if (p.x >= 0 && p.x < player.cols && p.y >= 0 && p.y < player.rows && legal(p)) {
            move = p;
            return true;
        }
    }
    return false;
}

// A legal point drawn evenly from the candidates; drops the illegal ones it meets.
bool uniform_move(RandomPlayer& player, const std::function<bool(Point)>& legal, Point& move) {
    while (!player.candidates.empty()) {
        const uint32_t k = draw(player, static_cast<uint32_t>(player.candidates.size()));
        const Point p = player.candidates[k];
        player.candidates[k] = player.candidates.back();
        player.candidates.pop_back();
        if (legal(p)) {
            move = p;
            return true;
        }
    }
    return false;
}

} // namespace

void start_random_player(RandomPlayer& player, uint32_t seed, Bias bias, int32_t cols,
                         int32_t rows) {
    player.rng.seed(seed);
    player.bias = bias;
    player.cols = cols;
    player.rows = rows;
    player.candidates.clear();
    player.history.clear();
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < cols; ++x)
            player.candidates.push_back({x, y});
}

bool next_random_move(RandomPlayer& player, const std::function<bool(Point)>& legal, Point& move) {
    const bool near = player.bias == Bias::near_recent && draw(player, 4) != 0 &&
                      near_recent_move(player, legal, move);
    if (!near && !uniform_move(player, legal, move))
        return false;
    player.history.push_back(move);
    return true;
}
