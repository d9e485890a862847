// read_line over a real pipe that the test writes, with the log: what reaches the lines,
// what reaches the log, and when reading stops.
#include "engine/engine_io.h"
#include "engine_fixture.h"
#include "test_os.h"

namespace {

class ReadLineTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        open_engine_log();
        attach_pipe(engine1);
    }

    // The next line of engine as a string, or "<end>" once its output has ended.
    static std::string next_line(EngineProcess& engine = engine1) {
        const char* line = engine.read_line();
        return line ? std::string(line) : std::string("<end>");
    }
};

TEST_F(ReadLineTest, TwoLinesFromOneReadNeedNoSecondRead) {
    feed({"first\nsecond\n"});
    finish_feeding();
    EXPECT_EQ(next_line(), "first");
    // The pipe has ended by now: had this call read, it would have found the end.
    EXPECT_EQ(next_line(), "second");
    EXPECT_EQ(next_line(), "<end>");
}

TEST_F(ReadLineTest, LineSplitOverReadsComesWhole) {
    feed({"hal", "f", "\n"});
    EXPECT_EQ(next_line(), "half");
    EXPECT_EQ(next_line(), "<end>");
}

TEST_F(ReadLineTest, ReturnRightAfterFeedInTheSameReadIsDropped) {
    feed({"one\n\rtwo\n"});
    EXPECT_EQ(next_line(), "one");
    EXPECT_EQ(next_line(), "two");
}

TEST_F(ReadLineTest, ReturnBeforeFeedStaysInTheLine) {
    feed({"crlf\r\n", "next\r\n"});
    EXPECT_EQ(next_line(), "crlf\r");
    EXPECT_EQ(next_line(), "next\r");
}

TEST_F(ReadLineTest, ReturnInALaterReadStartsTheNextLine) {
    feed({"one\n", "\rtwo\n"});
    EXPECT_EQ(next_line(), "one");
    EXPECT_EQ(next_line(), "\rtwo");
}

TEST_F(ReadLineTest, FeedAloneIsTheEmptyLine) {
    feed({"\n", "\n\n"});
    EXPECT_EQ(next_line(), "");
    EXPECT_EQ(next_line(), "");
    EXPECT_EQ(next_line(), "");
    EXPECT_EQ(next_line(), "<end>");
}

TEST_F(ReadLineTest, EndOfOutputStopsReadingAndDropsTheUnfinishedLine) {
    feed({"last\nunfinished"});
    EXPECT_EQ(next_line(), "last");
    EXPECT_EQ(next_line(), "<end>");
    // And stays ended, without reading in a loop.
    EXPECT_EQ(next_line(), "<end>");
    EXPECT_EQ(file_content("log.txt"), as_logged("last\nunfinished"));
}

TEST_F(ReadLineTest, FullBufferWithoutFeedIsOneLineAndReadingGoesOn) {
    const std::string full(4095, 'L');
    feed({full, "\nafter\n", std::string(10000, 'M')});
    EXPECT_EQ(next_line(), full); // its feed, read later, only ends it
    EXPECT_EQ(next_line(), "after");
    EXPECT_EQ(next_line(), std::string(4095, 'M'));
    EXPECT_EQ(next_line(), std::string(4095, 'M'));
    EXPECT_EQ(next_line(), "<end>");
    finish_feeding();
    EXPECT_EQ(file_content("log.txt"), as_logged(full + "\nafter\n" + std::string(10000, 'M')));
}

TEST_F(ReadLineTest, NulBytesReachTheLogButNotTheLine) {
    const std::string written("nul\0in\0line\n\0\0\n\0", 16);
    feed({written, "end\n"});
    EXPECT_EQ(next_line(), "nulinline");
    EXPECT_EQ(next_line(), "");
    EXPECT_EQ(next_line(), "end");
    EXPECT_EQ(next_line(), "<end>");
    EXPECT_EQ(file_content("log.txt"), as_logged(written + "end\n"));
}

TEST_F(ReadLineTest, EachEngineKeepsItsOwnLine) {
    OsHandle second_feed = NO_HANDLE;
    make_pipe(engine2.engine_out_read, second_feed);
    const std::string second_text = "from engine 2\n";
    write_handle(second_feed, second_text.data(), second_text.size());
    feed({"from engine 1\n"});
    const char* first = engine1.read_line();
    const char* second = engine2.read_line();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(first, "from engine 1");
    EXPECT_STREQ(second, "from engine 2");
    close_handle(second_feed);
}

TEST_F(ReadLineTest, LogIsEmptiedWhenOpenedAndKeptOpenAfterwards) {
    feed({"x\n"});
    finish_feeding();
    close_engine_log();
    {
        std::FILE* stale = std::fopen("log.txt", "wb");
        std::fputs("stale", stale);
        std::fclose(stale);
    }
    open_engine_log();
    EXPECT_EQ(file_content("log.txt"), "");
    EXPECT_EQ(next_line(), "x");
    // A second open, as engine2's start does, keeps what engine1's reader logged.
    open_engine_log();
    EXPECT_EQ(file_content("log.txt"), as_logged("x\n"));
}

} // namespace
