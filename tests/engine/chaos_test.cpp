// Engines that abuse the pipe: whatever bytes they send, the referee goes on reading, its
// buffers stay whole and the log holds every byte.
#include "engine_fixture.h"
#include "fake_window.h"
#include "test_os.h"

namespace {

class ChaosTest : public EngineTest {
  protected:
    // Starts the chaos engine in `mode` as engine 1.
    void start_chaos(const std::string& mode) {
        install_chaos("Engine1", mode);
        ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    }

    // Waits until the log holds everything the engine wrote, byte for byte.
    bool log_complete() {
        return wait_until([this] {
            const std::string written = file_content("Engine1.output");
            return !written.empty() && file_content("log.txt") == as_logged(written);
        });
    }

    // The status texts shown in part 5, in order.
    static std::vector<std::string> messages() {
        std::vector<std::string> shown;
        for (const std::string& event : fake_window::events()) {
            if (event.rfind("status 5 ", 0) == 0)
                shown.push_back(event.substr(9));
        }
        return shown;
    }
};

TEST_F(ChaosTest, LineOfExactlyAFullBufferIsOneLineAndReadingGoesOn) {
    start_chaos("line-4095");
    // Its feed, read after the full buffer was cut, ends that line and brings no other: the
    // move it writes next is the next line.
    send_on_window(engine1, "time 1000\notime 1000\ngo\n");
    ASSERT_TRUE(wait_for_event("repaint"));
    EXPECT_EQ(messages(), (std::vector<std::string>{std::string(4095, 'L')}));
    EXPECT_TRUE(log_complete());
}

TEST_F(ChaosTest, TenMegabytesWithoutFeedAreReadInFullLines) {
    start_chaos("huge");
    ASSERT_TRUE(wait_for_status(5, "after"));
    const std::vector<std::string> shown = messages();
    ASSERT_EQ(shown.size(), 2562u);
    EXPECT_EQ(shown[0], std::string(4095, 'H'));
    EXPECT_EQ(shown[2560], std::string(2560, 'H'));
    EXPECT_TRUE(log_complete());
}

TEST_F(ChaosTest, NulBytesAreLoggedAndLeftOutOfLines) {
    start_chaos("nul");
    ASSERT_TRUE(wait_for_status(5, "end"));
    EXPECT_EQ(messages(), (std::vector<std::string>{"nulinline", "", "end"}));
    EXPECT_TRUE(log_complete());
}

TEST_F(ChaosTest, GarbageLeavesTheReaderRunning) {
    start_chaos("garbage");
    EXPECT_TRUE(log_complete());
    EXPECT_EQ(send_on_window(engine1, "still there?\n"), 1);
    EXPECT_EQ(count_events("status 5 Engine1.exe exited"), 0);
}

TEST_F(ChaosTest, LineWrittenByteByByteComesWhole) {
    start_chaos("split");
    ASSERT_TRUE(wait_for_status(5, "one line in many writes"));
    EXPECT_EQ(fake_window::status_text(0), "Chaos split");
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(ChaosTest, EmptyWritesDoNotEndTheOutput) {
    start_chaos("empty-writes");
    ASSERT_TRUE(wait_for_status(5, "after"));
    EXPECT_EQ(messages(), std::vector<std::string>{"after"});
}

} // namespace
