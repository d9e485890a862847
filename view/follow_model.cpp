#include "view/follow_model.h"

#include "match/stats/summary.h"

#include <algorithm>
#include <utility>

namespace {

// How many lines or games the status line names, of those the results file has wrong.
constexpr size_t NAMED_LINES = 5;

// The index in the list of the game numbered `number`, -1 when it has none.
int index_of(const ViewModel& view, int number) {
    for (size_t i = view.games.size(); i-- > 0;)
        if (view.games[i].number == number)
            return static_cast<int>(i);
    return -1;
}

// Whether the games in progress are those of the view already, move for move.
bool same_games(const std::vector<GameRecord>& shown, const std::vector<GameRecord>& read) {
    return std::equal(shown.begin(), shown.end(), read.begin(), read.end(),
                      [](const GameRecord& a, const GameRecord& b) {
                          return a.game == b.game && a.dots == b.dots && a.grounded == b.grounded;
                      });
}

// "Games: 12 finished of 60, 2 in progress", then the summary fendrel-match prints at its end.
std::string standings_text(const ViewModel& view, const FollowState& follow) {
    std::string text = "Games: " + std::to_string(view.file.records.size()) + " finished";
    if (follow.has_match)
        text += " of " + std::to_string(follow.match.games);
    text += ", " + std::to_string(view.playing.records.size()) + " in progress\n\n";
    if (view.file.records.empty())
        return text + "No game has finished yet.\n";
    return text +
           match_summary_text(view.file.records, follow_sprt(follow), {},
                              follow.has_match ? follow.match.engines : std::vector<std::string>{});
}

// "3, 7", the first few of the numbers.
std::string named(const std::vector<int>& numbers) {
    std::string text;
    for (size_t i = 0; i < numbers.size() && i < NAMED_LINES; ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    return text + (numbers.size() > NAMED_LINES ? ", ..." : "");
}

// "results.jsonl: 2 lines are no results lines and are left out: 3, 7".
std::string skipped_text(const std::string& path, const std::vector<int>& lines) {
    return path + ": " + std::to_string(lines.size()) +
           (lines.size() == 1 ? " line is no results line and is left out: "
                              : " lines are no results lines and are left out: ") +
           named(lines);
}

// "results.jsonl: 1 line repeats a game it has, and is left out: game 5".
std::string repeated_text(const std::string& path, const std::vector<int>& games) {
    return path + ": " + std::to_string(games.size()) +
           (games.size() == 1 ? " line repeats a game it has, and is left out: game "
                              : " lines repeat games it has, and are left out: games ") +
           named(games);
}

// The status line: what is wrong with the files, what the view is doing.
std::string status_text(const ViewModel& view, const FollowState& follow,
                        const FollowUpdate& update) {
    const std::string& path = follow.results_path;
    std::vector<std::string> parts = {
        view.following ? "Following the match"
                       : "Not following: End on a game in progress, or F, follows the match again"};
    if (!update.results_problem.empty())
        parts.push_back(update.results_problem);
    if (update.unfinished_line)
        parts.push_back(path + " ends in a line without its line feed (being written, or cut "
                               "short): it is read once it is whole");
    if (!follow.skipped_lines.empty())
        parts.push_back(skipped_text(path, follow.skipped_lines));
    if (!follow.repeated_games.empty())
        parts.push_back(repeated_text(path, follow.repeated_games));
    if (!update.live_folder)
        parts.push_back("No game in progress: " + live_directory(path) +
                        " is not there (the match has ended, or has not started)");
    for (const std::string& problem : update.live_problems)
        parts.push_back(problem);
    for (const LiveGame& game : update.in_progress)
        if (!game.problem.empty())
            parts.push_back(game.problem + "; shown up to the line before");
    if (!follow.event.empty())
        parts.push_back(follow.event);
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "\n") + part;
    return text;
}

// Where the view goes after the list changed: while following, the game followed at its last
// move, or once it is over the next game in progress; else the game and move it was at.
void place_view(ViewModel& view, FollowState& follow, const ViewedGame* shown, int move) {
    const int index = shown ? index_of(view, shown->number) : -1;
    if (!shown || view.following) {
        if (index >= 0 && view.games[static_cast<size_t>(index)].in_progress)
            return pick_game(view, index);
        if (shown && shown->in_progress)
            follow.event =
                "Game " + std::to_string(shown->number) +
                (index >= 0 ? " has ended: " + view.games[static_cast<size_t>(index)].label
                            : " is gone without a results line");
        return follow_match(view);
    }
    if (index < 0) {
        follow.event = "Game " + std::to_string(shown->number) +
                       " is no longer in the files: following the match again";
        return follow_match(view);
    }
    pick_game(view, index);
    go_to_move(view, move);
}

} // namespace

ViewModel follow_view(const RuleSet* rules) {
    ViewModel view;
    if (rules)
        view.rules = *rules;
    view.live = true;
    view.following = true;
    return view;
}

SprtSpec follow_sprt(const FollowState& follow) {
    if (follow.sprt_option)
        return *follow.sprt_option;
    return follow.has_match ? follow.match.sprt : SprtSpec{};
}

FollowChanges apply_follow_update(ViewModel& view, FollowState& follow, FollowUpdate update) {
    FollowChanges changes;
    const std::optional<ViewedGame> shown =
        view.games.empty() ? std::nullopt
                           : std::optional(view.games[static_cast<size_t>(view.game)]);
    const int move = view.move;
    const size_t finished_before = update.restarted ? 0 : view.file.records.size();
    if (update.restarted) {
        view.file.records.clear();
        follow.finished_numbers.clear();
        follow.skipped_lines.clear();
        follow.repeated_games.clear();
    }
    // A game's line that comes again says nothing new of it: the first is kept, as a
    // resumed run and merge keep it.
    for (GameRecord& record : update.finished) {
        if (follow.finished_numbers.insert(record.game).second)
            view.file.records.push_back(std::move(record));
        else
            follow.repeated_games.push_back(record.game);
    }
    follow.skipped_lines.insert(follow.skipped_lines.end(), update.skipped_lines.begin(),
                                update.skipped_lines.end());
    const bool match_changed =
        update.has_match && (!follow.has_match || follow.match.engines != update.match.engines ||
                             follow.match.games != update.match.games);
    if (update.has_match) {
        follow.has_match = true;
        follow.match = update.match;
    }
    // A game whose results line is in is finished, whatever is left of its file.
    std::vector<GameRecord> playing;
    for (LiveGame& game : update.in_progress)
        if (!follow.finished_numbers.count(game.record.game))
            playing.push_back(std::move(game.record));
    const bool finished_changed = update.restarted || !update.finished.empty();
    const bool playing_changed = !same_games(view.playing.records, playing);
    const size_t playing_before = view.playing.records.size();
    if (finished_changed || playing_changed) {
        view.playing.records = std::move(playing);
        view.games.resize(std::min(view.games.size(), finished_before));
        for (size_t i = view.games.size(); i < view.file.records.size(); ++i)
            view.games.push_back({view.file.records[i].game, record_label(view.file.records[i])});
        for (const GameRecord& record : view.playing.records)
            view.games.push_back({record.game, record_label(record), true});
        changes.any = true;
        changes.first_game = std::min(finished_before, view.games.size());
        place_view(view, follow, shown ? &*shown : nullptr, move);
    }
    if (finished_changed || match_changed)
        follow.history.update(view.file.records,
                              follow.has_match ? follow.match.engines : std::vector<std::string>{},
                              follow_sprt(follow));
    // The standings count the games in progress too; the first look always has them.
    if (finished_changed || match_changed || view.playing.records.size() != playing_before ||
        follow.standings.empty()) {
        follow.standings = standings_text(view, follow);
        changes.any = changes.standings = true;
    }
    const std::string status = status_text(view, follow, update);
    changes.any = changes.any || status != follow.status;
    follow.status = status;
    return changes;
}
