// A game as the engines see it: the opening exchange, the end of the game, and moves
// arriving from several threads at once.
#include "board_diagram.h"
#include "engine/engine_events.h"
#include "fake_window.h"
#include "recording_engines.h"
#include "referee/clock.h"
#include "referee/game_board.h"
#include "referee/move.h"
#include "referee/window.h"
#include "referee_fixture.h"
#include "ui/click.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

namespace {

using GameFlowTest = RefereeTest;
using Writes = std::vector<std::string>;

TEST_F(GameFlowTest, OpeningExchangeAndTwoRelayedMoves) {
    start_at(1000);
    EXPECT_EQ(recording_engines::all_writes(),
              (Writes{"2:new 32 39\n", "2:increment 10000\n", "1:new 32 39\n",
                      "1:increment 10000\n", "1:time 10000\notime 0\ngo\n"}));
    recording_engines::clear_writes();

    engine_moves_at(1000 + 1500, engine1, 19, 15);
    EXPECT_EQ(recording_engines::all_writes(),
              (Writes{"2:move 19 15\ntime 10000\notime 8500\ngo\n"}));
    EXPECT_EQ(game_board.cell_owner[15 * 41 + 42 + 19], 1);
    recording_engines::clear_writes();

    engine_moves_at(2500 + 2000, engine2, 20, 15);
    EXPECT_EQ(recording_engines::all_writes(),
              (Writes{"1:move 20 15\ntime 18500\notime 8000\ngo\n"}));
}

TEST_F(GameFlowTest, MissingEngineGetsNothingButItsClockStillRuns) {
    fresh_game(true, false);
    start_at(0);
    engine_moves_at(1500, engine1, 19, 15);
    EXPECT_EQ(writes(engine2), Writes{});
    EXPECT_EQ(side2_clock_ms, 10000u);
    EXPECT_EQ(fake_window::status_text(3), "0:10");
    fake_window::set_tick(1500 + 4000);
    handle_click(20 + 20 * 20, 20 + 20 * 15);
    EXPECT_EQ(side2_clock_ms, 6000u);
    EXPECT_EQ(writes(engine1).back(), "move 20 15\ntime 18500\notime 6000\ngo\n");
}

// Fills every playable cell but the given ones with dots of both sides, in stripes.
void fill_board_except(std::initializer_list<std::pair<int32_t, int32_t>> free_points) {
    for (int32_t y = 0; y < game_board.board_rows; ++y)
        for (int32_t x = 0; x < game_board.board_cols; ++x)
            game_board.cell_owner[cell_index(game_board, x, y)] = 1 + (y / 2) % 2;
    for (auto [x, y] : free_points)
        game_board.cell_owner[cell_index(game_board, x, y)] = CELL_EMPTY;
}

TEST_F(GameFlowTest, MoveIntoTheLastFreeCellEndsTheGame) {
    start_at(0);
    fill_board_except({{0, 31}, {38, 31}});
    engine_moves_at(10, engine1, 0, 31);
    recording_engines::clear_writes();
    fake_window::clear_events();

    engine_moves_at(20, engine2, 38, 31);
    const Writes events = fake_window::events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], "stop_timer");
    EXPECT_EQ(events[1].rfind("status 4 ", 0), 0u);
    EXPECT_EQ(events[2], "repaint");
    EXPECT_EQ(events[3], "box Сообщение: Игра окончена");
    EXPECT_EQ(recording_engines::all_writes(), Writes{});
    EXPECT_FALSE(fake_window::timer_armed());

    fake_window::clear_events();
    engine_moves_at(30, engine1, 5, 5);
    EXPECT_EQ(fake_window::events(), Writes{"box error: illegal move!"});
    EXPECT_EQ(recording_engines::all_writes(), Writes{});
}

TEST_F(GameFlowTest, GameEndsWhenOnlyEnclosedCellsAreLeft) {
    start_at(0);
    fill_board_except({{10, 10}, {38, 31}});
    game_board.cell_enclosed[cell_index(game_board, 10, 10)] = 1;
    fake_window::clear_events();
    engine_moves_at(10, engine1, 38, 31);
    EXPECT_EQ(fake_window::events().back(), "box Сообщение: Игра окончена");
    EXPECT_FALSE(fake_window::timer_armed());
}

// Runs a function as the window's thread would: under the window's exclusion.
template <class F> void on_window_thread(F f) {
    window_run_and_wait([](void* context) { (*static_cast<F*>(context))(); }, &f);
}

TEST_F(GameFlowTest, MovesFromAReaderAndClicksAtOnceAreAppliedWhole) {
    fresh_game(true, false);
    start_at(0);
    std::atomic<bool> done{false};
    std::thread reader([&] {
        std::mt19937 random(1);
        while (!done)
            engine_moved(engine1, random() % 41 - 1, random() % 34 - 1);
    });
    std::thread timer([&] {
        while (!done)
            on_window_thread([] {
                if (fake_window::timer_armed())
                    on_clock_timer();
            });
    });
    // Clicks until side 2 has 50 dots, however the threads happen to be scheduled.
    std::mt19937 random(2);
    while (!done) {
        const int32_t px = random() % 820, py = random() % 680;
        on_window_thread([&] {
            handle_click(px, py);
            done = writes(engine1).size() > 3 + 2 * 50;
        });
        std::this_thread::yield();
    }
    done = true;
    reader.join();
    timer.join();

    int dots[3] = {0, 0, 0};
    for (int32_t i = game_board.first_cell; i < game_board.end_cell; ++i)
        if (game_board.cell_owner[i] == 1 || game_board.cell_owner[i] == 2)
            ++dots[game_board.cell_owner[i]];
    // Sides alternated strictly, and each side-2 dot was relayed to engine1 once.
    EXPECT_EQ(dots[1] - dots[2], game_board.side_to_move == 2 ? 1 : 0);
    int relayed = 0;
    for (const auto& w : writes(engine1))
        relayed += w.rfind("move ", 0) == 0;
    EXPECT_EQ(relayed, dots[2]);
    EXPECT_GE(dots[2], 50);
}

} // namespace
