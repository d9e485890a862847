// EngineProcess with real child processes: starting, writing, the working directory, the
// standard error, an engine that ends, and what reaches the log. Engines report through the
// reader thread into the recording window.
#include "engine/engine_io.h"
#include "engine/engine_writer.h"
#include "engine_fixture.h"
#include "fake_window.h"
#include "os/process.h"
#include "test_os.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>

namespace {

using EngineProcessTest = EngineTest;

TEST_F(EngineProcessTest, MissingProgramFailsQuietlyWithEveryPipeClosed) {
    const int handles_before = count_open_handles();
    ASSERT_GT(handles_before, 0);
    EXPECT_EQ(start(engine1, "Engine1.exe"), 0);
    EXPECT_EQ(engine1.running, 0);
    EXPECT_EQ(engine1.engine_in_read, NO_HANDLE);
    EXPECT_EQ(engine1.writer, nullptr);
    EXPECT_EQ(engine1.engine_out_read, NO_HANDLE);
    EXPECT_EQ(engine1.engine_out_write, NO_HANDLE);
    EXPECT_EQ(engine1.reader_thread, NO_HANDLE);
    // Only the log, which the first start opens whatever happens, stays open.
    EXPECT_EQ(count_open_handles(), handles_before + 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "log.txt"));

    EXPECT_EQ(send_on_window(engine1, "new 32 39\n"), 0);
    engine1.running = 1;
    EXPECT_EQ(engine1.quit_engine(), 0);
    EXPECT_EQ(engine1.running, 0);
    EXPECT_TRUE(fake_window::events().empty());
}

TEST_F(EngineProcessTest, StartsTheProgramAndItsReader) {
    install_script("Engine1", "say Scripted\nwait ping\nsay pong\n");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    EXPECT_EQ(running_on_window(engine1), 1);
    EXPECT_NE(engine1.reader_thread, NO_HANDLE);
    // The referee keeps only its own ends.
    EXPECT_EQ(engine1.engine_in_read, NO_HANDLE);
    EXPECT_EQ(engine1.engine_out_write, NO_HANDLE);
    ASSERT_TRUE(wait_for_status(0, "Scripted"));
    EXPECT_STREQ(engine1.engine_name, "Scripted");
    EXPECT_EQ(send_on_window(engine1, "ping\n"), 1);
    EXPECT_TRUE(wait_for_status(5, "pong"));
}

TEST_F(EngineProcessTest, EngineRunsInTheRefereesDirectory) {
    install_script("Engine1", "say Scripted\npwd\n");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "Scripted"));
    const std::string expected =
        std::filesystem::is_directory("D:\\") ? "D:\\" : std::filesystem::current_path().string();
    EXPECT_TRUE(wait_for_status(5, expected)) << fake_window::status_text(5);
}

TEST_F(EngineProcessTest, StandardErrorSharesTheOutputPipe) {
    install_chaos("Engine1", "stderr");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    EXPECT_TRUE(wait_for_status(5, "to standard error"));
    EXPECT_EQ(fake_window::status_text(0), "Chaos stderr");
}

TEST_F(EngineProcessTest, EngineThatExitsIsShownAndItsSideFreed) {
    install_chaos("Engine1", "exit-mid-game");
    install_chaos("Engine2", "deaf");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    // Started second, engine 2 could hold engine 1's pipes open if it inherited them.
    ASSERT_EQ(start(engine2, "Engine2.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "Chaos exit-mid-game"));
    send_on_window(engine1, "go\n");
    ASSERT_TRUE(wait_for_status(5, "Engine1.exe exited"));
    // The reader has stopped rather than spinning on the end of the output.
    join_thread(engine1.reader_thread);
    engine1.reader_thread = NO_HANDLE;
    EXPECT_EQ(engine1.running, 0);
    EXPECT_EQ(running_on_window(engine2), 1);
}

TEST_F(EngineProcessTest, EngineThatExitsAtOnceKeepsThePlaceholderName) {
    install_chaos("Engine2", "exit-now");
    ASSERT_EQ(start(engine2, "Engine2.exe"), 1);
    ASSERT_TRUE(wait_for_status(5, "Engine2.exe exited"));
    EXPECT_EQ(fake_window::events(), std::vector<std::string>{"status 5 Engine2.exe exited"});
}

TEST_F(EngineProcessTest, EngineThatQuitsAsToldIsNotReported) {
    install_script("Engine1", "say Scripted\n");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "Scripted"));
    int sent = 0;
    on_window([&] { sent = engine1.quit_engine(); });
    EXPECT_EQ(sent, 1);
    // The script's engine ends on "quit"; its reader then returns by itself.
    join_thread(engine1.reader_thread);
    engine1.reader_thread = NO_HANDLE;
    EXPECT_EQ(fake_window::status_text(5), "");
    EXPECT_EQ(file_content("Engine1.transcript"), "quit\n");
}

TEST_F(EngineProcessTest, ReaderNeverWaitsOnAWindowThatIsGone) {
    install_script("Engine1", "say Scripted\nwait never\n");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "Scripted"));
    fake_window::close();
    kill_engine(engine1);
    join_thread(engine1.reader_thread);
    engine1.reader_thread = NO_HANDLE;
    EXPECT_EQ(fake_window::status_text(5), "");
}

TEST_F(EngineProcessTest, WritingToAnExitedEngineFailsAndTheRefereeGoesOn) {
    install_chaos("Engine1", "exit-now");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(5, "Engine1.exe exited"));
    EXPECT_EQ(send_on_window(engine1, "move 1 2\n"), 0);
    int sent = 1;
    on_window([&] { sent = engine1.quit_engine(); });
    EXPECT_EQ(sent, 0);
}

TEST_F(EngineProcessTest, AnEngineThatNeverReadsTakesLinesUntilKilled) {
    install_chaos("Engine1", "deaf");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "Chaos deaf"));
    EXPECT_EQ(send_on_window(engine1, "new 32 39\n"), 1);
    EXPECT_EQ(send_on_window(engine1, "increment 10000\n"), 1);
    kill_engine(engine1);
    ASSERT_TRUE(wait_for_status(5, "Engine1.exe exited"));
    EXPECT_EQ(send_on_window(engine1, "time 10000\notime 0\ngo\n"), 0);
}

TEST_F(EngineProcessTest, AnEngineThatNeverReadsHoldsUpNoWriterAndFillsOnlyItsQueue) {
    install_chaos("Engine1", "deaf");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "Chaos deaf"));
    // Far more than its pipe holds: every send returns at once. What the pipe does not take
    // waits in the queue up to its limit; past it, the engine is not reading. The pipe may
    // take nothing at all before the writer's thread first runs, so only the queue is
    // certain to have been filled: one more line would have passed its limit.
    const std::string line = "move 19 15\ntime 10000\notime 10000\ngo\n";
    const size_t sends = 2 * WRITE_QUEUE_LIMIT / line.size();
    size_t taken = 0;
    on_window([&] {
        for (size_t i = 0; i < sends; ++i)
            taken += static_cast<size_t>(engine1.send_line(line.c_str()));
    });
    EXPECT_GT((taken + 1) * line.size(), WRITE_QUEUE_LIMIT);
    EXPECT_LT(taken, sends);
    EXPECT_TRUE(writer_not_reading(*engine1.writer));
    EXPECT_EQ(send_on_window(engine1, "new 32 39\n"), 0);
    kill_engine(engine1);
    ASSERT_TRUE(wait_for_status(5, "Engine1.exe exited"));
}

TEST_F(EngineProcessTest, LogHoldsWhatTheEngineWroteAndNothingSent) {
    std::ofstream("log.txt") << "from an earlier run\n";
    install_script("Engine1", "say Scripted\nraw a\\r\\nb\\n\\rc\\0d\\n\nwait quit\n");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    send_on_window(engine1, "new 32 39\n");
    ASSERT_TRUE(wait_for_status(5, "cd"));
    // The engine notes what it wrote right after writing it.
    const std::string written("Scripted\na\r\nb\n\rc\0d\n", 19);
    ASSERT_TRUE(wait_until([&] { return file_content("Engine1.output") == written; }));
    EXPECT_EQ(file_content("log.txt"), as_logged(written));
}

// What this test program held when it started, which it passed on to whatever it started
// before any test ran: none of it is the referee's.
const std::vector<OsHandle> handles_at_start = handles_beyond_standard_streams({});

TEST_F(EngineProcessTest, AnEngineInheritsNothingButItsStandardStreams) {
    install_script("Engine1", "say One\nwait quit\n");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    // Engine 2 looks for the log and engine 1's pipes, which it could write into. The input
    // is the writer thread's from its start: read under its lock.
    OsHandle engine1_input = NO_HANDLE;
    {
        std::lock_guard held(engine1.writer->lock);
        engine1_input = engine1.writer->input;
    }
    const std::string suspects = std::to_string(engine_log_handle()) + " " +
                                 std::to_string(engine1_input) + " " +
                                 std::to_string(engine1.engine_out_read);
    install_chaos("Engine2", "handles " + suspects);
    ASSERT_EQ(start(engine2, "Engine2.exe"), 1);
    ASSERT_TRUE(wait_until([] { return fake_window::status_text(5).rfind("inherited", 0) == 0; }))
        << suspects;
    std::istringstream found(fake_window::status_text(5).substr(9));
    for (long long handle; found >> handle;)
        EXPECT_NE(std::count(handles_at_start.begin(), handles_at_start.end(), handle), 0)
            << "the engine holds " << handle << " of the referee's";
}

TEST_F(EngineProcessTest, SecondStartKeepsTheFirstEnginesLog) {
    install_script("Engine1", "say One\n");
    install_script("Engine2", "say Two\n");
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "One"));
    ASSERT_EQ(start(engine2, "Engine2.exe"), 1);
    ASSERT_TRUE(wait_for_status(2, "Two"));
    EXPECT_EQ(file_content("log.txt"), as_logged("One\nTwo\n"));
}

// A program whose standard input is a file (fendrel-bridge < requests) reads to its end and
// then sees the end, as from a pipe whose writer has closed it; only a pipe has empty writes.
TEST(StandardInputTest, AFileEndsWhereItsBytesEnd) {
    const char* path = "read_to_the_end.txt";
    std::ofstream(path, std::ios::binary) << "abc";
    std::FILE* file = std::fopen(path, "rb");
    ASSERT_NE(file, nullptr);
    char buffer[16];
    EXPECT_EQ(read_handle(stream_handle(file), buffer, sizeof buffer), 3);
    EXPECT_EQ(read_handle(stream_handle(file), buffer, sizeof buffer), 0);
    std::fclose(file);
    std::remove(path);
}

} // namespace
