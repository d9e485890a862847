// The dots a game starts from. Both games of a pair (games 2k and 2k + 1) share an opening,
// so each is played from both sides:
//   empty       no dots;
//   cross       the customary four dots in the centre, two of each side on the diagonals of
//               a 2 x 2 square;
//   random:N    N random legal dots, alternating from side 1, drawn from the seed and the
//               pair's number so that any machine makes the same ones;
//   sgf:FILE:N  the first N moves of each game tree of an SGF file, from every game that
//               has them, plays them under these rules and starts with them alternating
//               from B (set-up dots or a side moving twice make no opening); used in turn
//               as the openings of a FILE are;
//   FILE        one opening per line as "x y" pairs (blank lines and "#" comments skipped),
//               or an SGF collection, one opening per game tree; used in turn, over again
//               when the pairs outnumber them.
// Every opening's dots are checked against the rules when it is made or read.
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

enum class OpeningKind { empty, cross, random, file };

struct OpeningBook {
    OpeningKind kind = OpeningKind::empty;
    int random_dots = 0;
    std::vector<Opening> file_openings;
};

// Most dots a random opening may have: far from filling the board.
constexpr int MAX_RANDOM_OPENING_DOTS = 400;
// Most moves an sgf:FILE:N opening may take from a game: every point of the board.
constexpr int MAX_SGF_OPENING_MOVES = FENDREL_COLS * FENDREL_ROWS;

// Reads an --opening value (and its file); false with a reason when it is unusable.
bool load_opening_book(const std::string& choice, OpeningBook& book, std::string& error);

// Reads openings from file text: SGF when it starts with "(", else one per line.
bool parse_opening_text(const std::string& text, const std::string& name,
                        std::vector<Opening>& openings, std::string& error);

// The opening of a pair.
Opening opening_for_pair(const OpeningBook& book, uint64_t seed, int pair);
