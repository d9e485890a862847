#include "records/openings.h"

#include "os/file.h"
#include "records/replay.h"
#include "records/sgf.h"
#include "records/sgf_replay.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/start_position.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

// A step of the splitmix64 sequence: a fixed, portable stream of 64-bit numbers.
uint64_t next_random(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

// The state of a pair's random sequence: the seed's, then the pair's number mixed in.
uint64_t pair_sequence(uint64_t seed, int pair) {
    uint64_t state = seed;
    return next_random(state) ^ static_cast<uint64_t>(pair);
}

const char* const START_LABELS[] = {"empty", "cross", "cross2", "cross4"};

// A start position's dots in playing order: each side's in the order the board holds them,
// taken in turn from side 1. No two crosses share a point, so no dot of them captures, and
// played this way they make the start position itself. cross4 is drawn for the pair.
Opening start_position_opening(const Board& empty_board, StartPosition start, uint64_t seed,
                               int pair) {
    Board board = empty_board;
    board.rules.start = start;
    board.rules.start_seed = 0;
    Opening opening{START_LABELS[static_cast<int>(start)], {}};
    if (start == StartPosition::cross4) {
        uint64_t state = pair_sequence(seed, pair);
        // start_seed 0 means unturned crosses: a drawn 0 is taken as 1.
        board.rules.start_seed = static_cast<uint32_t>(next_random(state));
        if (board.rules.start_seed == 0)
            board.rules.start_seed = 1;
        opening.label += " #" + std::to_string(pair);
    }
    init_board(board, board.board_cols, board.board_rows, board.rules);
    std::vector<Dot> sides[2];
    for (int32_t i = board.first_cell; i < board.end_cell; ++i)
        if (board.cell_owner[i] == 1 || board.cell_owner[i] == 2)
            sides[board.cell_owner[i] - 1].push_back(dot_of_cell(board, i));
    for (size_t k = 0; k < sides[0].size(); ++k) {
        opening.dots.push_back(sides[0][k]);
        opening.dots.push_back(sides[1][k]);
    }
    return opening;
}

// `dots` random legal dots for a pair, from a sequence seeded by the seed and the pair.
Opening random_opening(const Board& empty_board, int dots, uint64_t seed, int pair) {
    uint64_t state = pair_sequence(seed, pair);
    Opening opening{"random:" + std::to_string(dots) + " #" + std::to_string(pair), {}};
    Board board = empty_board;
    for (int i = 0; i < dots; ++i) {
        std::vector<int32_t> legal;
        for (int32_t y = 0; y < board.board_rows; ++y)
            for (int32_t x = 0; x < board.board_cols; ++x)
                if (is_legal_dot(board, x, y))
                    legal.push_back(cell_index(board, x, y));
        if (legal.empty())
            break;
        const int32_t cell = legal[next_random(state) % legal.size()];
        opening.dots.push_back(dot_of_cell(board, cell));
        place_dot(board, cell);
    }
    return opening;
}

// "x y" pairs separated by white space or commas.
bool parse_dot_line(const std::string& line, std::vector<Dot>& dots) {
    std::string spaced = line;
    for (char& c : spaced)
        if (c == ',' || c == ';')
            c = ' ';
    std::istringstream in(spaced);
    std::string word;
    std::vector<int32_t> numbers;
    while (in >> word) {
        errno = 0;
        char* end = nullptr;
        const long value = std::strtol(word.c_str(), &end, 10);
        if (*end || errno || value < 0 || value > INT32_MAX)
            return false;
        numbers.push_back(static_cast<int32_t>(value));
    }
    if (numbers.size() % 2)
        return false;
    for (size_t i = 0; i < numbers.size(); i += 2)
        dots.push_back({numbers[i], numbers[i + 1]});
    return true;
}

// The first `limit` moves of a game as an opening's dots, which are played alternately
// from side 1; false with the reason when the game does not start that way.
bool opening_dots(const SgfGame& game, size_t limit, Opening& opening, std::string& error) {
    for (const SgfPlacement& placement : game.placements) {
        if (opening.dots.size() == limit)
            break;
        if (placement.setup) {
            error = opening.label + ": set-up dots (AB, AW) are no opening";
            return false;
        }
        if (placement.side != 1 + static_cast<int>(opening.dots.size() % 2)) {
            error = opening.label + ": moves do not alternate from B";
            return false;
        }
        opening.dots.push_back(placement.dot);
    }
    return true;
}

bool parse_sgf_openings(const std::string& text, const std::string& name,
                        std::vector<Opening>& openings, std::string& error) {
    std::vector<SgfGame> games;
    if (!parse_sgf(text, games, error))
        return false;
    for (size_t g = 0; g < games.size(); ++g) {
        openings.push_back({name + " #" + std::to_string(g + 1), {}});
        if (!opening_dots(games[g], SIZE_MAX, openings.back(), error))
            return false;
    }
    return true;
}

// "sgf:FILE:N": the first N moves of every game of the file that has them, plays them under
// these rules and starts with them alternating from B; the other games are passed over.
bool load_sgf_game_openings(const std::string& choice, OpeningBook& book, std::string& error) {
    const Board& empty_board = book.board;
    const size_t colon = choice.rfind(':');
    char* end = nullptr;
    errno = 0;
    const long moves = std::strtol(choice.c_str() + colon + 1, &end, 10);
    const std::string path = choice.substr(4, colon - 4);
    if (colon < 5 || colon + 1 == choice.size() || *end || errno || moves < 1 ||
        moves > MAX_SGF_OPENING_MOVES) {
        error = "sgf:FILE:N takes a file and N from 1 to " + std::to_string(MAX_SGF_OPENING_MOVES);
        return false;
    }
    std::string text;
    std::vector<SgfGame> games;
    if (!read_whole_file(path, text)) {
        error = "cannot read opening file " + path;
        return false;
    }
    if (!parse_sgf(text, games, error)) {
        error = path + ": " + error;
        return false;
    }
    book.kind = OpeningKind::file;
    for (size_t g = 0; g < games.size(); ++g) {
        Opening opening{choice + " #" + std::to_string(g + 1), {}};
        std::string unused;
        // The game is played under the match's rules, whatever its own say, on a board of
        // its own size, which must be the match's.
        Board board;
        const SgfReplay replay =
            replay_sgf_game(board, games[g], static_cast<int>(moves), &empty_board.rules);
        if (replay.moves == moves &&
            opening_dots(games[g], static_cast<size_t>(moves), opening, unused) &&
            !board_full(board) && board.board_cols == empty_board.board_cols &&
            board.board_rows == empty_board.board_rows)
            book.file_openings.push_back(opening);
    }
    if (book.file_openings.empty()) {
        error = path + ": no game whose first " + std::to_string(moves) +
                " moves play under these rules, alternating from B";
        return false;
    }
    return true;
}

bool parse_line_openings(const std::string& text, const std::string& name,
                         std::vector<Opening>& openings, std::string& error) {
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.resize(comment);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        Opening opening{name + ":" + std::to_string(number), {}};
        if (!parse_dot_line(line, opening.dots)) {
            error = opening.label + ": expected pairs of numbers \"x y\"";
            return false;
        }
        openings.push_back(opening);
    }
    return true;
}

} // namespace

bool parse_opening_text(const std::string& text, const std::string& name,
                        std::vector<Opening>& openings, std::string& error,
                        const Board* board_setup) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    const bool is_sgf = start != std::string::npos && text[start] == '(';
    if (!(is_sgf ? parse_sgf_openings(text, name, openings, error)
                 : parse_line_openings(text, name, openings, error)))
        return false;
    Board board;
    if (board_setup)
        board = *board_setup;
    else
        init_board(board);
    for (const Opening& opening : openings) {
        for (const Dot& dot : opening.dots) {
            // The rules would take a column past the edge as a cell of the next row.
            if (dot.x >= board.board_cols || dot.y >= board.board_rows) {
                error = opening.label + ": a dot lies outside the board";
                return false;
            }
        }
        const int played = replay_dots(board, opening.dots);
        if (played != static_cast<int>(opening.dots.size())) {
            error = opening.label + ": dot " + std::to_string(played + 1) + " is not legal";
            return false;
        }
        if (board_full(board)) {
            error = opening.label + ": leaves no move to play";
            return false;
        }
    }
    if (openings.empty()) {
        error = name + ": no openings";
        return false;
    }
    return true;
}

bool load_opening_book(const std::string& choice, OpeningBook& book, std::string& error,
                       const Board* board) {
    book = OpeningBook{};
    if (board)
        book.board = *board;
    else
        init_board(book.board);
    if (choice == "empty")
        return true;
    for (const StartPosition start :
         {StartPosition::cross, StartPosition::cross2, StartPosition::cross4}) {
        if (choice != START_LABELS[static_cast<int>(start)])
            continue;
        if (!start_position_fits(start, book.board.board_cols, book.board.board_rows)) {
            error = choice + " does not fit a board of " + std::to_string(book.board.board_cols) +
                    " x " + std::to_string(book.board.board_rows);
            return false;
        }
        book.kind = OpeningKind::start_position;
        book.start = start;
        return true;
    }
    if (choice.rfind("random:", 0) == 0) {
        char* end = nullptr;
        errno = 0;
        const long dots = std::strtol(choice.c_str() + 7, &end, 10);
        if (choice.size() == 7 || *end || errno || dots < 0 || dots > MAX_RANDOM_OPENING_DOTS) {
            error = "random:N takes N from 0 to " + std::to_string(MAX_RANDOM_OPENING_DOTS);
            return false;
        }
        book.kind = OpeningKind::random;
        book.random_dots = static_cast<int>(dots);
        return true;
    }
    if (choice.rfind("sgf:", 0) == 0)
        return load_sgf_game_openings(choice, book, error);
    std::string text;
    if (!read_whole_file(choice, text)) {
        error = "cannot read opening file " + choice;
        return false;
    }
    book.kind = OpeningKind::file;
    return parse_opening_text(text, choice, book.file_openings, error, &book.board);
}

Opening opening_for_pair(const OpeningBook& book, uint64_t seed, int pair) {
    switch (book.kind) {
    case OpeningKind::start_position:
        return start_position_opening(book.board, book.start, seed, pair);
    case OpeningKind::random:
        return random_opening(book.board, book.random_dots, seed, pair);
    case OpeningKind::file:
        return book.file_openings[static_cast<size_t>(pair) % book.file_openings.size()];
    case OpeningKind::empty:
        break;
    }
    return {"empty", {}};
}
