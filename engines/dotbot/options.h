// dotbot's command line, for match use; the window starts it with none.
#pragma once

#include <cstdint>

struct Options {
    int threads;         // search threads
    uint64_t seed;       // of the playouts' random numbers
    bool seed_given;     // otherwise the seed is drawn at start
    int64_t playouts;    // per move, 0 for no limit
    int64_t movetime_ms; // per move, 0 to plan from the clock
    int64_t maxtime_ms;  // the most per move
};

constexpr const char OPTIONS_USAGE[] =
    "usage: dotbot [--threads N] [--seed N] [--playouts N] [--movetime MS] [--maxtime MS]\n";

// The defaults: as many threads as the machine has (up to 8), no fixed playouts or time,
// at most 1500 ms a move.
Options default_options();

// Reads the arguments after the program name into options; false on anything unknown, a
// missing value or a value out of range (threads 1 to 64, the rest not negative).
bool parse_options(int argc, const char* const* argv, Options& options);
