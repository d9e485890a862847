// The game as the test engines that read follow it: "new ROWS COLS" sets up an empty board of
// that size, "rules TEXT" its rules, every "move" line from the referee is placed for the
// side to move (if legal on their board), and each "go" is answered, until "quit" or the end
// of the input.
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

// A uniformly random legal point of the board, as x and y; false when there is none.
inline bool random_legal_point(std::mt19937& generator, int32_t& x, int32_t& y) {
    std::vector<int32_t> legal;
    for (int32_t py = 0; py < followed_board.board_rows; ++py)
        for (int32_t px = 0; px < followed_board.board_cols; ++px)
            if (is_legal_dot(followed_board, px, py))
                legal.push_back(py * followed_board.board_cols + px);
    if (legal.empty())
        return false;
    const int32_t chosen =
        legal[std::uniform_int_distribution<size_t>(0, legal.size() - 1)(generator)];
    x = chosen % followed_board.board_cols;
    y = chosen / followed_board.board_cols;
    return true;
}

// Places a move line from the referee for the side to move, if it is legal on this board.
inline void follow_move(const std::string& line) {
    int32_t x = 0;
    int32_t y = 0;
    if (parse_engine_line(line.c_str(), &x, &y) == EngineLine::move &&
        is_legal_dot(followed_board, x, y))
        place_dot(followed_board, cell_index(followed_board, x, y));
}

// A new game from "new ROWS COLS": an empty board of that size (the window program's where the
// line gives no size a board may have).
inline void follow_new(const std::string& line) {
    int rows = 0;
    int cols = 0;
    if (std::sscanf(line.c_str(), "new %d %d", &rows, &cols) != 2 || !board_size_fits(cols, rows)) {
        rows = FENDREL_ROWS;
        cols = FENDREL_COLS;
    }
    init_board(followed_board, cols, rows);
}

// The rules of the game from "rules TEXT", right after "new": the board is still empty.
inline void follow_rules(const std::string& line) {
    RuleSet rules;
    std::string error;
    if (parse_rule_set(line.substr(6), rules, error))
        init_board(followed_board, followed_board.board_cols, followed_board.board_rows, rules);
}

// Follows the game; on each "go" writes what `answer` gives. Returns the exit code, 0.
template <typename Answer> int follow_and_answer(Answer answer) {
    init_board(followed_board);
    std::string line;
    while (next_input_line(line) && line != "quit") {
        if (line.rfind("new ", 0) == 0)
            follow_new(line);
        else if (line.rfind("rules ", 0) == 0)
            follow_rules(line);
        else if (line.rfind("move ", 0) == 0)
            follow_move(line);
        else if (line == "go")
            write_output(answer());
    }
    return 0;
}
