#include "review/shown_game.h"

#include "os/file.h"
#include "records/replay.h"
#include "records/results_file.h"
#include "records/sgf_replay.h"
#include "review/board_text.h"
#include "rules/board.h"
#include "rules/standard_bases.h"
#include "rules/start_position.h"

#include <algorithm>

namespace {

// A text of the file with its control bytes replaced, so that it cannot steer the terminal.
std::string without_control_bytes(std::string text) {
    for (char& c : text)
        if ((c >= 0 && c < 0x20) || c == 0x7f)
            c = '?';
    return text;
}

// The line before the players when the position is not the game's end.
std::string move_line(const ShownPosition& shown) {
    if (shown.moves == shown.total)
        return "";
    return "Position after move " + std::to_string(shown.moves) + " of " +
           std::to_string(shown.total) + "\n";
}

// A game of a results file: its dots alternate from side 1, and a grounding may follow them.
void show_record(const GameRecord& record, int move, const RuleSet& rules, ShownPosition& shown) {
    shown.total = record_moves(record);
    const size_t wanted = static_cast<size_t>(move == WHOLE ? shown.total : move);
    const std::vector<Dot> dots(record.dots.begin(),
                                record.dots.begin() + std::min(wanted, record.dots.size()));
    shown.board.board_cols = record.board_cols;
    shown.board.board_rows = record.board_rows;
    shown.board.rules = rules;
    shown.moves = replay_dots(shown.board, dots);
    if (shown.moves < static_cast<int>(dots.size())) {
        const Dot& dot = dots[static_cast<size_t>(shown.moves)];
        shown.stop = "move " + std::to_string(shown.moves + 1) + " (" + std::to_string(dot.x) +
                     " " + std::to_string(dot.y) + ") refused: " + dot_refusal(shown.board, dot);
    } else if (wanted > record.dots.size()) {
        // Only the side to move may ground, under rules that have grounding, in a game not over.
        if (rules.kind == RuleKind::standard && shown.board.side_to_move == record.grounded &&
            !board_full(shown.board)) {
            ground(shown.board);
            ++shown.moves;
        } else {
            shown.stop = "move " + std::to_string(shown.moves + 1) + " (side " +
                         std::to_string(record.grounded) + " grounds) refused: " +
                         (rules.kind == RuleKind::standard ? "not that side's turn"
                                                           : "these rules have no grounding");
        }
    }
    GameRecord position = record;
    position.dots.resize(std::min(static_cast<size_t>(shown.moves), record.dots.size()));
    if (shown.moves <= static_cast<int>(record.dots.size()))
        position.grounded = 0;
    position.score = side1_balance(shown.board);
    shown.text = move_line(shown) + outcome_text(position);
}

// A game tree of an SGF file: its players and result as the file writes them.
void show_sgf(const SgfGame& game, int move, const RuleSet* rules, ShownPosition& shown) {
    const SgfReplay replay = replay_sgf_game(shown.board, game, move, rules);
    shown.moves = replay.moves;
    shown.total = replay.total;
    shown.stop = replay.error;
    shown.warnings = replay.warnings;
    size_t dots = 0;
    for (int32_t cell = shown.board.first_cell; cell < shown.board.end_cell; ++cell)
        dots += shown.board.cell_owner[cell] == 1 || shown.board.cell_owner[cell] == 2;
    const std::string result = sgf_property(game, "RE");
    const std::string reason = sgf_property(game, "GC");
    shown.text = move_line(shown) +
                 players_and_score_text(without_control_bytes(sgf_property(game, "PB")),
                                        without_control_bytes(sgf_property(game, "PW")), dots,
                                        side1_balance(shown.board)) +
                 "Result: " + (result.empty() ? "not recorded" : without_control_bytes(result)) +
                 (reason.empty() ? "" : " (" + without_control_bytes(reason) + ")") + "\n";
}

} // namespace

bool read_game_file(const std::string& path, GameFile& file, std::string& error) {
    file = GameFile{};
    std::string text;
    if (!read_whole_file(path, text)) {
        error = "cannot read " + path;
        return false;
    }
    const size_t start = text.find_first_not_of(" \t\r\n");
    file.sgf = start != std::string::npos && text[start] == '(';
    if (file.sgf && !parse_sgf(text, file.sgf_games, error)) {
        error = path + ": " + error;
        return false;
    }
    int skipped = 0;
    if (!file.sgf && !read_results(path, file.records, skipped, error)) {
        error = path + ": " + error;
        return false;
    }
    if (file.sgf_games.empty() && file.records.empty()) {
        error = "no game in " + path;
        return false;
    }
    return true;
}

bool show_game(const GameFile& file, int game, int move, ShownPosition& shown, std::string& error,
               const RuleSet* rules) {
    shown = ShownPosition{};
    const GameRecord* record = nullptr;
    const SgfGame* tree = nullptr;
    if (file.sgf && game < static_cast<int>(file.sgf_games.size()))
        tree = game == WHOLE ? &file.sgf_games.back() : &file.sgf_games[static_cast<size_t>(game)];
    for (const GameRecord& candidate : file.records)
        if (game == WHOLE || candidate.game == game)
            record = &candidate;
    if (!tree && !record) {
        error = "no game " + std::to_string(game) +
                (file.sgf ? " (the game trees are numbered from 0 to " +
                                std::to_string(file.sgf_games.size() - 1) + ")"
                          : "");
        return false;
    }
    // A game of a board or rules not played here has no position to show.
    int32_t cols = 0, rows = 0;
    RuleSet read_rules;
    if (tree && !(error = sgf_board_setup(*tree, rules, cols, rows, read_rules)).empty())
        return false;
    if (record && !rules &&
        !start_position_fits(record->rules.start, record->board_cols, record->board_rows)) {
        error = "the start position of " + rule_set_text(record->rules) + " does not fit the board";
        return false;
    }
    const int total = tree ? sgf_move_count(*tree) : record_moves(*record);
    if (move > total) {
        error = "no move " + std::to_string(move) + ": the game has " + std::to_string(total) +
                " moves";
        return false;
    }
    if (tree)
        show_sgf(*tree, move, rules, shown);
    else
        show_record(*record, move, rules ? *rules : record->rules, shown);
    return true;
}
