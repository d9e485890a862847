// fendrel-view's model: where each key takes it at the edges of a game and of the file, a
// game cut short, a game of another board, the texts of a results file's game, and files
// that cannot be opened.
#include "view/game_clocks.h"
#include "view/view_model.h"
#include "view_files.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using enum ViewKey;

struct KeyCase {
    int game; // the index of the game to start at
    int move; // and its move
    std::vector<ViewKey> keys;
    int expected_game;
    int expected_move;
};

TEST(ViewModel, KeysAtTheEdgesOfGamesAndOfTheFile) {
    ViewModel view;
    std::string error;
    const ScratchFolder folder("view-keys");
    ASSERT_TRUE(open_view(write_sgf_file(folder.path), WHOLE, WHOLE, view, error)) << error;
    ASSERT_EQ(view.games.size(), 4u);
    const KeyCase cases[] = {
        {1, 0, {back}, 1, 0},
        {1, 1, {back}, 1, 0},
        {1, 23, {forward}, 1, 23},
        {1, 22, {forward}, 1, 23},
        {1, 5, {back_ten}, 1, 0},
        {1, 15, {back_ten}, 1, 5},
        {1, 18, {forward_ten}, 1, 23},
        {1, 3, {forward_ten}, 1, 13},
        {1, 7, {start}, 1, 0},
        {1, 7, {end}, 1, 23},
        {1, 7, {forward, forward, back}, 1, 8},
        // Another game is shown at its end; past the first or last game nothing changes
        // but the move.
        {0, 1, {next_game}, 1, 23},
        {1, 4, {previous_game}, 0, 3},
        {0, 1, {previous_game}, 0, 3},
        {3, 2, {next_game}, 3, 7},
        // The game cut short goes no further than the move before the refused one.
        {3, 0, {end}, 3, 7},
        {3, 5, {forward_ten}, 3, 7},
        {3, 7, {forward}, 3, 7},
        // A game of another board has no move to go to, and the keys still leave it.
        {1, 0, {next_game}, 2, 0},
        {1, 0, {next_game, forward, end}, 2, 0},
        {1, 0, {next_game, next_game}, 3, 7},
    };
    for (const KeyCase& key_case : cases) {
        pick_game(view, key_case.game);
        go_to_move(view, key_case.move);
        for (const ViewKey key : key_case.keys)
            press_view_key(view, key);
        EXPECT_EQ(view.game, key_case.expected_game)
            << "from game " << key_case.game << " move " << key_case.move;
        EXPECT_EQ(view.move, key_case.expected_move)
            << "from game " << key_case.game << " move " << key_case.move;
    }
}

TEST(ViewModel, OpensAtTheGameAndMoveAskedForOrTheLastGamesEnd) {
    const ScratchFolder sgf_folder("view-open");
    const std::string path = write_sgf_file(sgf_folder.path);
    ViewModel view;
    std::string error;
    ASSERT_TRUE(open_view(path, WHOLE, WHOLE, view, error)) << error;
    EXPECT_EQ(view.game, 3);
    EXPECT_EQ(view.move, 7);
    ASSERT_TRUE(open_view(path, 1, 6, view, error)) << error;
    EXPECT_EQ(view.game, 1);
    EXPECT_EQ(view.move, 6);
    const ScratchFolder results_folder("view-open-results");
    ASSERT_TRUE(open_view(write_results_file(results_folder.path), 4, 0, view, error)) << error;
    EXPECT_EQ(view.game, 0);
    EXPECT_EQ(view.move, 0);
    EXPECT_EQ(view.last_move, 6);
}

TEST(ViewModel, TextsOfAGameCutShortAndOfAnotherBoard) {
    ViewModel view;
    std::string error;
    const ScratchFolder folder("view-cut");
    ASSERT_TRUE(open_view(write_sgf_file(folder.path), 3, 2, view, error)) << error;
    ViewTexts texts = show_view(view);
    EXPECT_EQ(texts.move, "Move 2 of 9, side 1 to move, captured dots: side 1 0");
    EXPECT_NE(texts.notes.find("move 8 W[bb] refused"), std::string::npos) << texts.notes;
    EXPECT_TRUE(texts.time.empty());
    EXPECT_NE(texts.game.find("east"), std::string::npos) << texts.game;
    press_view_key(view, end);
    texts = show_view(view);
    EXPECT_EQ(texts.move, "Move 7 of 9, side 2 to move, captured dots: side 1 0");
    EXPECT_EQ(view.games[3].label, "#3 east - west: no result");
    EXPECT_EQ(view.games[0].label, "#0 first - second: B+R (resign)");

    press_view_key(view, previous_game);
    texts = show_view(view);
    EXPECT_TRUE(texts.move.empty());
    EXPECT_NE(texts.notes.find("70"), std::string::npos) << texts.notes;
}

TEST(ViewModel, MoveTimesAndClocksOfAResultsFile) {
    ViewModel view;
    std::string error;
    const ScratchFolder folder("view-clocks");
    ASSERT_TRUE(open_view(write_results_file(folder.path), 4, 0, view, error)) << error;
    EXPECT_EQ(view.games[0].label, "#4 north - south: side 1 won (board full)");
    const char* expected[] = {
        "Before the first move; clocks: side 1 0:00.0, side 2 0:00.0",
        "Move 1: the opening's; clocks: side 1 0:00.0, side 2 0:00.0",
        "Move 2: the opening's; clocks: side 1 0:00.0, side 2 0:00.0",
        "Move 3 took 0:00.3; clocks: side 1 0:00.7, side 2 0:00.0",
        "Move 4 took 0:00.4; clocks: side 1 0:00.7, side 2 0:00.6",
        "Move 5 took 0:00.2; clocks: side 1 0:01.5, side 2 0:00.6",
        "Move 6 took 0:02.5; clocks: side 1 0:01.5, side 2 0:00.0",
    };
    for (const char* line : expected) {
        EXPECT_EQ(show_view(view).time, line);
        press_view_key(view, forward);
    }
    press_view_key(view, next_game);
    go_to_move(view, 3);
    EXPECT_EQ(show_view(view).time,
              "Move 3 took 0:00.3; clocks at the end of the game: side 1 0:12.3, side 2 0:00.0 "
              "(the times of the moves do not add up)");
    press_view_key(view, next_game);
    go_to_move(view, 5);
    EXPECT_EQ(show_view(view).time, expected[5]);

    // Time odds, which the record keeps as each side's increment, and a grounding, whose time
    // is the last move's.
    GameRecord odds;
    odds.dots = {{0, 0}, {5, 5}, {1, 0}};
    odds.grounded = 2;
    odds.increment_ms[0] = 1000;
    odds.increment_ms[1] = 300;
    odds.move_ms = {400, 100, 700, 250};
    odds.clock_ms[0] = 900;
    odds.clock_ms[1] = 250;
    uint32_t clocks[2];
    ASSERT_TRUE(clocks_after(odds, 2, clocks));
    EXPECT_EQ(clocks[0], 600u);
    EXPECT_EQ(clocks[1], 200u);
    ASSERT_TRUE(clocks_after(odds, 4, clocks));
    EXPECT_EQ(clocks[0], 900u);
    EXPECT_EQ(clocks[1], 250u);
}

TEST(ViewModel, TimesAnOlderMatchRecordedBelowZeroAreUnknownAndTheClocksAreRebuilt) {
    // A game of two instant engines as fendrel-match recorded it before a move's time was its
    // clock's charge: move 66 (side 2) and move 991 (side 1) were written as -1 ms, unsigned.
    ViewModel view;
    std::string error;
    ASSERT_TRUE(open_view(MATCH_FIXTURES "/wrapped_times.jsonl", 52, 66, view, error)) << error;
    const GameRecord& record = view.file.records.at(0);
    ASSERT_EQ(record.move_ms.at(65), 4294967295u);
    ASSERT_EQ(record.move_ms.at(990), 4294967295u);
    EXPECT_EQ(show_view(view).time, "Move 66 took an unknown time; clocks: side 1 5:29.9, side 2 "
                                    "5:30.0");
    go_to_move(view, 991);
    EXPECT_EQ(show_view(view).time,
              "Move 991 took an unknown time; clocks: side 1 82:39.9, side 2 82:29.9");
    // Every clock of the game is rebuilt, at most the increments credited, and the clocks at
    // the end are the recorded ones.
    for (int move = 0; move <= static_cast<int>(record.dots.size()); ++move) {
        uint32_t clocks[2];
        ASSERT_TRUE(clocks_after(record, move, clocks)) << move;
        EXPECT_LE(clocks[0], 10000u * static_cast<uint32_t>((move + 1) / 2)) << move;
        EXPECT_LE(clocks[1], 10000u * static_cast<uint32_t>(move / 2)) << move;
    }
    uint32_t clocks[2];
    ASSERT_TRUE(clocks_after(record, static_cast<int>(record.dots.size()), clocks));
    EXPECT_EQ(clocks[0], record.clock_ms[0]);
    EXPECT_EQ(clocks[1], record.clock_ms[1]);
    EXPECT_FALSE(move_time_known(record.move_ms[65]));
    EXPECT_TRUE(move_time_known(3000000));
}

TEST(ViewModel, FilesThatCannotBeShownSayWhy) {
    const ScratchFolder scratch("view-unreadable");
    const std::string& folder = scratch.path;
    const std::string sgf = write_sgf_file(folder);
    struct Case {
        std::string path;
        int game, move;
        std::string said;
    };
    const Case cases[] = {
        {folder + "/missing.sgf", WHOLE, WHOLE, "cannot read"},
        {folder, WHOLE, WHOLE, "no game in"},
        {sgf, 9, WHOLE, "no game 9"},
        {sgf, 1, 24, "no move 24"},
        {sgf, 2, WHOLE, "70"},
        {write_results_file(folder), 5, WHOLE, "no game 5"},
    };
    for (const Case& file : cases) {
        ViewModel view;
        std::string error;
        EXPECT_FALSE(open_view(file.path, file.game, file.move, view, error)) << file.path;
        EXPECT_NE(error.find(file.said), std::string::npos) << error;
    }
}

} // namespace
