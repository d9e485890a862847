// The dots a game starts from, on the match's board and under its rules. Both games of a
// pair (games 2k and 2k + 1) share an opening, so each is played from both sides:
//   empty       no dots;
//   cross       the rules' start position of that name (rules/start_position.h): four dots
//               in the centre, two of each side on the diagonals of a 2 x 2 square;
//   cross2      two such crosses side by side;
//   cross4      four crosses a third of the way in from the sides, each turned at random,
//               drawn from the seed and the pair's number;
//   random:N    N random legal dots, alternating from side 1, drawn from the seed and the
//               pair's number so that any machine makes the same ones;
//   sgf:FILE:N  the first N moves of each game tree of an SGF file, from every game that
//               has them, plays them under these rules and starts with them alternating
//               from B (set-up dots or a side moving twice make no opening); used in turn
//               as the openings of a FILE are;
//   FILE        one opening per line as "x y" pairs (blank lines and "#" comments skipped),
//               or an SGF collection, one opening per game tree; used in turn, over again
//               when the pairs outnumber them.
// Every opening's dots are checked against the rules when it is made or read. They reach the
// engines as moves, alternating from side 1 (a start position's crosses too).
#pragma once

#include "records/game_record.h"
#include "rules/board.h"

#include <cstdint>
#include <string>
#include <vector>

struct Opening {
    std::string label; // what the results line records
    std::vector<Dot> dots;
};

enum class OpeningKind { empty, start_position, random, file };

struct OpeningBook {
    OpeningKind kind = OpeningKind::empty;
    StartPosition start = StartPosition::empty;
    int random_dots = 0;
    std::vector<Opening> file_openings;
    // The empty board of the match, at its size and under its rules, that openings are
    // made and checked on.
    Board board;
};

// Most dots a random opening may have: far from filling the board.
constexpr int MAX_RANDOM_OPENING_DOTS = 400;
// Most moves an sgf:FILE:N opening may take from a game: every point of the largest board.
constexpr int MAX_SGF_OPENING_MOVES = MAX_BOARD_SIDE * MAX_BOARD_SIDE;

// Reads an --opening value (and its file) for games on `board`, an empty board set up at the
// match's size and rules (39 x 32 under fendrel when not given); false with a reason when it
// is unusable there.
bool load_opening_book(const std::string& choice, OpeningBook& book, std::string& error,
                       const Board* board = nullptr);

// Reads openings from file text: SGF when it starts with "(", else one per line; each is
// checked on `board` as load_opening_book does.
bool parse_opening_text(const std::string& text, const std::string& name,
                        std::vector<Opening>& openings, std::string& error,
                        const Board* board = nullptr);

// The opening of a pair.
Opening opening_for_pair(const OpeningBook& book, uint64_t seed, int pair);
