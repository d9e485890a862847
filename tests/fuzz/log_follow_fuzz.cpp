// Fuzzes the follower of a game's engine log, which reads whatever two engines wrote. The
// input is split into pieces at lengths it chooses itself, as the log grows between reads.
// Checked on every input:
//   - the moves counted are the dots on the board, and the free points what is left;
//   - the unfinished line never outgrows its limit;
//   - the message and the progress line hold printable ASCII only, the message within its
//     limit.
#include "review/log_follow.h"
#include "rules/board.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

namespace {

// Stops the fuzzer on a broken promise.
void check(bool holds) {
    if (!holds)
        std::abort();
}

// Whether every byte is printable ASCII.
bool printable(const std::string& text) {
    for (const char c : text)
        if (c < 0x20 || c > 0x7e)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FollowedGame game;
    start_following(game);
    while (input.remaining_bytes() > 0) {
        const size_t piece = input.ConsumeIntegralInRange<size_t>(1, 64);
        const std::string bytes = input.ConsumeBytesAsString(piece);
        follow_log_bytes(game, bytes.data(), bytes.size());
        check(game.partial.size() <= FOLLOWED_LINE_LIMIT);
    }
    const Board& board = game.board;
    int dots = 0;
    for (int32_t cell = board.first_cell; cell < board.end_cell; ++cell)
        dots += board.cell_owner[cell] == 1 || board.cell_owner[cell] == 2;
    check(dots == game.moves);
    check(free_points(board) <= board.board_cols * board.board_rows - dots);
    check(game.message.size() <= SHOWN_MESSAGE_LIMIT && printable(game.message));
    check(printable(progress_line(game, static_cast<int64_t>(size) * 1000)));
    return 0;
}
