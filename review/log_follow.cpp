#include "review/log_follow.h"

#include "engine/protocol.h"
#include "records/replay.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <cstdio>

namespace {

// The line with every byte outside printable ASCII replaced, so that an engine cannot
// steer the terminal, cut to what the progress shows.
std::string printable(const std::string& line) {
    std::string text = line.substr(0, SHOWN_MESSAGE_LIMIT);
    for (char& c : text)
        if (c < 0x20 || c > 0x7e)
            c = '?';
    return text;
}

// Plays a move line, or keeps any other line as the latest message.
void take_line(FollowedGame& game, std::string& line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    int32_t x = 0;
    int32_t y = 0;
    // The parser reads a C string: a NUL inside ends the line there, as for the referee.
    const EngineLine kind = parse_engine_line(line.c_str(), &x, &y);
    if (kind == EngineLine::message) {
        if (!line.empty())
            game.message = printable(line);
        return;
    }
    if (kind == EngineLine::move && is_legal_dot(game.board, x, y)) {
        place_dot(game.board, cell_index(game.board, x, y));
        ++game.moves;
    } else {
        ++game.refused;
    }
}

} // namespace

void start_following(FollowedGame& game) {
    game = FollowedGame{};
    init_board(game.board);
}

void follow_log_bytes(FollowedGame& game, const char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n') {
            take_line(game, game.partial);
            game.partial.clear();
        } else if (game.partial.size() < FOLLOWED_LINE_LIMIT) {
            game.partial += bytes[i];
        }
    }
}

int free_points(const Board& board) {
    int count = 0;
    for (int32_t cell = board.first_cell; cell < board.end_cell; ++cell)
        count += board.cell_owner[cell] == CELL_EMPTY && board.cell_enclosed[cell] == 0;
    return count;
}

std::string progress_line(const FollowedGame& game, int64_t elapsed_ms) {
    const int32_t balance = side1_balance(game.board);
    const int64_t seconds = elapsed_ms / 1000;
    char text[160];
    std::snprintf(text, sizeof text, "move %d, %d points free, side 1 %s%d, %lld:%02lld",
                  game.moves, free_points(game.board), balance > 0 ? "+" : "",
                  static_cast<int>(balance), static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    std::string line = text;
    if (game.refused)
        line += ", " + std::to_string(game.refused) + " refused";
    if (!game.message.empty())
        line += " | " + game.message;
    return line;
}
