// The built fendrel-bridge with the foreign test engine, over pipes, on every platform (under
// Wine in the Windows trees): a move and quit, the end of its input with an engine that
// never quits, and an engine that exits.
#include "child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

// A guard against a hang, not a measure.
constexpr std::chrono::milliseconds GUARD{20000};

class BridgeProgram : public ::testing::TestWithParam<const char*> {
  protected:
    void TearDown() override { end_child(bridge); }

    void start(const char* mode) {
        ASSERT_TRUE(start_child(bridge, FENDREL_BRIDGE,
                                {GetParam(), "--", FOREIGN_ENGINE, GetParam(), mode}));
    }
    // Reads lines until one starts with `start`; false when none comes.
    bool line_starting(const std::string& start) {
        std::string line;
        while (read_child_line(bridge, line, GUARD))
            if (line.rfind(start, 0) == 0)
                return true;
        return false;
    }
    std::string prefix() const { return GetParam(); }

    ChildProcess bridge;
};

const char OPENING[] = "new 32 39\nincrement 1000\nmove 19 15\ntime 1000\notime 0\ngo\n";

TEST_P(BridgeProgram, NamesTheEngineMovesAndQuits) {
    start("legal");
    ASSERT_TRUE(write_to_child(bridge, OPENING));
    std::string name;
    ASSERT_TRUE(read_child_line(bridge, name, GUARD));
    EXPECT_EQ(name, prefix() == "gtp" ? "Foreign GTP" : "Foreign pointsai");
    EXPECT_TRUE(line_starting("move "));
    ASSERT_TRUE(write_to_child(bridge, "quit\n"));
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 0);
}

TEST_P(BridgeProgram, EndsWhenItsInputEndsThoughTheEngineNeverQuits) {
    start("deaf");
    ASSERT_TRUE(write_to_child(bridge, OPENING));
    close_child_input(bridge);
    EXPECT_TRUE(line_starting(prefix() + " engine")); // a stand-in for the name never given
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 0);
}

TEST_P(BridgeProgram, EndsWhenTheEngineExits) {
    start("exit");
    ASSERT_TRUE(write_to_child(bridge, OPENING));
    EXPECT_TRUE(line_starting(prefix() + " engine failed: its output ended"));
    EXPECT_EQ(wait_child_exit(bridge, GUARD), 1);
}

INSTANTIATE_TEST_SUITE_P(Protocols, BridgeProgram, ::testing::Values("pointsai", "gtp"),
                         [](const auto& param) { return std::string(param.param); });

} // namespace
