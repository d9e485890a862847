// The line protocol between the referee and an engine. Lines end in a single "\n" both
// ways. Each referee line is formed by one function here, byte for byte; each writes a
// NUL-terminated text into buf and returns its length in bytes.
#pragma once

#include <cstdint>

// Large enough for any referee line, whatever the numbers.
constexpr int PROTOCOL_LINE_SIZE = 64;

// "new ROWS COLS\n": the board size, rows first.
int format_new_line(char* buf, int size, int32_t rows, int32_t cols);
// "rules TEXT\n": the rules of the game, as the rules core writes them ("standard",
// "standard,suicide=off"); sent after "new" only when they are not the window program's.
// An engine that does not know the line passes over it, as over any line it does not know.
int format_rules_line(char* buf, int size, const char* rules);
// "increment MS\n"
int format_increment_line(char* buf, int size, uint32_t increment);
// "movetime MS\n": a fixed time per move that the match asks of this engine, sent after the
// increment by fendrel-match only when asked (movetime= of --engine). The clock blocks stay
// as they are and the clock still rules; an engine may ignore it, as any line it does not
// know.
int format_movetime_line(char* buf, int size, uint32_t movetime);
// The request to move: "time OWN\notime OTHER\ngo\n", sent as one text.
int format_clock_block(char* buf, int size, uint32_t own_clock, uint32_t opponent_clock);
// "move X Y\n": a relayed move, column first.
int format_move_line(char* buf, int size, int32_t x, int32_t y);
// What an engine writes instead of a move to ground, under rules that let it.
constexpr const char GROUND_LINE[] = "ground";
// Sent to each engine when the referee shuts down.
constexpr const char QUIT_LINE[] = "quit\n";

// What a line from an engine (after its name line) is.
enum class EngineLine {
    message,  // anything that is not a move line: shown to the user
    move,     // "move " and two integers: *x and *y are set
    bad_move, // "move " without two integers that fit in 32 bits: refused as illegal
};

// Classifies one line from an engine: it is a move line when its first five bytes are
// "move "; the numbers are read as "%d%d" reads them (white space, optional sign, digits),
// anything after the second is ignored, and a number outside the 32-bit range is no number.
EngineLine parse_engine_line(const char* line, int32_t* x, int32_t* y);
