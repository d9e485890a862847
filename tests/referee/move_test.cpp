// Move handling: refusals, the score text, out-of-turn lines, an engine's exit, and clicks.
#include "board_diagram.h"
#include "engine/engine_events.h"
#include "fake_window.h"
#include "recording_engines.h"
#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/move.h"
#include "referee_fixture.h"
#include "rules/rule_set.h"
#include "ui/click.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace {

using MoveTest = RefereeTest;

// Everything a refused move must leave as it was.
struct GameSnapshot {
    std::vector<int32_t> owner;
    std::vector<int32_t> enclosed;
    int32_t side, balance, last;
    uint32_t clock1, clock2, turn_start;

    static GameSnapshot take() {
        GameSnapshot s;
        s.owner = game_board.cell_owner;
        s.enclosed = game_board.cell_enclosed;
        s.side = game_board.side_to_move;
        s.balance = game_board.score;
        s.last = game_board.last_move_cell;
        s.clock1 = side1_clock_ms;
        s.clock2 = side2_clock_ms;
        s.turn_start = turn_start_tick;
        return s;
    }
    bool operator==(const GameSnapshot& o) const {
        return owner == o.owner && enclosed == o.enclosed && side == o.side &&
               balance == o.balance && last == o.last && clock1 == o.clock1 && clock2 == o.clock2 &&
               turn_start == o.turn_start;
    }
};

TEST_F(MoveTest, RefusedMovesChangeNothingAndSendNothing) {
    start_at(0);
    engine_moves_at(100, engine1, 10, 10);
    // An enclosed empty cell, for the list below.
    game_board.cell_enclosed[cell_index(game_board, 30, 30)] = 1;
    const struct {
        int32_t x, y;
        Refusal why;
    } refused[] = {
        {10, 10, Refusal::occupied},
        {30, 30, Refusal::enclosed},
        {-1, 3, Refusal::border}, // left border
        {39, 3, Refusal::border}, // right border
        {0, 32, Refusal::border}, // past the last row
        {0, -1, Refusal::border}, // before the first row
        {INT32_MIN, INT32_MAX, Refusal::border},
    };
    for (const auto& [x, y, why] : refused) {
        fake_window::clear_events();
        recording_engines::clear_writes();
        const GameSnapshot before = GameSnapshot::take();
        const MoveResult result = play_move(x, y);
        EXPECT_EQ(result.refusal, why) << x << "," << y;
        EXPECT_FALSE(result.game_over);
        EXPECT_TRUE(GameSnapshot::take() == before) << x << "," << y;
        // The box is for whoever brought the move, outside the window's part.
        EXPECT_TRUE(fake_window::events().empty());
        show_move_result(result);
        EXPECT_EQ(fake_window::events(), std::vector<std::string>{"box error: illegal move!"});
        EXPECT_TRUE(writes(engine1).empty());
        EXPECT_TRUE(writes(engine2).empty());
        EXPECT_TRUE(fake_window::timer_armed()); // side 2's clock keeps running
    }
}

// The report of one line, as text: "side outcome refusal ends tick".
std::string report_text(const LineReport& report) {
    const char* outcomes[] = {"name", "message", "applied", "grounded", "refused", "ended"};
    const char* refusals[] = {"-",      "occupied",    "enclosed",   "suicide",
                              "border", "out-of-turn", "unparsable", "game-over"};
    return std::to_string(report.side) + " " + outcomes[static_cast<int>(report.outcome)] + " " +
           refusals[static_cast<int>(report.refusal)] + (report.ends_game ? " ends " : " ") +
           std::to_string(report.tick);
}

std::vector<std::string> reports_made() {
    std::vector<std::string> texts;
    for (const LineReport& report : fake_window::reports())
        texts.push_back(report_text(report));
    return texts;
}

TEST_F(MoveTest, EveryEngineLineIsReportedWithWhatItDid) {
    start_at(0);
    fake_window::clear_events();
    fake_window::set_tick(5);
    engine_named(engine1, "One");
    engine_said(engine2, "thinking");
    engine_moves_at(10, engine1, 3, 3); // applied
    engine_moves_at(20, engine2, 3, 3); // occupied
    engine_moves_at(30, engine1, 4, 4); // side 2 is to move
    fake_window::set_tick(40);
    engine_sent_bad_move(engine2, "move 4");
    // Every cell but one taken: the move there ends the game, and every later one is late.
    for (int32_t i = game_board.first_cell; i < game_board.end_cell; ++i)
        if (game_board.cell_owner[i] == CELL_EMPTY)
            game_board.cell_owner[i] = 1;
    game_board.cell_owner[cell_index(game_board, 0, 0)] = CELL_EMPTY;
    engine_moves_at(50, engine2, 0, 0);
    engine_moves_at(60, engine1, 5, 5);
    fake_window::set_tick(70);
    engine_output_ended(engine1);
    EXPECT_EQ(reports_made(),
              (std::vector<std::string>{"1 name - 5", "2 message - 5", "1 applied - 10",
                                        "2 refused occupied 20", "1 refused out-of-turn 30",
                                        "2 refused unparsable 40", "2 applied - ends 50",
                                        "1 refused game-over 60", "1 ended - 70"}));
}

// "ground" is a move under rules that have grounding: the engines are told the rules, only
// the side to move may ground, its clock is charged, and the game ends. Under fendrel it is a
// message like any other.
TEST_F(MoveTest, GroundIsAMoveOnlyUnderRulesThatHaveIt) {
    start_at(0);
    fake_window::clear_events();
    engine_said(engine1, "ground");
    EXPECT_EQ(reports_made(), std::vector<std::string>{"1 message - 0"});
    EXPECT_EQ(game_board.grounded, 0);

    fresh_game(true, true);
    RuleSet standard;
    standard.kind = RuleKind::standard;
    reset_rules_state(game_board, 9, 7, standard);
    start_at(0);
    EXPECT_EQ(writes(engine1),
              (std::vector<std::string>{"new 7 9\n", "rules standard\n", "increment 10000\n",
                                        "time 10000\notime 0\ngo\n"}));
    fake_window::clear_events();
    recording_engines::clear_writes();
    fake_window::set_tick(5);
    engine_said(engine2, "ground"); // side 1 is to move
    engine_moves_at(10, engine1, 4, 3);
    fake_window::set_tick(2510);
    engine_said(engine2, "ground");
    engine_moves_at(2600, engine1, 5, 5);
    EXPECT_EQ(reports_made(),
              (std::vector<std::string>{"2 refused out-of-turn 5", "1 applied - 10",
                                        "2 grounded - ends 2510", "1 refused game-over 2600"}));
    EXPECT_EQ(game_board.grounded, 2);
    EXPECT_EQ(side2_clock_ms, 7500u); // 10 s credited, 2.5 s charged
    EXPECT_EQ(board_full(game_board), 1);
    // The grounding ends the game: nothing is relayed, and its box is shown.
    EXPECT_EQ(writes(engine1), (std::vector<std::string>{}));
    EXPECT_EQ(writes(engine2),
              (std::vector<std::string>{"move 4 3\ntime 10000\notime 9990\ngo\n"}));
    EXPECT_NE(std::find(fake_window::events().begin(), fake_window::events().end(),
                        "box Сообщение: Игра окончена"),
              fake_window::events().end());
}

// Each rule set refuses what it refuses, and takes what the other refuses: a dot in an
// empty ring (enclosed under fendrel; under the standard rules a move, the dot captured at
// once, or refused as a suicide with suicide=off), and an empty point of a base.
TEST_F(MoveTest, EachRuleSetRefusesWhatItRefuses) {
    const std::vector<std::pair<int32_t, int32_t>> empty_ring = {{1, 0}, {4, 4}, {0, 1}, {4, 3},
                                                                 {2, 1}, {4, 2}, {1, 2}};
    const std::vector<std::pair<int32_t, int32_t>> base = {
        {1, 0}, {1, 1}, {2, 0}, {4, 4}, {0, 1}, {4, 3}, {3, 1}, {4, 2}, {1, 2}, {4, 0}, {2, 2}};
    const struct {
        const char* rules;
        const std::vector<std::pair<int32_t, int32_t>>& setup;
        int32_t x, y;
        Refusal refusal;
    } cases[] = {
        {"fendrel", empty_ring, 1, 1, Refusal::enclosed},
        {"standard", empty_ring, 1, 1, Refusal::none},
        {"standard,suicide=off", empty_ring, 1, 1, Refusal::suicide},
        {"standard,empty-bases=capture", empty_ring, 1, 1, Refusal::enclosed},
        {"standard", base, 2, 1, Refusal::enclosed},
        {"fendrel", base, 2, 1, Refusal::enclosed},
    };
    for (const auto& c : cases) {
        fresh_game(true, true);
        RuleSet rules;
        std::string error;
        ASSERT_TRUE(parse_rule_set(c.rules, rules, error)) << error;
        reset_rules_state(game_board, 5, 5, rules);
        start_at(0);
        for (const auto& [x, y] : c.setup)
            play(game_board, x, y);
        const MoveResult result = play_move(c.x, c.y);
        EXPECT_EQ(result.refusal, c.refusal) << c.rules << " " << c.x << "," << c.y;
    }
}

TEST_F(MoveTest, MoveLineFromTheEngineNotToMoveIsRefused) {
    start_at(0);
    recording_engines::clear_writes();
    fake_window::clear_events();
    const GameSnapshot before = GameSnapshot::take();
    engine_moves_at(50, engine2, 3, 3); // side 1 is to move
    EXPECT_TRUE(GameSnapshot::take() == before);
    EXPECT_EQ(fake_window::events(), std::vector<std::string>{"box error: illegal move!"});
    EXPECT_TRUE(writes(engine1).empty());
    EXPECT_TRUE(writes(engine2).empty());

    engine_sent_bad_move(engine1, "move");
    EXPECT_EQ(fake_window::events().back(), "box error: illegal move!");
    EXPECT_TRUE(GameSnapshot::take() == before);
}

TEST_F(MoveTest, ScorePartShowsSideOnesBalanceAfterEveryMove) {
    fresh_game(false, false);
    start_at(0);
    EXPECT_EQ(fake_window::status_text(4), "");
    make_move(20, 20);
    EXPECT_EQ(fake_window::status_text(4), "0");
    // Side 2 encloses side 1's dot (20, 20): a diamond of four.
    make_move(20, 19);
    make_move(0, 0);
    make_move(19, 20);
    make_move(2, 0);
    make_move(21, 20);
    make_move(4, 0);
    make_move(20, 21);
    EXPECT_EQ(fake_window::status_text(4), "-1");
    // The balance is side 1's whichever side moved last.
    make_move(6, 0);
    EXPECT_EQ(fake_window::status_text(4), "-1");

    game_board.side_to_move = 1;
    game_board.score = -3;
    make_move(10, 10);
    EXPECT_EQ(fake_window::status_text(4), "-3");
    game_board.score = -2; // side 2 to move, side 2 behind by 2
    make_move(12, 12);
    EXPECT_EQ(fake_window::status_text(4), "2");
}

TEST_F(MoveTest, RelayedMoveCarriesTheNumbersAsReceived) {
    start_at(0);
    // Both name the cell (2, 0); the second far outside the board in both numbers.
    engine_moves_at(10, engine1, INT32_MIN, 52377650);
    EXPECT_EQ(writes(engine2).at(2), "move -2147483648 52377650\ntime 10000\notime 9990\ngo\n");
    engine_moves_at(10, engine2, 41, 0); // the cell (0, 1)
    EXPECT_EQ(writes(engine1).at(3), "move 41 0\ntime 19990\notime 10000\ngo\n");
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 2, 0)], 1);
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 0, 1)], 2);
}

TEST_F(MoveTest, EngineThatExitsPassesItsSideToTheMouse) {
    start_at(0);
    handle_click(110, 110); // side 1 belongs to a running engine
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 5, 5)], CELL_EMPTY);

    engine_output_ended(engine1);
    EXPECT_EQ(engine1.running, 0);
    EXPECT_EQ(fake_window::status_text(5), "Engine1.exe exited");
    handle_click(110, 110);
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 5, 5)], 1);

    // An engine told to quit is expected to end: nothing is shown for it.
    fake_window::clear_events();
    engine2.quit_engine();
    engine_output_ended(engine2);
    EXPECT_TRUE(fake_window::events().empty());
}

TEST_F(MoveTest, NothingWaitsOnAClosedWindow) {
    start_at(0);
    fake_window::close();
    const GameSnapshot before = GameSnapshot::take();
    engine_moved(engine1, 4, 4);
    engine_sent_bad_move(engine1, "move");
    engine_output_ended(engine1);
    EXPECT_TRUE(GameSnapshot::take() == before);
    EXPECT_EQ(engine1.running, 1);
}

TEST(ClickMapping, PixelsToBoardPoints) {
    struct Case {
        int32_t px, py, x, y;
    } cases[] = {
        {0, 0, 0, 0},       {29, 29, 0, 0},   {30, 30, 1, 1},
        {9, 9, 0, 0},       {49, 49, 1, 1},   {770, 650, 38, 32},
        {789, 649, 38, 31}, {790, 10, 39, 0}, {809, 669, 39, 32},
    };
    for (const auto& c : cases) {
        const BoardPoint p = cell_from_point(c.px, c.py);
        EXPECT_EQ(p.x, c.x) << c.px;
        EXPECT_EQ(p.y, c.y) << c.py;
    }
}

TEST_F(MoveTest, ClicksPlayOnlyForSidesWithoutARunningEngine) {
    fresh_game(true, false);
    start_at(0);
    handle_click(30, 30); // side 1's engine runs: ignored, nothing shown
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 1, 1)], CELL_EMPTY);
    EXPECT_TRUE(fake_window::events().size() == 2); // only the two placeholders
    engine_moves_at(0, engine1, 5, 5);
    handle_click(30, 30); // side 2 has no engine: played, relayed to engine1
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 1, 1)], 2);
    EXPECT_EQ(writes(engine1).at(3), "move 1 1\ntime 20000\notime 10000\ngo\n");
    const size_t events_before = fake_window::events().size();
    handle_click(790, 30); // side 1 to move and its engine runs: ignored, even off the board
    EXPECT_EQ(fake_window::events().size(), events_before);

    // With no engine at all, clicks alternate the sides; a double click is refused.
    fresh_game(false, false);
    start_at(0);
    handle_click(50, 50);
    handle_click(50, 50);
    EXPECT_EQ(fake_window::events().back(), "box error: illegal move!");
    handle_click(70, 50);
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 2, 2)], 1);
    EXPECT_EQ(game_board.cell_owner[cell_index(game_board, 3, 2)], 2);
    handle_click(790, 30); // the right border column: refused by the move handling
    EXPECT_EQ(fake_window::events().back(), "box error: illegal move!");
}

} // namespace
