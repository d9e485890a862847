// fendrel-view --follow's model: where the view goes as games start, grow and end while it
// follows; a person stepping back, picking a game or moving the slider stops it, End on a game
// in progress and F start it again; a results file read anew; the standings and the status.
#include "view/follow_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// A game of `dots` dots along the top rows, numbered `number`, between two of the engines;
// finished (side 1 won on a full board) or still being played.
GameRecord game(int number, int dots, bool finished) {
    GameRecord record;
    record.game = number;
    record.side1 = number % 3 == 0 ? "alpha" : number % 3 == 1 ? "beta" : "gamma";
    record.side2 = number % 3 == 0 ? "beta" : number % 3 == 1 ? "gamma" : "alpha";
    for (int i = 0; i < dots; ++i)
        record.dots.push_back({i % 39, i / 39});
    record.move_ms.assign(static_cast<size_t>(dots), 10);
    record.increment_ms[0] = record.increment_ms[1] = 1000;
    if (finished) {
        record.winner = 1;
        record.reason = REASON_BOARD_FULL;
    }
    return record;
}

// A match as its files tell it, and the view that follows it.
struct Watcher {
    ViewModel view = follow_view();
    FollowState state;
    std::map<int, int> playing; // game: its dots
    std::vector<GameRecord> results;
    size_t told = 0; // results already in an update

    Watcher() { state.results_path = "match.jsonl"; }

    void look(bool restarted = false) {
        FollowUpdate update;
        update.restarted = restarted;
        update.live_folder = true;
        update.has_match = true;
        update.match = {{"alpha", "beta", "gamma"}, 6, {}};
        for (size_t i = restarted ? 0 : told; i < results.size(); ++i)
            update.finished.push_back(results[i]);
        told = results.size();
        for (const auto& [number, dots] : playing)
            update.in_progress.push_back({game(number, dots, false), ""});
        apply_follow_update(view, state, update);
    }
    void play(int number, int dots) {
        playing[number] = dots;
        look();
    }
    // The game's results line comes in and its file goes, in one look.
    void finish(int number) {
        results.push_back(game(number, playing[number] + 1, true));
        playing.erase(number);
        look();
    }
    int shown() const {
        return view.games.empty() ? -1 : view.games[static_cast<size_t>(view.game)].number;
    }
    int index_of(int number) const {
        for (size_t i = 0; i < view.games.size(); ++i)
            if (view.games[i].number == number)
                return static_cast<int>(i);
        return -1;
    }
};

TEST(FollowModel, FollowsAcrossGameEndsUntilAPersonStepsAwayAndAgainOnEndOrF) {
    Watcher w;
    const struct {
        const char* what;
        std::function<void(Watcher&)> step;
        int game;
        int move;
        bool following;
    } steps[] = {
        {"no game yet", [](Watcher& m) { m.look(); }, -1, 0, true},
        {"two games start: the lowest-numbered",
         [](Watcher& m) {
             m.playing = {{0, 5}, {1, 3}};
             m.look();
         },
         0, 5, true},
        {"its moves come", [](Watcher& m) { m.play(0, 8); }, 0, 8, true},
        {"another game starts: the view stays", [](Watcher& m) { m.play(2, 1); }, 0, 8, true},
        {"it ends: the next in progress", [](Watcher& m) { m.finish(0); }, 1, 3, true},
        {"Left steps back", [](Watcher& m) { press_view_key(m.view, ViewKey::back); }, 1, 2, false},
        {"its moves do not move the view", [](Watcher& m) { m.play(1, 6); }, 1, 2, false},
        {"Right to the last move is not following yet",
         [](Watcher& m) {
             for (int i = 0; i < 4; ++i)
                 press_view_key(m.view, ViewKey::forward);
         },
         1, 6, false},
        {"End on a game in progress follows it",
         [](Watcher& m) {
             press_view_key(m.view, ViewKey::back);
             press_view_key(m.view, ViewKey::end);
         },
         1, 6, true},
        {"the slider off the end stops", [](Watcher& m) { choose_move(m.view, 0); }, 1, 0, false},
        {"the game ends while looked at: it stays", [](Watcher& m) { m.finish(1); }, 1, 0, false},
        {"F follows the match", [](Watcher& m) { press_view_key(m.view, ViewKey::follow); }, 2, 1,
         true},
        {"a finished game picked in the list",
         [](Watcher& m) { choose_game(m.view, m.index_of(0)); }, 0, 9, false},
        {"End on a finished game does not follow",
         [](Watcher& m) { press_view_key(m.view, ViewKey::end); }, 0, 9, false},
        {"F again", [](Watcher& m) { press_view_key(m.view, ViewKey::follow); }, 2, 1, true},
        {"the last game ends: its end", [](Watcher& m) { m.finish(2); }, 2, 2, true},
        {"a game starts again", [](Watcher& m) { m.play(3, 2); }, 3, 2, true},
        {"another starts and the one followed is gone without a result",
         [](Watcher& m) {
             m.playing = {{4, 1}};
             m.look();
             EXPECT_NE(m.state.status.find("Game 3 is gone without a results line"),
                       std::string::npos)
                 << m.state.status;
         },
         4, 1, true},
        {"it comes back", [](Watcher& m) { m.play(3, 3); }, 4, 1, true},
        {"P twice: a finished game",
         [](Watcher& m) {
             press_view_key(m.view, ViewKey::previous_game);
             press_view_key(m.view, ViewKey::previous_game);
         },
         2, 2, false},
        {"the results file read anew without that game",
         [](Watcher& m) {
             m.results.resize(2);
             m.look(true);
         },
         3, 3, true},
    };
    for (const auto& step : steps) {
        step.step(w);
        EXPECT_EQ(w.shown(), step.game) << step.what;
        EXPECT_EQ(w.view.move, step.move) << step.what;
        EXPECT_EQ(w.view.following, step.following) << step.what;
        // The list: the finished games in their order, then those in progress.
        ASSERT_EQ(w.view.games.size(), w.results.size() + w.playing.size()) << step.what;
        for (size_t i = 0; i < w.view.games.size(); ++i)
            EXPECT_EQ(w.view.games[i].in_progress, i >= w.results.size()) << step.what;
    }
    EXPECT_NE(w.state.status.find("Game 2 is no longer in the files"), std::string::npos)
        << w.state.status;
    EXPECT_NE(w.state.status.find("Following the match"), std::string::npos) << w.state.status;
}

TEST(FollowModel, TextsOfAGameInProgressTheStandingsAndTheStatus) {
    Watcher w;
    w.playing = {{0, 3}, {1, 2}};
    w.look();
    ViewTexts texts = show_view(w.view);
    EXPECT_EQ(texts.title, "Fendrel view: game 0 at move 3, being played, following");
    EXPECT_EQ(w.view.games[0].label, "#0 alpha - beta: being played, move 3");
    EXPECT_NE(texts.game.find("Result: none yet, the game is being played"), std::string::npos)
        << texts.game;
    // Its clocks run forward from the increment: side 1 moved twice, side 2 once.
    EXPECT_EQ(texts.time, "Move 3 took 0:00.0; clocks: side 1 0:01.9, side 2 0:00.9");
    EXPECT_NE(w.state.standings.find("Games: 0 finished of 6, 2 in progress"), std::string::npos)
        << w.state.standings;
    EXPECT_EQ(w.state.status, "Following the match");

    w.finish(0);
    EXPECT_NE(w.state.status.find("Game 0 has ended: #0 alpha - beta: side 1 won (board full)"),
              std::string::npos)
        << w.state.status;
    // Three engines: the rating list, the one still without games named.
    for (const char* said :
         {"Games: 1 finished of 6, 1 in progress", "Ratings: 2 engines, 1 game", "No games: gamma"})
        EXPECT_NE(w.state.standings.find(said), std::string::npos) << said << w.state.standings;
    EXPECT_EQ(w.state.history.series().lines.size(), 3u);
    press_view_key(w.view, ViewKey::start);
    w.look();
    EXPECT_EQ(show_view(w.view).title, "Fendrel view: game 1 at move 0, being played");
    EXPECT_NE(w.state.status.find("Not following: End on a game in progress, or F"),
              std::string::npos)
        << w.state.status;

    // What the files say is wrong, each named.
    FollowUpdate update;
    update.skipped_lines = {4, 9};
    update.unfinished_line = true;
    update.results_problem = "match.jsonl is gone; waiting for it to come back";
    update.live_problems = {"match.jsonl.live/match.json is not a match's"};
    update.in_progress = {
        {game(1, 2, false), "match.jsonl.live/game-1.jsonl: line 4 is not a move"}};
    update.finished = {game(0, 2, true)};
    apply_follow_update(w.view, w.state, update);
    for (const char* said :
         {"match.jsonl is gone", "without its line feed",
          "2 lines are no results lines and are left out: 4, 9",
          "1 line repeats a game it has, and is left out: game 0",
          "No game in progress: match.jsonl.live is not there", "match.json is not a match's",
          "game-1.jsonl: line 4 is not a move; shown up to the line before"})
        EXPECT_NE(w.state.status.find(said), std::string::npos) << said << "\n" << w.state.status;
    // The finished games are kept while their file is away.
    EXPECT_EQ(w.view.file.records.size(), 1u);
    // Lines once skipped are named once, not again with each look.
    update.skipped_lines = {};
    update.finished = {};
    apply_follow_update(w.view, w.state, update);
    EXPECT_EQ(w.state.skipped_lines, (std::vector<int>{4, 9}));
}

} // namespace
