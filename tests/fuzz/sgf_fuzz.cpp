// Fuzzes the SGF reader and the replay of what it reads, which take files from any dots
// program. The last two bytes choose the moves replayed; the rest is the file. Checked on
// every input:
//   - a refused file says why, and a read one keeps every game tree's main line;
//   - a replay plays no more moves than the game has and than it was asked for, stops short
//     only with a reason, and leaves on the board no more dots than its start position and
//     the game placed;
//   - the root's texts of a file in Windows-1251 are UTF-8.
#include "os/text_encoding.h"
#include "records/sgf.h"
#include "records/sgf_replay.h"
#include "rules/board.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Stops the fuzzer on a broken promise.
void check(bool holds) {
    if (!holds)
        std::abort();
}

int dots_on(const Board& board) {
    int dots = 0;
    for (int32_t cell = board.first_cell; cell < board.end_cell; ++cell)
        dots += board.cell_owner[cell] == 1 || board.cell_owner[cell] == 2;
    return dots;
}

// The dots the game's rules place before any of its own (a start position's crosses).
int start_dots(const SgfGame& game) {
    int32_t cols = 0;
    int32_t rows = 0;
    RuleSet rules;
    if (!sgf_board_setup(game, nullptr, cols, rows, rules).empty())
        return 0;
    Board board;
    init_board(board, cols, rows, rules);
    return dots_on(board);
}

// Replays the game to the limit and checks what the replay claims against the board.
void check_replay(const SgfGame& game, int limit) {
    Board board;
    const SgfReplay replay = replay_sgf_game(board, game, limit);
    const int asked = limit == ALL_SGF_MOVES ? replay.total : std::min(limit, replay.total);
    check(replay.total == sgf_move_count(game));
    check(replay.moves >= 0 && replay.moves <= asked);
    check(replay.moves == asked || !replay.error.empty());
    check(dots_on(board) <= start_dots(game) + static_cast<int>(game.placements.size()));
    check(replay.warnings.size() <= static_cast<size_t>(replay.moves));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int limit = input.ConsumeIntegralInRange<int>(ALL_SGF_MOVES, 1300);
    const std::string text = input.ConsumeRemainingBytesAsString();
    std::vector<SgfGame> games;
    std::string error;
    if (!parse_sgf(text, games, error)) {
        check(!error.empty());
        return 0;
    }
    for (const SgfGame& game : games) {
        check_replay(game, ALL_SGF_MOVES);
        check_replay(game, limit);
        const std::string charset = sgf_property(game, "CA");
        if (charset != "windows-1251" && charset != "Windows-1251")
            continue;
        for (const auto& property : game.root)
            if (property.second.find('\0') == std::string::npos)
                check(is_valid_utf8(property.second.c_str()));
    }
    return 0;
}
