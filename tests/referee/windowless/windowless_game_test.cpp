// Whole games through the headless window: the referee with real engine processes, each
// test in a fresh folder with the built test engines as Engine1.exe and Engine2.exe.
#include "board_diagram.h"
#include "engine/engine_io.h"
#include "engine/engine_process.h"
#include "os/file.h"
#include "random_play.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/windowless/windowless_game.h"
#include "rules/capture.h"
#include "test_os.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Position {
    std::vector<int32_t> owner, enclosed;
    int32_t side1_balance;

    static Position current() {
        return {game_board.cell_owner, game_board.cell_enclosed, ::side1_balance(game_board)};
    }
    bool operator==(const Position&) const = default;
};

class HeadlessGameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        static std::atomic<int> serial{0};
        folder = fs::temp_directory_path() /
                 ("fendrel-headless-test-" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                  "-" + std::to_string(serial++));
        fs::create_directories(folder);
        fs::current_path(folder);
        close_engine_log();
        new (&engine1) EngineProcess();
        new (&engine2) EngineProcess();
        game_board.last_move_cell = 0;
    }

    void TearDown() override {
        // The engines were told to quit; whatever still runs is ended by its id.
        for (EngineProcess* engine : {&engine1, &engine2}) {
            kill_engine(*engine);
            join_thread(engine->reader_thread);
            close_handle(engine->engine_out_read);
            end_engine_input(*engine);
            delete[] engine->engine_name;
            engine->engine_name = nullptr;
        }
        close_engine_log();
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void install(const char* program, const char* name, const char* suffix,
                 const std::string& content) {
        fs::copy_file(fs::path(TEST_ENGINE_DIR) / (std::string(program) + TEST_ENGINE_SUFFIX),
                      folder / (std::string(name) + ".exe"), fs::copy_options::overwrite_existing);
        std::ofstream(folder / (std::string(name) + suffix), std::ios::binary) << content;
    }

    std::string side_file(const char* name, const char* suffix) const {
        return whole_file((folder / (std::string(name) + suffix)).string());
    }

    // Waits until both engines, told to quit, have ended: their readers return once their
    // output ends, and their transcripts are complete by then.
    void wait_for_quit() {
        for (EngineProcess* engine : {&engine1, &engine2}) {
            join_thread(engine->reader_thread);
            engine->reader_thread = NO_HANDLE;
        }
    }

    fs::path previous, folder;
};

struct GameEnd {
    WindowlessOutcome outcome;
    int32_t dots;          // on the board
    int32_t side1_balance; // captured dots, seen from side 1
};

// Plays the window programs' game with Engine1.exe and Engine2.exe of the current folder,
// without a window; it stops after stall_ms of silence from the side to move.
GameEnd play_game(uint32_t stall_ms) {
    WindowlessOptions options;
    options.rules.stall_timeout_ms = stall_ms;
    const WindowlessOutcome outcome = play_windowless_game(options, [] {
        init_board(game_board);
        start_game();
    });
    int32_t dots = 0;
    for (int32_t i = game_board.first_cell; i < game_board.end_cell; ++i)
        dots += game_board.cell_owner[i] == 1 || game_board.cell_owner[i] == 2;
    return {outcome, dots, game_board.side_to_move == 1 ? game_board.score : -game_board.score};
}

// A game with captures, played to the end on the rules core: the moves in playing order.
std::vector<Point> prepared_game(uint32_t seed, int32_t& captures) {
    reset_rules_state(game_board);
    RandomPlayer player;
    start_random_player(player, seed, Bias::near_recent);
    std::vector<Point> moves;
    Point move;
    captures = 0;
    while (next_random_move(
        player, [](Point p) { return is_legal_dot(game_board, p.x, p.y); }, move)) {
        const int32_t mover_score_before = game_board.score;
        place_dot(game_board, cell_index(game_board, move.x, move.y));
        captures += -game_board.score != mover_score_before;
        moves.push_back(move);
    }
    return moves;
}

std::string move_line(Point p) {
    return "move " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
}

// Checks one engine's transcript: the set-up lines, then for each turn of its side a clock
// block (preceded by the opponent's move, except for side 1's first turn), then "quit".
void expect_protocol(const std::string& transcript, int side, const std::vector<Point>& moves) {
    std::istringstream in(transcript);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "new 32 39");
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "increment 10000");
    // Turns of this side: moves with index side - 1, side + 1, ... The move before each
    // is the opponent's, relayed first.
    for (size_t turn = side - 1; turn < moves.size(); turn += 2) {
        if (turn > 0) {
            ASSERT_TRUE(std::getline(in, line)) << turn;
            ASSERT_EQ(line + "\n", move_line(moves[turn - 1])) << turn;
        }
        std::string time_line, otime_line, go_line;
        ASSERT_TRUE(std::getline(in, time_line) && std::getline(in, otime_line) &&
                    std::getline(in, go_line));
        EXPECT_EQ(time_line.rfind("time ", 0), 0u);
        EXPECT_GE(std::stoul(time_line.substr(5)), 10000ul);
        EXPECT_EQ(otime_line.rfind("otime ", 0), 0u);
        EXPECT_EQ(go_line, "go");
        if (turn == 0) {
            EXPECT_EQ(time_line + otime_line, "time 10000otime 0");
        }
    }
    // The last move of the game is not relayed; then only "quit" follows.
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "quit");
    EXPECT_FALSE(std::getline(in, line));
}

// The moves an engine wrote, from its output record (its first line is its name).
std::vector<Point> moves_written(const std::string& output) {
    std::vector<Point> moves;
    std::istringstream in(output);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        Point p;
        if (std::sscanf(line.c_str(), "move %d %d", &p.x, &p.y) == 2)
            moves.push_back(p);
    }
    return moves;
}

TEST_F(HeadlessGameTest, PreparedGameWithCapturesIsPlayedToItsEnd) {
    int32_t captures = 0;
    const std::vector<Point> moves = prepared_game(11, captures);
    const Position expected = Position::current();
    ASSERT_GT(captures, 5);
    std::string scripts[2] = {"say scripted one\n", "say scripted two\n"};
    for (size_t i = 0; i < moves.size(); ++i)
        scripts[i % 2] +=
            "play " + std::to_string(moves[i].x) + " " + std::to_string(moves[i].y) + "\n";
    install("scripted_engine", "Engine1", ".script", scripts[0]);
    install("scripted_engine", "Engine2", ".script", scripts[1]);

    const GameEnd result = play_game(20000);
    EXPECT_EQ(result.outcome, WindowlessOutcome::finished);
    EXPECT_EQ(result.dots, static_cast<int32_t>(moves.size()));
    EXPECT_TRUE(Position::current() == expected);
    EXPECT_EQ(result.side1_balance, expected.side1_balance);
    EXPECT_STREQ(engine1.engine_name, "scripted one");
    EXPECT_STREQ(engine2.engine_name, "scripted two");

    wait_for_quit();
    expect_protocol(side_file("Engine1", ".transcript"), 1, moves);
    expect_protocol(side_file("Engine2", ".transcript"), 2, moves);
}

TEST_F(HeadlessGameTest, RandomEnginesPlayUntilNoCellCanTakeADot) {
    install("random_engine", "Engine1", ".seed", "5");
    install("random_engine", "Engine2", ".seed", "6");
    const GameEnd result = play_game(20000);
    EXPECT_EQ(result.outcome, WindowlessOutcome::finished);
    const Position final_position = Position::current();
    wait_for_quit();

    // Replays what the engines wrote, in turn order, on a fresh board.
    const std::vector<Point> by_side[2] = {moves_written(side_file("Engine1", ".output")),
                                           moves_written(side_file("Engine2", ".output"))};
    std::vector<Point> moves;
    for (size_t i = 0; i < by_side[0].size(); ++i) {
        moves.push_back(by_side[0][i]);
        if (i < by_side[1].size())
            moves.push_back(by_side[1][i]);
    }
    ASSERT_EQ(static_cast<int32_t>(moves.size()), result.dots);
    reset_rules_state(game_board);
    for (Point p : moves) {
        ASSERT_TRUE(is_legal_dot(game_board, p.x, p.y));
        place_dot(game_board, cell_index(game_board, p.x, p.y));
    }
    EXPECT_EQ(board_full(game_board), 1);
    EXPECT_TRUE(Position::current() == final_position);
    expect_protocol(side_file("Engine1", ".transcript"), 1, moves);
    expect_protocol(side_file("Engine2", ".transcript"), 2, moves);
}

TEST_F(HeadlessGameTest, GameStopsWhenTheSideToMoveHasNoEngineLeft) {
    install("scripted_engine", "Engine1", ".script", "say one\nplay 1 1\nplay 3 3\n");
    install("scripted_engine", "Engine2", ".script", "say two\nplay 20 20\nexit 3\n");
    const GameEnd result = play_game(20000);
    EXPECT_EQ(result.outcome, WindowlessOutcome::no_player);
    EXPECT_EQ(result.dots, 3);
    EXPECT_EQ(engine2.running, 0);
}

// The side to move never answers, so the game stalls however long its engine takes to start.
TEST_F(HeadlessGameTest, SilentEngineStallsTheGame) {
    install("scripted_engine", "Engine1", ".script", "say one\nwait never\n");
    install("scripted_engine", "Engine2", ".script", "say two\nwait never\n");
    const GameEnd result = play_game(300);
    EXPECT_EQ(result.outcome, WindowlessOutcome::stalled);
    EXPECT_EQ(result.dots, 0);
}

} // namespace
