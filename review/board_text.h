// A finished game for a terminal: the board as a grid of characters with a legend, and
// the outcome in words.
#pragma once

#include "records/game_record.h"
#include "rules/board.h"

#include <string>

// Marks of the grid: a side's dot, the same dot captured, an empty point inside an
// enclosure (no dot may go there), and a free point.
constexpr char SIDE1_MARK = 'X';
constexpr char SIDE1_CAPTURED_MARK = 'x';
constexpr char SIDE2_MARK = 'O';
constexpr char SIDE2_CAPTURED_MARK = 'o';
constexpr char ENCLOSED_MARK = '+';
constexpr char FREE_MARK = '.';

// The grid mark of the point (x, y) on the board as it stands.
char point_mark(const Board& board, int32_t x, int32_t y);

// The board as it stands: two header lines of column numbers (tens, then units), one line
// per row ("%2d" and the points separated by spaces), then the legend.
std::string board_text(const Board& board);

// Who played which side with how many dots, and side 1's captured-dot balance: two lines.
std::string players_and_score_text(const std::string& side1, const std::string& side2, size_t dots,
                                   int32_t balance);

// Those two lines of a game record, then the winner with the reason (for a game in progress,
// that it has none yet).
std::string outcome_text(const GameRecord& record);
