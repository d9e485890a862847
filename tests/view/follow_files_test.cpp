// Reading a match's files while they are written: the results file growing a line at a time,
// cut mid-line, holding garbage, deleted and written again, rewritten in place or replaced;
// the folder of games in progress as its files come, grow, break and go.
#include "records/live_game.h"
#include "view/follow_files.h"
#include "view_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

std::string line_of(int game) {
    GameRecord record;
    record.game = game;
    record.side1 = "a";
    record.side2 = "b";
    record.reason = REASON_BOARD_FULL;
    return record_to_json(record) + "\n";
}

void write(const std::string& path, const std::string& text, bool append = true) {
    std::ofstream(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc)) << text;
}

TEST(FollowFiles, AResultsFileAsItGrowsBreaksAndComesBack) {
    const ScratchFolder folder("follow-results");
    const std::string path = folder.path + "/match.jsonl";
    FollowReader reader(path);
    const std::string second = line_of(1);
    const struct {
        const char* what;
        std::function<void()> change;
        std::vector<int> games; // the games read by this look
        bool restarted;
        std::vector<int> skipped;
        bool unfinished;
        const char* problem;
    } steps[] = {
        {"not there yet", [] {}, {}, false, {}, false, "does not exist yet"},
        {"a line", [&] { write(path, line_of(0)); }, {0}, false, {}, false, ""},
        {"half a line", [&] { write(path, second.substr(0, 30)); }, {}, false, {}, true, ""},
        {"nothing more", [] {}, {}, false, {}, true, ""},
        {"the rest, garbage and an empty line",
         [&] { write(path, second.substr(30) + "not a result\n\n{\"game\":2}\n"); },
         {1},
         false,
         {3, 5},
         false,
         ""},
        {"garbage is named once", [] {}, {}, false, {}, false, ""},
        {"deleted", [&] { std::filesystem::remove(path); }, {}, false, {}, false, "is gone"},
        {"written again", [&] { write(path, line_of(0)); }, {0}, true, {}, false, ""},
        {"rewritten in place, longer",
         [&] { write(path, line_of(7) + line_of(8), false); },
         {7, 8},
         true,
         {},
         false,
         ""},
        {"cut shorter", [&] { write(path, line_of(9), false); }, {9}, true, {}, false, ""},
        {"another file put in its place",
         [&] {
             write(path + ".new", line_of(9) + line_of(10), false);
             std::filesystem::rename(path + ".new", path);
         },
         {9, 10},
         true,
         {},
         false,
         ""},
        {"grows again", [&] { write(path, line_of(11)); }, {11}, false, {}, false, ""},
    };
    for (const auto& step : steps) {
        step.change();
        const FollowUpdate update = reader.poll();
        std::vector<int> games;
        for (const GameRecord& record : update.finished)
            games.push_back(record.game);
        EXPECT_EQ(games, step.games) << step.what;
        EXPECT_EQ(update.restarted, step.restarted) << step.what;
        EXPECT_EQ(update.skipped_lines, step.skipped) << step.what;
        EXPECT_EQ(update.unfinished_line, step.unfinished) << step.what;
        EXPECT_NE(update.results_problem.find(step.problem), std::string::npos)
            << step.what << ": " << update.results_problem;
        EXPECT_EQ(update.results_problem.empty(), *step.problem == '\0') << step.what;
    }
}

TEST(FollowFiles, TheGamesInProgressAsTheirFilesComeGrowAndGo) {
    const ScratchFolder folder("follow-live");
    const std::string path = folder.path + "/match.jsonl";
    const std::string live = live_directory(path);
    FollowReader reader(path);
    GameRecord before;
    before.side1 = "a";
    before.side2 = "b";
    before.dots = {{19, 15}, {20, 15}};
    before.opening_dots = 2;
    before.game = 3;
    const std::string header = live_header_line(before);
    before.game = 1;
    const std::string other_header = live_header_line(before);
    const std::string move = live_move_line({1, 1}, false, 0, 20);
    const std::string game3 = live_game_path(path, 3);
    const struct {
        const char* what;
        std::function<void()> change;
        bool folder;
        std::vector<std::pair<int, size_t>> games; // each game in progress and its dots
        const char* problem;
    } steps[] = {
        {"no folder", [] {}, false, {}, ""},
        {"the match starts",
         [&] {
             std::filesystem::create_directory(live);
             write(live_match_path(path), live_match_text({{"a", "b"}, 4, {}}));
             write(live + "/notes.txt", "not a game");
             write(live + "/game-x.jsonl", header);
         },
         true,
         {},
         ""},
        {"a game's file, empty", [&] { write(game3, ""); }, true, {}, ""},
        {"its first line cut short", [&] { write(game3, header.substr(0, 20)); }, true, {}, ""},
        {"its first line whole", [&] { write(game3, header.substr(20)); }, true, {{3, 2}}, ""},
        {"two moves and half a line",
         [&] { write(game3, move + move + move.substr(0, 5)); },
         true,
         {{3, 4}},
         ""},
        {"the rest, and a line that is no move",
         [&] { write(game3, move.substr(5) + "{\"dot\":\"x\"}\n" + move); },
         true,
         {{3, 5}},
         "game-3.jsonl: line 5 is not a move"},
        {"another game, of a lower number",
         [&] { write(live_game_path(path, 1), other_header); },
         true,
         {{1, 2}, {3, 5}},
         "line 5"},
        {"one ends", [&] { std::filesystem::remove(game3); }, true, {{1, 2}}, ""},
        {"a file that is no game's",
         [&] { write(live_game_path(path, 5), "garbage\n"); },
         true,
         {{1, 2}},
         "game-5.jsonl: its first line is not a game's record"},
        {"the folder goes", [&] { std::filesystem::remove_all(live); }, false, {}, ""},
        {"and comes back",
         [&] {
             std::filesystem::create_directory(live);
             write(live_match_path(path), live_match_text({{"a", "b"}, 4, {}}));
             write(game3, header);
         },
         true,
         {{3, 2}},
         ""},
    };
    for (const auto& step : steps) {
        step.change();
        const FollowUpdate update = reader.poll();
        EXPECT_EQ(update.live_folder, step.folder) << step.what;
        std::vector<std::pair<int, size_t>> games;
        std::string problems;
        for (const LiveGame& game : update.in_progress) {
            games.emplace_back(game.record.game, game.record.dots.size());
            problems += game.problem;
        }
        for (const std::string& problem : update.live_problems)
            problems += problem;
        EXPECT_EQ(games, step.games) << step.what;
        EXPECT_NE(problems.find(step.problem), std::string::npos) << step.what << ": " << problems;
        EXPECT_EQ(problems.empty(), *step.problem == '\0') << step.what << ": " << problems;
        EXPECT_EQ(update.has_match, step.folder) << step.what;
    }
}

} // namespace
