#include "records/sgf_replay.h"

#include "records/replay.h"
#include "rules/board.h"
#include "rules/capture.h"

#include <algorithm>
#include <vector>

std::string sgf_size_error(const SgfGame& game) {
    const std::string size = sgf_property(game, "SZ");
    if (size.empty())
        return "";
    const size_t colon = size.find(':');
    const std::string cols = size.substr(0, colon);
    const std::string rows = colon == std::string::npos ? cols : size.substr(colon + 1);
    if (cols == std::to_string(board_cols) && rows == std::to_string(board_rows))
        return "";
    return "board " + cols + " x " + rows + " (SZ[" + size + "]), not " +
           std::to_string(board_cols) + " x " + std::to_string(board_rows);
}

namespace {

// How the file writes the placement: "W[ab]", "AB[cd]".
std::string written(const SgfPlacement& placement) {
    std::string text = (placement.setup ? "A" : "") + std::string(placement.side == 1 ? "B" : "W");
    text += "[" + sgf_point(placement.dot);
    if (!placement.outline.empty())
        text += ".";
    for (const Dot& dot : placement.outline)
        text += sgf_point(dot);
    return text + "]";
}

// Whether a written outline agrees with the capture that the rules found: the move closed
// an enclosure, and every outline point is a dot of the mover beside a cell it enclosed.
bool outline_agrees(const SgfPlacement& placement, const int32_t* enclosed_before) {
    auto newly_enclosed = [&](int32_t cell) { return cell_enclosed[cell] > enclosed_before[cell]; };
    bool enclosed_any = false;
    for (int32_t cell = first_cell; cell < end_cell; ++cell)
        enclosed_any = enclosed_any || newly_enclosed(cell);
    if (!enclosed_any)
        return false;
    for (const Dot& dot : placement.outline) {
        if (dot.x >= board_cols || dot.y >= board_rows)
            return false;
        const int32_t cell = cell_index(dot.x, dot.y);
        bool beside = false;
        for (const int32_t step : neighbour_offset)
            beside = beside || newly_enclosed(cell + step);
        if (cell_owner[cell] != placement.side || !beside)
            return false;
    }
    return true;
}

// Places a dot the rules took for the placement's own side, whoever was to move.
void place_for_side(const SgfPlacement& placement) {
    if (side_to_move != placement.side) {
        side_to_move = placement.side;
        score = -score;
    }
    place_dot(cell_index(placement.dot.x, placement.dot.y));
}

} // namespace

int sgf_move_count(const SgfGame& game) {
    int moves = 0;
    for (const SgfPlacement& placement : game.placements)
        moves += !placement.setup;
    return moves;
}

SgfReplay replay_sgf_game(const SgfGame& game, int move_limit) {
    SgfReplay replay;
    replay.total = sgf_move_count(game);
    init_board();
    last_move_cell = 0;
    replay.error = sgf_size_error(game);
    if (!replay.error.empty())
        return replay;
    // The enclosure counts before a move with an outline, to tell what the move enclosed.
    std::vector<int32_t> enclosed_before(CELL_CAPACITY);
    for (const SgfPlacement& placement : game.placements) {
        if (!placement.setup && replay.moves == move_limit)
            break;
        const std::string number = "move " + std::to_string(replay.moves + 1);
        if (const char* reason = dot_refusal(placement.dot)) {
            replay.error = (placement.setup ? "set-up dot" : number) + " " + written(placement) +
                           " refused: " + reason;
            return replay;
        }
        if (!placement.outline.empty())
            std::copy(cell_enclosed, cell_enclosed + CELL_CAPACITY, enclosed_before.begin());
        place_for_side(placement);
        if (placement.setup)
            continue;
        ++replay.moves;
        last_move_cell = cell_index(placement.dot.x, placement.dot.y);
        if (!placement.outline.empty() && !outline_agrees(placement, enclosed_before.data()))
            replay.warnings.push_back(number + " " + written(placement) +
                                      ": the outline does not match the enclosure the rules find");
    }
    return replay;
}
