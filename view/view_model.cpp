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

std::string tree_label(const SgfGame& game, int index) {
    const std::string result = sgf_property(game, "RE");
    const std::string reason = sgf_property(game, "GC");
    return "#" + std::to_string(index) + " " + sgf_property(game, "PB") + " - " +
           sgf_property(game, "PW") + ": " + (result.empty() ? "no result" : result) +
           (reason.empty() ? "" : " (" + reason + ")");
}

// The file of the game shown: the games in progress are apart from the finished ones.
const GameFile& shown_file(const ViewModel& view) {
    return !view.games.empty() && view.games[static_cast<size_t>(view.game)].in_progress
               ? view.playing
               : view.file;
}

const GameRecord* record_of(const ViewModel& view) {
    if (view.file.sgf || view.games.empty())
        return nullptr;
    for (const GameRecord& record : shown_file(view).records)
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
std::string time_line(const GameRecord& record, int move, bool in_progress) {
    std::string text =
        move == 0 ? "Before the first move"
        : move <= record.opening_dots
            ? "Move " + std::to_string(move) + ": the opening's"
            : "Move " + std::to_string(move) + " " + took_text(move_time(record, move));
    uint32_t clocks[2];
    if (in_progress) {
        if (!running_clocks_after(record, move, clocks))
            return text;
        return text + "; clocks: side 1 " + time_text(clocks[0]) + ", side 2 " +
               time_text(clocks[1]);
    }
    if (clocks_after(record, move, clocks))
        return text + "; clocks: side 1 " + time_text(clocks[0]) + ", side 2 " +
               time_text(clocks[1]);
    return text + "; clocks at the end of the game: side 1 " + time_text(record.clock_ms[0]) +
           ", side 2 " + time_text(record.clock_ms[1]) + " (the times of the moves do not add up)";
}

// Where a key that moves takes the view.
void move_by_key(ViewModel& view, ViewKey key) {
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
    case ViewKey::follow:
        return;
    }
}

// Where a person's step leaves following: on only while the view is still at the last move
// of the game it showed.
void keep_following_at_the_end(ViewModel& view, int game_before) {
    if (view.game != game_before || view.move != view.last_move)
        view.following = false;
}

bool shows_game_in_progress(const ViewModel& view) {
    return !view.games.empty() && view.games[static_cast<size_t>(view.game)].in_progress;
}

// "Fendrel view: game 12 at move 40, being played, following".
std::string title_text(const ViewModel& view) {
    if (!view.live)
        return "Fendrel view";
    if (view.games.empty())
        return "Fendrel view: no game yet";
    return "Fendrel view: game " +
           std::to_string(view.games[static_cast<size_t>(view.game)].number) + " at move " +
           std::to_string(view.move) +
           (shows_game_in_progress(view) ? ", being played" : ", finished") +
           (view.following ? ", following" : "");
}

} // namespace

std::string record_label(const GameRecord& record) {
    const std::string players =
        "#" + std::to_string(record.game) + " " + record.side1 + " - " + record.side2 + ": ";
    // Every finished game has a reason.
    if (record.reason.empty())
        return players + "being played, move " + std::to_string(record_moves(record));
    const std::string outcome =
        record.winner == 0 ? "draw" : "side " + std::to_string(record.winner) + " won";
    return players + outcome + " (" + record.reason + ")";
}

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
    view.game = std::clamp(game, 0, std::max(static_cast<int>(view.games.size()) - 1, 0));
    if (view.games.empty()) {
        view.move = view.last_move = 0;
        view.cut.clear();
        return;
    }
    ShownPosition shown;
    std::string error;
    if (show_game(shown_file(view), view.games[static_cast<size_t>(view.game)].number, WHOLE, shown,
                  error, view.rules ? &*view.rules : nullptr)) {
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
    if (key == ViewKey::follow) {
        if (view.live)
            follow_match(view);
        return;
    }
    const int game_before = view.game;
    move_by_key(view, key);
    if (key == ViewKey::end && view.live && shows_game_in_progress(view))
        view.following = true;
    else
        keep_following_at_the_end(view, game_before);
}

void choose_move(ViewModel& view, int move) {
    go_to_move(view, move);
    keep_following_at_the_end(view, view.game);
}

void choose_game(ViewModel& view, int game) {
    if (game == view.game)
        return;
    pick_game(view, game);
    view.following = false;
}

void follow_match(ViewModel& view) {
    view.following = true;
    int lowest_in_progress = -1;
    int last_finished = -1;
    for (size_t i = 0; i < view.games.size(); ++i) {
        const int index = static_cast<int>(i);
        if (!view.games[i].in_progress)
            last_finished = index;
        else if (lowest_in_progress < 0 ||
                 view.games[i].number < view.games[static_cast<size_t>(lowest_in_progress)].number)
            lowest_in_progress = index;
    }
    pick_game(view, lowest_in_progress >= 0 ? lowest_in_progress : std::max(last_finished, 0));
}

ViewTexts show_view(const ViewModel& view) {
    ViewTexts texts;
    texts.title = title_text(view);
    ShownPosition shown;
    std::string error;
    if (view.games.empty()) {
        init_board(texts.board);
        texts.notes = "No game has started yet.";
        return texts;
    }
    if (!show_game(shown_file(view), view.games[static_cast<size_t>(view.game)].number, view.move,
                   shown, error, view.rules ? &*view.rules : nullptr)) {
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
        texts.time = time_line(*record, view.move, shows_game_in_progress(view));
    texts.game = shown.text;
    texts.notes = view.cut;
    for (const std::string& warning : shown.warnings)
        texts.notes += (texts.notes.empty() ? "" : "\n") + warning;
    return texts;
}
