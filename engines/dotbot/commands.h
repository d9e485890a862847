// The referee's lines as the engine reads them. Every line is judged on its own: a line
// that is not exactly one of the known commands with the numbers it needs is `unknown`,
// and the engine ignores it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class CommandKind {
    unknown,
    new_board,
    rules,
    increment,
    movetime,
    time,
    otime,
    go,
    move,
    quit
};

struct Command {
    CommandKind kind;
    int64_t first;  // rows, milliseconds or x
    int64_t second; // cols or y
    // The rule set's text of "rules" ("standard,suicide=off"), a view into the line.
    std::string_view text = {};
};

// Reads one line (without its line end; a trailing "\r" is allowed). Words are separated by
// spaces or tabs; numbers are decimal with an optional sign and must fit in 32 bits; words
// after the ones a command needs are ignored, as the referee ignores them after a move.
// "rules" takes one word, the rule set's text, which is read later (rules/rule_set.h).
Command parse_command(const char* line, size_t length);
