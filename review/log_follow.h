// Follows a game while it is played, from its engine log as the log grows: every move line
// is played on the rules core in order (sides alternating from side 1 on an empty board),
// and the latest other line is kept for display. The log holds whatever the engines wrote,
// so any bytes are taken: lines of any length, cut short, or with control characters.
#pragma once

#include "rules/board.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The longest line kept whole; the rest of a longer line is dropped as it comes.
constexpr size_t FOLLOWED_LINE_LIMIT = 4096;
// The most of a message line that the progress shows.
constexpr size_t SHOWN_MESSAGE_LIMIT = 60;

struct FollowedGame {
    std::string partial; // the last line so far, not yet ended by a line feed
    int moves = 0;       // move lines the rules accepted
    int refused = 0;     // move lines they did not
    std::string message; // the latest other line, made printable
    Board board;         // the game as its move lines played it
};

// Sets up the empty board and forgets what was followed.
void start_following(FollowedGame& game);

// Takes the next bytes of the log.
void follow_log_bytes(FollowedGame& game, const char* bytes, size_t size);

// Points that can still take a dot: neither taken nor inside an enclosure.
int free_points(const Board& board);

// "move 412, 706 points free, side 1 +3, 0:21 | dotbot: 80 playouts, win 52%, 40 ms".
std::string progress_line(const FollowedGame& game, int64_t elapsed_ms);
