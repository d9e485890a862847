#include "view/view_model.h"

#include "records/replay.h"
#include "records/sgf.h"
#include "rules/board.h"
#include "view/game_clocks.h"

#include <algorithm>
#include <cstdio>

namespace {

// "2:05.3": a clock or a move's time in minutes, seconds and tenths.
std::string time_text(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%u", ms / 60000, ms / 1000 % 60, ms / 100 % 10);
    return text;
}

std::string record_label(const GameRecord& record) {
    const std::string outcome =
        record.winner == 0 ? "draw" : "side " + std::to_string(record.winner) + " won";
    return "#" + std::to_string(record.game) + " " + record.side1 + " - " + record.side2 + ": " +
           outcome + " (" + record.reason + ")";
}

std::string tree_label(const SgfGame& game, int index) {
    const std::string result = sgf_property(game, "RE");
    const std::string reason = sgf_property(game, "GC");
    return "#" + std::to_string(index) + " " + sgf_property(game, "PB") + " - " +
           sgf_property(game, "PW") + ": " + (result.empty() ? "no result" : result) +
           (reason.empty() ? "" : " (" + reason + ")");
}

const GameRecord* record_of(const ViewModel& view) {
    if (view.file.sgf)
        return nullptr;
    for (const GameRecord& record : view.file.records)
        if (record.game == view.games[static_cast<size_t>(view.game)].number)
            return &record;
    return nullptr;
}

// "took 0:00.3", or for a time an older fendrel-match recorded below zero, that it is unknown.
std::string took_text(uint32_t ms) {
    return move_time_known(ms) ? "took " + time_text(ms) : "took an unknown time";
}

// The recorded time of a move after the opening; unknown where the file has none for it.
uint32_t move_time(const GameRecord& record, int move) {
    const auto index = static_cast<size_t>(move - record.opening_dots - 1);
    return index < record.move_ms.size() ? record.move_ms[index] : UINT32_MAX;
}

// The time line of a results file's game at the shown move.
std::string time_line(const GameRecord& record, int move) {
    std::string text =
        move == 0 ? "Before the first move"
        : move <= record.opening_dots
            ? "Move " + std::to_string(move) + ": the opening's"
            : "Move " + std::to_string(move) + " " + took_text(move_time(record, move));
    uint32_t clocks[2];
    if (clocks_after(record, move, clocks))
        return text + "; clocks: side 1 " + time_text(clocks[0]) + ", side 2 " +
               time_text(clocks[1]);
    return text + "; clocks at the end of the game: side 1 " + time_text(record.clock_ms[0]) +
           ", side 2 " + time_text(record.clock_ms[1]) + " (the times of the moves do not add up)";
}

} // namespace

bool open_view(const std::string& path, int game, int move, ViewModel& view, std::string& error,
               const RuleSet* rules) {
    view = ViewModel{};
    if (rules)
        view.rules = *rules;
    ShownPosition shown;
    if (!read_game_file(path, view.file, error) ||
        !show_game(view.file, game, move, shown, error, rules))
        return false;
    for (size_t i = 0; i < view.file.sgf_games.size(); ++i)
        view.games.push_back(
            {static_cast<int>(i), tree_label(view.file.sgf_games[i], static_cast<int>(i))});
    for (const GameRecord& record : view.file.records)
        view.games.push_back({record.game, record_label(record)});
    int index = static_cast<int>(view.games.size()) - 1;
    for (size_t i = 0; i < view.games.size(); ++i)
        if (view.games[i].number == game)
            index = static_cast<int>(i);
    pick_game(view, index);
    if (move != WHOLE)
        go_to_move(view, move);
    return true;
}

void pick_game(ViewModel& view, int game) {
    view.game = std::clamp(game, 0, static_cast<int>(view.games.size()) - 1);
    ShownPosition shown;
    std::string error;
    if (show_game(view.file, view.games[static_cast<size_t>(view.game)].number, WHOLE, shown, error,
                  view.rules ? &*view.rules : nullptr)) {
        view.last_move = shown.moves;
        view.cut = shown.stop;
    } else {
        // A game of another board: nothing of it can be shown.
        view.last_move = 0;
        view.cut = error;
    }
    view.move = view.last_move;
}

void go_to_move(ViewModel& view, int move) {
    view.move = std::clamp(move, 0, view.last_move);
}

void press_view_key(ViewModel& view, ViewKey key) {
    switch (key) {
    case ViewKey::back:
        return go_to_move(view, view.move - 1);
    case ViewKey::forward:
        return go_to_move(view, view.move + 1);
    case ViewKey::back_ten:
        return go_to_move(view, view.move - 10);
    case ViewKey::forward_ten:
        return go_to_move(view, view.move + 10);
    case ViewKey::start:
        return go_to_move(view, 0);
    case ViewKey::end:
        return go_to_move(view, view.last_move);
    case ViewKey::next_game:
        return pick_game(view, view.game + 1);
    case ViewKey::previous_game:
        return pick_game(view, view.game - 1);
    }
}

ViewTexts show_view(const ViewModel& view) {
    ViewTexts texts;
    ShownPosition shown;
    std::string error;
    if (!show_game(view.file, view.games[static_cast<size_t>(view.game)].number, view.move, shown,
                   error, view.rules ? &*view.rules : nullptr)) {
        init_board(texts.board);
        texts.notes = error;
        return texts;
    }
    texts.board = shown.board;
    const int32_t balance = side1_balance(shown.board);
    texts.move = "Move " + std::to_string(view.move) + " of " + std::to_string(shown.total) +
                 ", side " + std::to_string(shown.board.side_to_move) +
                 " to move, captured dots: side 1 " + (balance > 0 ? "+" : "") +
                 std::to_string(balance);
    if (const GameRecord* record = record_of(view))
        texts.time = time_line(*record, view.move);
    texts.game = shown.text;
    texts.notes = view.cut;
    for (const std::string& warning : shown.warnings)
        texts.notes += (texts.notes.empty() ? "" : "\n") + warning;
    return texts;
}
