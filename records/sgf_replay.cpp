#include "records/sgf_replay.h"

#include "records/replay.h"
#include "records/sgf_rules.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"
#include "rules/start_position.h"

#include <algorithm>
#include <vector>

namespace {

// A side of SZ: a whole number; -1 when it is not one.
int32_t size_value(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(text);
}

} // namespace

std::string sgf_board_setup(const SgfGame& game, const RuleSet* rules, int32_t& cols, int32_t& rows,
                            RuleSet& read_rules) {
    cols = FENDREL_COLS;
    rows = FENDREL_ROWS;
    const std::string size = sgf_property(game, "SZ");
    if (!size.empty()) {
        const size_t colon = size.find(':');
        cols = size_value(size.substr(0, colon));
        rows = colon == std::string::npos ? cols : size_value(size.substr(colon + 1));
        if (!board_size_fits(cols, rows))
            return "board SZ[" + size + "] is not from " + std::to_string(MIN_BOARD_SIDE) + " to " +
                   std::to_string(MAX_BOARD_SIDE) + " points a side";
    }
    read_rules = RuleSet{};
    std::string error;
    const std::string written = sgf_property(game, "RU");
    if (rules)
        read_rules = *rules;
    else if (!written.empty() && !rules_from_sgf_text(written, read_rules, error))
        return error;
    if (!start_position_fits(read_rules.start, cols, rows))
        return "the start position of " + rule_set_text(read_rules) + " does not fit a board of " +
               std::to_string(cols) + " x " + std::to_string(rows);
    return "";
}

namespace {

// How the file writes the placement: "W[ab]", "AB[cd]".
std::string written(const SgfPlacement& placement) {
    std::string text = (placement.setup ? "A" : "") + std::string(placement.side == 1 ? "B" : "W");
    text += "[" + (placement.ground ? "" : sgf_point(placement.dot));
    if (!placement.outline.empty())
        text += ".";
    for (const Dot& dot : placement.outline)
        text += sgf_point(dot);
    return text + "]";
}

// Whether a written outline agrees with the capture that the rules found: the move closed
// an enclosure, and every outline point is a dot of the mover beside a cell it enclosed.
bool outline_agrees(const Board& board, const SgfPlacement& placement,
                    const std::vector<int32_t>& enclosed_before) {
    auto newly_enclosed = [&](int32_t cell) {
        return board.cell_enclosed[cell] > enclosed_before[cell];
    };
    bool enclosed_any = false;
    for (int32_t cell = board.first_cell; cell < board.end_cell; ++cell)
        enclosed_any = enclosed_any || newly_enclosed(cell);
    if (!enclosed_any)
        return false;
    for (const Dot& dot : placement.outline) {
        if (dot.x >= board.board_cols || dot.y >= board.board_rows)
            return false;
        const int32_t cell = cell_index(board, dot.x, dot.y);
        bool beside = false;
        for (const int32_t step : board.neighbour_offset)
            beside = beside || newly_enclosed(cell + step);
        if (board.cell_owner[cell] != placement.side || !beside)
            return false;
    }
    return true;
}

// Plays the placement, which the rules took, for its own side, whoever was to move: a dot
// or grounding.
void play_for_side(Board& board, const SgfPlacement& placement) {
    if (board.side_to_move != placement.side) {
        board.side_to_move = placement.side;
        board.score = -board.score;
    }
    if (placement.ground)
        ground(board);
    else
        place_dot(board, cell_index(board, placement.dot.x, placement.dot.y));
}

// Why the rules refuse the placement as the board stands, or nullptr.
const char* placement_refusal(const Board& board, const SgfPlacement& placement) {
    if (!placement.ground)
        return dot_refusal(board, placement.dot);
    if (board.rules.kind != RuleKind::standard)
        return "grounding is no move under the fendrel rules";
    if (board.grounded != 0)
        return "the game ended when a side grounded";
    return nullptr;
}

} // namespace

int sgf_move_count(const SgfGame& game) {
    int moves = 0;
    for (const SgfPlacement& placement : game.placements)
        moves += !placement.setup;
    return moves;
}

SgfReplay replay_sgf_game(Board& board, const SgfGame& game, int move_limit, const RuleSet* rules) {
    SgfReplay replay;
    replay.total = sgf_move_count(game);
    int32_t cols = 0, rows = 0;
    RuleSet played_rules;
    replay.error = sgf_board_setup(game, rules, cols, rows, played_rules);
    if (!replay.error.empty()) {
        init_board(board);
        return replay;
    }
    init_board(board, cols, rows, played_rules);
    // The enclosure counts before a move with an outline, to tell what the move enclosed.
    std::vector<int32_t> enclosed_before;
    for (const SgfPlacement& placement : game.placements) {
        if (!placement.setup && replay.moves == move_limit)
            break;
        if (placement.setup && placement.dot.x < cols && placement.dot.y < rows &&
            board.cell_owner[cell_index(board, placement.dot.x, placement.dot.y)] == placement.side)
            continue;
        const std::string number = "move " + std::to_string(replay.moves + 1);
        if (const char* reason = placement_refusal(board, placement)) {
            replay.error = (placement.setup ? "set-up dot" : number) + " " + written(placement) +
                           " refused: " + reason;
            return replay;
        }
        if (!placement.outline.empty())
            enclosed_before = board.cell_enclosed;
        play_for_side(board, placement);
        if (placement.setup)
            continue;
        ++replay.moves;
        if (placement.ground)
            continue;
        board.last_move_cell = cell_index(board, placement.dot.x, placement.dot.y);
        if (!placement.outline.empty() && !outline_agrees(board, placement, enclosed_before))
            replay.warnings.push_back(number + " " + written(placement) +
                                      ": the outline does not match the enclosure the rules find");
    }
    return replay;
}
