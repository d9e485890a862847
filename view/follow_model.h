// fendrel-view --follow without a window: what each look at a match's files (follow_files.h)
// does to the view (view_model.h). The finished games come in the order of the results file,
// then the games in progress; while the view follows, it goes on to the next game in progress
// as one ends. Beside the board: the standings of the finished games, the plot's series and
// a status line that says what is wrong with the files, if anything.
#pragma once

#include "records/live_game.h"
#include "view/follow_files.h"
#include "view/rating_history.h"
#include "view/view_model.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct FollowState {
    std::string results_path;
    std::optional<SprtSpec> sprt_option; // --sprt: the test of a file whose match had none
    bool has_match = false;
    LiveMatch match; // its match.json as last read: the field, the games planned, the SPRT
    std::set<int> finished_numbers;
    std::vector<int> skipped_lines;  // the results file's lines that are no results lines
    std::vector<int> repeated_games; // games whose results line came again, the first kept
    RatingHistory history;
    std::string standings;
    std::string status;
    std::string event; // what last happened to the game followed, for the status line
};

// A view of a match still to be read: no game yet, following.
ViewModel follow_view(const RuleSet* rules = nullptr);

// What an update changed, so that the window redraws that much.
struct FollowChanges {
    bool any = false;
    size_t first_game = 0;  // the entries of view.games from here on are new or changed
    bool standings = false; // the standings and the plot's series changed
};

// Brings the view up to what a look at the files found.
FollowChanges apply_follow_update(ViewModel& view, FollowState& follow, FollowUpdate update);

// The SPRT that the standings and the plot show: --sprt's, else the match's.
SprtSpec follow_sprt(const FollowState& follow);
