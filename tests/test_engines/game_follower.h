// The game as the test engines that read follow it: "new ROWS COLS" sets up an empty board
// of that size (any the rules core takes) under our rules, "rules SET" right after it under
// those rules, every "move" line from the referee is placed for the side to move (if legal
// on their board), and each "go" is answered, until "quit" or the end of the input.
#pragma once
#include "engine/protocol.h"
#include "engine_streams.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/rule_set.h"

#include <cstdio>
#include <random>
#include <string>
#include <vector>

// The game as this engine follows it.
inline Board followed_board;

// A uniformly random legal point of the board, as x and y; false when there is none. The
// free points are drawn from until one is legal: only a refused suicide is free and not
// legal, and it takes a trial placement to tell.
inline bool random_legal_point(std::mt19937& generator, int32_t& x, int32_t& y) {
    std::vector<int32_t> free;
    for (int32_t i = followed_board.first_cell; i < followed_board.end_cell; ++i)
        if (followed_board.cell_owner[i] == CELL_EMPTY && followed_board.cell_enclosed[i] == 0)
            free.push_back(i);
    while (!free.empty()) {
        const size_t k = std::uniform_int_distribution<size_t>(0, free.size() - 1)(generator);
        x = cell_x(followed_board, free[k]);
        y = cell_y(followed_board, free[k]);
        if (is_legal_dot(followed_board, x, y))
            return true;
        free[k] = free.back();
        free.pop_back();
    }
    return false;
}

// Sets the board up for a "new" or "rules" line; a size or rule set that cannot be played
// leaves it as it was. The start position's dots come as moves, so none is placed here.
inline void follow_setup(const std::string& line) {
    int rows = 0;
    int cols = 0;
    char end = 0;
    RuleSet rules;
    std::string error;
    if (std::sscanf(line.c_str(), "new %d %d%c", &rows, &cols, &end) == 2 &&
        board_size_fits(cols, rows)) {
        init_board(followed_board, cols, rows);
    } else if (line.rfind("rules ", 0) == 0 && parse_rule_set(line.substr(6), rules, error)) {
        rules.start = StartPosition::empty;
        rules.start_seed = 0;
        init_board(followed_board, followed_board.board_cols, followed_board.board_rows, rules);
    }
}

// Places a move line from the referee for the side to move, if it is legal on this board.
inline void follow_move(const std::string& line) {
    int32_t x = 0;
    int32_t y = 0;
    if (parse_engine_line(line.c_str(), &x, &y) == EngineLine::move &&
        is_legal_dot(followed_board, x, y))
        place_dot(followed_board, cell_index(followed_board, x, y));
}

// Follows the game; on each "go" writes what `answer` gives. Returns the exit code, 0.
template <typename Answer> int follow_and_answer(Answer answer) {
    init_board(followed_board);
    std::string line;
    while (next_input_line(line) && line != "quit") {
        if (line.rfind("new ", 0) == 0 || line.rfind("rules ", 0) == 0)
            follow_setup(line);
        else if (line.rfind("move ", 0) == 0)
            follow_move(line);
        else if (line == "go")
            write_output(answer());
    }
    return 0;
}
