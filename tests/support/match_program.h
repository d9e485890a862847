// Running the built fendrel-match in tests. Each test gets a fresh folder of its own, where
// its engines are copied and its match runs; the folder's path is in the command line of
// every process the test starts, so that these can be found (and must be gone when the
// match is over) while other tests run beside it. At the end anything still running with
// that path is killed by its process id and the folder is removed.
#pragma once

#include "records/game_record.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <vector>

struct ProgramRun {
    int status = -1; // wait status; -1 when the program had to be killed
    std::string out;
    std::string err;
};

class MatchProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // "--engine name=NAME cmd=PROGRAM arg=..." for a built test engine, which is copied into
    // the folder first.
    std::vector<std::string> engine(const std::string& name, const std::string& program,
                                    const std::vector<std::string>& arguments = {});

    // Starts fendrel-match with the arguments in the test's folder, its output in files.
    pid_t start_match(const std::vector<std::string>& args, const std::string& output_name);
    // Starts the program words[0] with the rest of the words as its arguments in the test's
    // folder, as start_match does.
    pid_t start_program(std::vector<std::string> words, const std::string& output_name);
    // Waits up to timeout_ms (a guard against a hang, not a measure) for a started match;
    // its run, or status -1 after killing it.
    ProgramRun wait_match(pid_t pid, const std::string& output_name, int timeout_ms);
    // Starts and waits.
    ProgramRun run_match(const std::vector<std::string>& args, int timeout_ms = 120000);

    // The process ids of live processes whose command line holds the test's folder.
    std::vector<pid_t> test_processes() const;
    // Whether no worker left a scratch folder, and no process of the test is left once the
    // match has ended.
    bool nothing_left_behind() const;

    // Waits for an event: the test folder's file to hold `text` (at most a minute, a guard
    // against a hang).
    void wait_for_text(const std::string& name, const std::string& text);

    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::vector<GameRecord> read_records(const std::string& name) const;

    std::string folder;
};

// The whole content of a file; empty when it cannot be read.
std::string file_text(const std::string& path);

// The summary lines of a match's output: everything before the "Played" line.
std::string summary_part(const std::string& out);

// Concatenates argument lists.
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b);
