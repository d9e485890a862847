// A test engine that plays uniformly random legal moves. It follows the game by alternation:
// "new" sets up an empty board, every "move" line from the referee is placed for the side to
// move, and on every "go" it places and writes one random legal move of its own ("pass" as a
// message when there is none). It exits on "quit" and at the end of its input. The random
// sequence starts from the number in Engine1.seed beside the program when there is one, so a
// game can be repeated; otherwise from the system's entropy.
#include "engine_streams.h"
#include "game_follower.h"
#include "rules/board.h"

#include <cstdlib>
#include <random>
#include <string>

namespace {

// The generator, seeded as the header says.
std::mt19937 make_generator() {
    const std::string seed = read_side_file(".seed");
    if (!seed.empty())
        return std::mt19937(static_cast<uint32_t>(std::strtoul(seed.c_str(), nullptr, 10)));
    std::random_device entropy;
    return std::mt19937(entropy());
}

// Picks one legal move uniformly and places it; its line, or "pass" when there is none.
std::string random_move(std::mt19937& generator) {
    int32_t x = 0;
    int32_t y = 0;
    if (!random_legal_point(generator, x, y))
        return "pass\n";
    place_dot(followed_board, cell_index(followed_board, x, y));
    return "move " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

} // namespace

int main() {
    std::mt19937 generator = make_generator();
    write_output("Random\n");
    return follow_and_answer([&generator] { return random_move(generator); });
}
