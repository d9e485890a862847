// The reader thread with the real referee and the recording window: what each line an
// engine writes after its name does, and whole games with engine processes, checked through
// the engines' own records of what they were sent.
#include "engine/engine_io.h"
#include "engine/engine_writer.h"
#include "engine_fixture.h"
#include "fake_window.h"
#include "referee/game_board.h"
#include "referee/game_start.h"
#include "referee/move.h"
#include "referee/window.h"
#include "test_os.h"

#include <optional>

namespace {

const char ILLEGAL_BOX[] = "box error: illegal move!";

struct ReaderCase {
    const char* what;
    std::string output; // everything the engine writes, its name line first
    std::string name;
    std::optional<std::pair<int32_t, int32_t>> played;
    bool refused;
    std::vector<std::string> messages; // texts shown in part 5, in order
};

class ReaderLines : public EngineTest, public ::testing::WithParamInterface<ReaderCase> {};

TEST_P(ReaderLines, HaveTheirEffect) {
    const ReaderCase& c = GetParam();
    attach_pipe(engine1);
    feed({c.output});
    // The output ends after these lines, so the reader returns on this thread.
    engine_reader_thread(&engine1);

    EXPECT_EQ(fake_window::status_text(0), c.name);
    if (c.output.empty())
        EXPECT_EQ(engine1.engine_name, nullptr);
    else
        EXPECT_STREQ(engine1.engine_name, c.name.c_str());
    EXPECT_EQ(game_board.last_move_cell,
              c.played ? cell_index(game_board, c.played->first, c.played->second) : 0);
    EXPECT_EQ(count_events(ILLEGAL_BOX), c.refused ? 1 : 0);
    std::vector<std::string> shown;
    for (const std::string& event : fake_window::events()) {
        if (event.rfind("status 5 ", 0) == 0)
            shown.push_back(event.substr(9));
    }
    EXPECT_EQ(shown, c.messages);
}

const std::pair<int32_t, int32_t> at(int32_t x, int32_t y) {
    return {x, y};
}

INSTANTIATE_TEST_SUITE_P(
    AfterTheName, ReaderLines,
    ::testing::Values(
        ReaderCase{"move", "E\nmove 19 15\n", "E", at(19, 15), false, {}},
        ReaderCase{"three numbers", "E\nmove 1 2 3\n", "E", at(1, 2), false, {}},
        ReaderCase{"extra spaces", "E\nmove    4     5\n", "E", at(4, 5), false, {}},
        ReaderCase{"return after numbers", "E\r\nmove 6 7\r\n", "E\r", at(6, 7), false, {}},
        ReaderCase{"move line as name", "move 19 15\n", "move 19 15", {}, false, {}},
        ReaderCase{"bare word", "E\nmove\n", "E", {}, false, {"move"}},
        ReaderCase{"capital", "E\nMove 1 2\n", "E", {}, false, {"Move 1 2"}},
        ReaderCase{"tab", "E\nmove\t1 2\n", "E", {}, false, {"move\t1 2"}},
        ReaderCase{"one integer", "E\nmove 7\n", "E", {}, true, {}},
        ReaderCase{"no integer", "E\nmove \n", "E", {}, true, {}},
        ReaderCase{"beyond 32 bits", "E\nmove 2147483648 1\n", "E", {}, true, {}},
        ReaderCase{"far beyond", "E\nmove 1 -99999999999999\n", "E", {}, true, {}},
        ReaderCase{"off the board", "E\nmove 39 0\n", "E", {}, true, {}},
        ReaderCase{"empty line clears", "E\nhello\n\n", "E", {}, false, {"hello", ""}},
        ReaderCase{
            "message then move", "E\nthinking\nmove 0 0\n", "E", at(0, 0), false, {"thinking"}},
        ReaderCase{"no name yet", "", "", {}, false, {}}),
    [](const ::testing::TestParamInfo<ReaderCase>& param_info) {
        std::string name;
        for (const char* p = param_info.param.what; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

// The reports of one kind.
int reports_of(LineOutcome outcome) {
    int count = 0;
    for (const LineReport& report : fake_window::reports())
        count += report.outcome == outcome;
    return count;
}

class GameTest : public EngineTest {
  protected:
    // Quits both engines as the window does when it is destroyed, and waits until both
    // readers have seen their engines end.
    static void quit_and_wait() {
        on_window(quit_engines);
        join_thread(engine1.reader_thread);
        join_thread(engine2.reader_thread);
        engine1.reader_thread = engine2.reader_thread = NO_HANDLE;
    }

    // Waits until the file in the folder holds text.
    bool wait_for_content(const std::string& file, const std::string& text) {
        return wait_until([&] { return file_content(file).find(text) != std::string::npos; });
    }

    // Plays the game to its end and checks that every move was applied and logged.
    void expect_whole_game_relayed() {
        ASSERT_TRUE(wait_for_event("box Сообщение: Игра окончена"));
        EXPECT_EQ(reports_of(LineOutcome::applied), game_board.board_cols * game_board.board_rows);
        EXPECT_EQ(reports_of(LineOutcome::refused), 0);
        EXPECT_FALSE(writer_not_reading(*engine1.writer));
        EXPECT_TRUE(is_interleaving(file_content("log.txt"),
                                    as_logged(file_content("Engine1.output")),
                                    as_logged(file_content("Engine2.output"))));
    }
};

TEST_F(GameTest, StartUpSendsTheSetUpLinesByteForByte) {
    install_script("Engine1", "say One\n");
    install_script("Engine2", "say Two\n");
    start_game_on_window();
    ASSERT_TRUE(wait_for_status(0, "One"));
    ASSERT_TRUE(wait_for_status(2, "Two"));
    ASSERT_TRUE(wait_for_content("Engine1.transcript", "go\n"));
    quit_and_wait();
    EXPECT_EQ(file_content("Engine2.transcript"), "new 32 39\nincrement 10000\nquit\n");
    EXPECT_EQ(file_content("Engine1.transcript"),
              "new 32 39\nincrement 10000\ntime 10000\notime 0\ngo\nquit\n");
    EXPECT_EQ(count_events("status 5 Engine1.exe exited"), 0);
}

TEST_F(GameTest, MovesAreRelayedAndTheLogHoldsBothEngines) {
    install_script("Engine1", "say One\nplay 19 15\nplay 19 16\n");
    install_script("Engine2", "say Two\nplay 20 15\nsay thinking\nplay 20 16\n");
    start_game_on_window();
    ASSERT_TRUE(wait_for_content("Engine1.transcript", "move 20 16\n"));
    quit_and_wait();
    EXPECT_EQ(file_content("Engine1.transcript"),
              "new 32 39\nincrement 10000\ntime 10000\notime 0\ngo\n"
              "move 20 15\ntime 20000\notime 10000\ngo\n"
              "move 20 16\ntime 30000\notime 20000\ngo\nquit\n");
    EXPECT_EQ(file_content("Engine2.transcript"),
              "new 32 39\nincrement 10000\n"
              "move 19 15\ntime 10000\notime 10000\ngo\n"
              "move 19 16\ntime 20000\notime 20000\ngo\nquit\n");
    EXPECT_EQ(fake_window::status_text(5), "thinking");
    EXPECT_EQ(count_events(ILLEGAL_BOX), 0);
    EXPECT_TRUE(is_interleaving(file_content("log.txt"), as_logged(file_content("Engine1.output")),
                                as_logged(file_content("Engine2.output"))));
}

TEST_F(GameTest, EngineEndingItsLinesWithReturnStillPlays) {
    install_chaos("Engine1", "crlf");
    install_script("Engine2", "say Two\n");
    start_game_on_window();
    ASSERT_TRUE(wait_for_content("Engine2.transcript", "move 0 0\ntime"));
    EXPECT_TRUE(wait_for_status(0, "Chaos crlf\r"));
    EXPECT_EQ(fake_window::status_text(5), "hello\r");
    EXPECT_EQ(count_events(ILLEGAL_BOX), 0);
}

TEST_F(GameTest, EngineThatExitsMidGameLeavesItsSideToTheMouse) {
    install_chaos("Engine1", "exit-mid-game");
    install_script("Engine2", "say Two\n");
    start_game_on_window();
    ASSERT_TRUE(wait_for_status(5, "Engine1.exe exited"));
    join_thread(engine1.reader_thread);
    engine1.reader_thread = NO_HANDLE;
    EXPECT_EQ(engine1.running, 0);
    // Side 1 is now played by clicks; its move goes to engine 2 as any other.
    on_window([] { make_move(3, 4); });
    EXPECT_TRUE(wait_for_content("Engine2.transcript", "move 3 4\ntime"));
}

// The number of lines of a record that are move lines.
int move_lines(const std::string& record) {
    int count = 0;
    for (size_t at = 0; (at = record.find("move ", at)) != std::string::npos; at += 5)
        count += at == 0 || record[at - 1] == '\n';
    return count;
}

TEST_F(GameTest, RandomEnginesPlayAWholeGame) {
    install("random_engine", "Engine1", ".seed", "1");
    install("random_engine", "Engine2", ".seed", "2");
    start_game_on_window();
    ASSERT_TRUE(wait_for_event("box Сообщение: Игра окончена"));
    quit_and_wait();
    EXPECT_EQ(count_events(ILLEGAL_BOX), 0);
    // Every move but the last was relayed; after the last the engines hear only "quit".
    const std::string heard[2] = {file_content("Engine1.transcript"),
                                  file_content("Engine2.transcript")};
    const int written =
        move_lines(file_content("Engine1.output")) + move_lines(file_content("Engine2.output"));
    EXPECT_EQ(move_lines(heard[0]) + move_lines(heard[1]), written - 1);
    for (const std::string& transcript : heard)
        EXPECT_TRUE(transcript.ends_with("\ngo\nquit\n"))
            << transcript.substr(transcript.size() - 40);
    EXPECT_TRUE(is_interleaving(file_content("log.txt"), as_logged(file_content("Engine1.output")),
                                as_logged(file_content("Engine2.output"))));
}

} // namespace

namespace {

TEST_F(GameTest, EnginesThatNeverReadPlayAWholeGameAndEveryMoveIsRelayed) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows pipe holds some 4 KB, less than a game's requests to one "
                    "engine; the next test plays the game with a pipe that fills";
#endif
    // Each is paced by the requests it never takes, so it never moves out of turn.
    install_chaos("Engine1", "deaf-mover");
    install_chaos("Engine2", "deaf-mover");
    start_game_on_window();
    expect_whole_game_relayed();
}

TEST_F(GameTest, AnEngineWhosePipeIsFullKeepsMovingWhileItsWriterQueues) {
    // Its pipe full after some hundred turns, it moves on the window's score texts.
    fake_window::trace_score_texts("status-trace.txt");
    install_chaos("Engine1", "deaf-mover status-trace.txt");
    install_chaos("Engine2", "half-mover");
    start_game_on_window();
    expect_whole_game_relayed();
}

TEST_F(GameTest, RefusalsFromBothEnginesAtOnceLeaveTheGameGoingOn) {
    install_chaos("Engine1", "refuse-storm");
    install_chaos("Engine2", "refuse-storm");
    start_game_on_window();
    ASSERT_TRUE(wait_for_event("box Сообщение: Игра окончена"));
    // One off the board from each at once (engine 2's also out of turn), then in each of
    // three turns of each an off-board point and, after the first, a point taken.
    EXPECT_EQ(count_events(ILLEGAL_BOX), 2 + 3 + 2 + 3 + 2);
    EXPECT_GT(reports_of(LineOutcome::applied), 1000);
    quit_and_wait();
}

TEST_F(GameTest, AnEngineWhoseChildHoldsItsPipesIsEndedWithItsChild) {
    install_chaos("Engine1", "spawns-child");
    install_script("Engine2", "say Two\n");
    start_game_on_window();
    ASSERT_TRUE(wait_for_status(0, "Chaos spawns-child"));
    // The engine has gone, but its child keeps its output open: the reader waits on.
    ASSERT_TRUE(wait_engine_end(engine1, 60000));
    EXPECT_EQ(running_on_window(engine1), 1);
    // Closing the game ends what is left, the child too: the reader sees the end.
    on_window(quit_engines);
    ::end_engines(0);
    join_thread(engine1.reader_thread);
    EXPECT_EQ(running_on_window(engine1), 0);
}

} // namespace
