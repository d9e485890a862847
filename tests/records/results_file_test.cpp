// Results files as resume and merge read them: lines cut short, games repeated, and results
// of different matches.
#include "os/file.h"
#include "records/results_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

class ResultsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file = (std::filesystem::temp_directory_path() /
                ("fendrel-results-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                   .string();
    }
    void TearDown() override { std::remove(file.c_str()); }

    void write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
    std::string content() const { return whole_file(file); }

    std::string file;
};

// The results line of an otherwise empty game.
std::string line(int game, const char* match = "m1") {
    GameRecord record;
    record.match = match;
    record.game = game;
    return record_to_json(record) + "\n";
}

TEST_F(ResultsFileTest, MissingFileHasNoResults) {
    std::vector<GameRecord> records;
    int skipped = 0;
    std::string error;
    EXPECT_TRUE(read_results(file, records, skipped, error));
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(trim_unfinished_line(file));
}

TEST_F(ResultsFileTest, UnfinishedLastLineIsSkippedAndCut) {
    const std::string whole = line(0) + line(1);
    write(whole + line(2).substr(0, 30));
    std::vector<GameRecord> records;
    int skipped = 0;
    std::string error;
    ASSERT_TRUE(read_results(file, records, skipped, error));
    EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(skipped, 1);
    EXPECT_TRUE(ends_in_unfinished_line(file));
    ASSERT_TRUE(trim_unfinished_line(file));
    EXPECT_EQ(content(), whole);
    EXPECT_FALSE(ends_in_unfinished_line(file));
    // A file of complete lines is left alone; so is one without any line feed, which loses
    // its only, unfinished line.
    ASSERT_TRUE(trim_unfinished_line(file));
    EXPECT_EQ(content(), whole);
    write("{\"match\":");
    ASSERT_TRUE(trim_unfinished_line(file));
    EXPECT_EQ(content(), "");
}

TEST_F(ResultsFileTest, BlankAndForeignLinesAreNotResults) {
    write("\n   \n" + line(4) + "not json\n{\"game\":1}\n");
    std::vector<GameRecord> records;
    int skipped = 0;
    std::string error;
    ASSERT_TRUE(read_results(file, records, skipped, error));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].game, 4);
    EXPECT_EQ(skipped, 2);
}

TEST(UniqueGamesTest, KeepsTheFirstOfEachGameInOrder) {
    std::vector<GameRecord> records(4);
    for (int i = 0; i < 4; ++i) {
        records[i].match = "m";
        records[i].game = (3 - i) % 3; // 0, 2, 1, 0
        records[i].detail = std::to_string(i);
    }
    std::vector<GameRecord> games;
    std::string error;
    ASSERT_TRUE(unique_games(records, games, error));
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].game, 0);
    EXPECT_EQ(games[0].detail, "0");
    EXPECT_EQ(games[2].game, 2);

    records[3].match = "other";
    EXPECT_FALSE(unique_games(records, games, error));
    EXPECT_NE(error.find("different matches"), std::string::npos);
}

} // namespace
