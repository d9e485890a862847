// What is known of one finished game, and its results line: one JSON object per game, the
// unit that workers hand to the scheduler, that resume reads back and that merge sums up.
#pragma once

#include "records/loss_reasons.h"
#include "rules/board.h"

#include <cstdint>
#include <string>
#include <vector>

// A dot by its move coordinates: column x from 0, row y from 0.
struct Dot {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Dot&) const = default;
};

struct GameRecord {
    std::string match; // fingerprint of the options that define the games
    int game = 0;      // index from 0; games 2k and 2k + 1 share an opening
    std::string side1; // engine names, as given with --engine
    std::string side2;
    int a_side = 1;                    // the side the first --engine played
    std::string opening;               // how the opening was chosen, e.g. "random:8 #3"
    int opening_dots = 0;              // the first dots of `dots` that were the opening
    int winner = 0;                    // 1 or 2, 0 for a draw
    std::string reason;                // why it ended: one of the REASON_ texts
    std::string detail;                // the reason in words: the move, the exit status, ...
    int32_t board_cols = FENDREL_COLS; // the board's size and rules; lines that do not
    int32_t board_rows = FENDREL_ROWS; // give them were played on 39 x 32 under fendrel
    RuleSet rules;
    int32_t score = 0;             // side 1's captured-dot balance at the end
    std::vector<Dot> dots;         // every dot in playing order, the opening's first
    int grounded = 0;              // the side that grounded after the dots, or 0
    std::vector<uint32_t> move_ms; // time taken for each move after the opening: each dot,
                                   // then the grounding if there was one
    uint32_t clock_ms[2] = {0, 0}; // each side's clock at the end
    // Each side's increment, credited whenever it was asked to move; 0 in lines written
    // before each side's was kept, which give only the clocks.
    uint32_t increment_ms[2] = {0, 0};
    int64_t duration_ms = 0;    // from the engines' start to the end of the game
    int64_t referee_cpu_ms = 0; // CPU time of the game's worker process
    int64_t engines_cpu_ms = 0; // CPU time of both engines
    // CPU time of each side's engine (its process and what it reaped, so a bridged engine's
    // with its bridge's); -1 in lines written before the sides were kept apart, which give
    // only both together.
    int64_t side_cpu_ms[2] = {-1, -1};
};

// The game's moves: its dots, and its grounding if a side grounded.
int record_moves(const GameRecord& record);

// The points of the engine that played `side` (1 or 2): 1, 0.5 or 0.
double side_points(const GameRecord& record, int side);

// Engine A's points in the game: 1, 0.5 or 0.
double a_points(const GameRecord& record);

// The name of the engine that lost, or nullptr for a draw.
const std::string* loser_name(const GameRecord& record);

// Whether the record keeps each side's CPU time apart.
bool has_side_cpu(const GameRecord& record);

// Bytes as valid UTF-8 for JSON text: every byte outside a valid sequence becomes its
// stand-in, the code point U+EF80 + (byte - 0x80), which a results line reads back as the
// byte; so a name in any encoding keeps its bytes.
std::string json_text(const std::string& bytes);

// The bytes of such a text: each stand-in becomes the byte it stands for.
std::string json_text_bytes(const std::string& text);

// The results line of a game, without its line feed.
std::string record_to_json(const GameRecord& record);

// Reads a results line; false when it is not one (cut short, or another kind of object).
bool record_from_json(const std::string& line, GameRecord& record);
