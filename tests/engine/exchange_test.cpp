// The exchange log: its lines as text, a bridge's side file merged in by its moments, and the
// log of a real engine, with what the referee sent, what the engine wrote and what was
// dropped, in the order it happened.
#include "engine/exchange.h"
#include "engine/exchange_log.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(ExchangeText, LinesInTheShapeOfCutechessDebugOutput) {
    std::string out;
    append_exchange_line(out, 1523118, ">", "dotbot", 2, "", "go", 2);
    append_exchange_line(out, 7, "<", "my engine (v2)", 1, "", "move 19 15", 10);
    append_exchange_line(out, 99999000, ">", "dotbot", 2, "dropped", "quit", 4);
    append_exchange_line(out, 0, "<<", "pai", 1, "stderr", "", 0);
    EXPECT_EQ(out, "1523.118 >dotbot(2): go\n"
                   "0.007 <my engine (v2)(1): move 19 15\n"
                   "99999.000 >dotbot(2) dropped: quit\n"
                   "0.000 <<pai(1) stderr: \n");
}

TEST(ExchangeText, BridgeRecordsGoIntoTheLogByTheirMoments) {
    const uint64_t start = 5000000;
    std::string log;
    append_exchange_line(log, 1000, ">", "pai", 1, "", "go", 2);
    append_exchange_line(log, 3000, "<", "pai", 1, "", "move 5 5", 8);
    append_exchange_line(log, 3000, ">", "other", 2, "", "move 5 5", 8);
    std::string records;
    append_bridge_record(records, start + 1500, BRIDGE_RECORD_SENT, "3 gen_move_with_time 0 100",
                         26);
    append_bridge_record(records, start + 2500, BRIDGE_RECORD_OUTPUT,
                         "= 3 gen_move_with_time 5 5 0", 28);
    append_bridge_record(records, start + 2600, BRIDGE_RECORD_STDERR, "thinking", 8);
    // At the same moment as the referee's line: what the bridge read goes before it.
    append_bridge_record(records, start + 3000, BRIDGE_RECORD_OUTPUT, "= 4 play", 8);
    // On Windows a side file's records end in "\r\n"; a record the bridge was killed
    // writing has no line feed.
    records += std::to_string(start + 3000) + " >> 4 play 5 5 0\r\n" +
               std::to_string(start + 4000) + " << = 4 pl";
    EXPECT_EQ(merge_bridge_records(log, records, start, "pai", 1),
              "1.000 >pai(1): go\n"
              "1.500 >>pai(1): 3 gen_move_with_time 0 100\n"
              "2.500 <<pai(1): = 3 gen_move_with_time 5 5 0\n"
              "2.600 <<pai(1) stderr: thinking\n"
              "3.000 <<pai(1): = 4 play\n"
              "3.000 <pai(1): move 5 5\n"
              "3.000 >other(2): move 5 5\n"
              "3.000 >>pai(1): 4 play 5 5 0\n");
    // Records that are no records are left out; a log without records stays as it is.
    EXPECT_EQ(merge_bridge_records(log, "garbage\n12 ?? what\n", start, "pai", 1), log);
    EXPECT_EQ(merge_bridge_records("", records.substr(0, records.find('\n') + 1), start, "pai", 1),
              "1.500 >>pai(1): 3 gen_move_with_time 0 100\n");
}

// The log's lines without their moments (and without the "\r" a Windows text file adds).
std::vector<std::string> lines_without_moments(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line.substr(line.find(' ') + 1));
    }
    return lines;
}

using ExchangeLogTest = EngineTest;

// Closes the log however the test ends, so that no later test of the process finds it open.
struct ClosesExchangeLog {
    ~ClosesExchangeLog() { close_exchange_log(); }
};

TEST_F(ExchangeLogTest, KeepsEveryLineBothWaysInTheOrderItHappened) {
    install_script("Engine1", "say Scripted\nwait ping\nsay pong\nsay done\n");
    const ClosesExchangeLog closes;
    ASSERT_TRUE(open_exchange_log("exchange.txt"));
    EXPECT_TRUE(exchange_log_open());
    ASSERT_EQ(start(engine1, "Engine1.exe"), 1);
    ASSERT_TRUE(wait_for_status(0, "Scripted"));
    EXPECT_EQ(send_on_window(engine1, "ping\nmore\n"), 1);
    ASSERT_TRUE(wait_for_status(5, "done"));
    end_engines();
    // To an engine that has gone, nothing is sent; the log says so.
    EXPECT_EQ(send_on_window(engine1, "quit\n"), 0);
    close_exchange_log();
    EXPECT_FALSE(exchange_log_open());
    // Nothing is logged once the log is closed.
    EXPECT_EQ(send_on_window(engine1, "quit\n"), 0);
    const std::string text = file_content("exchange.txt");
    EXPECT_EQ(lines_without_moments(text),
              (std::vector<std::string>{"<Engine1.exe(1): Scripted", ">Engine1.exe(1): ping",
                                        ">Engine1.exe(1): more", "<Engine1.exe(1): pong",
                                        "<Engine1.exe(1): done", ">Engine1.exe(1) dropped: quit"}))
        << text;
    // The moments only go forward.
    double last = 0;
    std::istringstream in(text);
    for (double moment; in >> moment; in.ignore(1 << 20, '\n')) {
        EXPECT_GE(moment, last) << text;
        last = moment;
    }
}

} // namespace
