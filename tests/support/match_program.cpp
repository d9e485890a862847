#include "match_program.h"

#include "os/file.h"
#include "os/process.h"
#include "records/results_file.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

std::string file_text(const std::string& path) {
    return whole_file(path);
}

std::string summary_part(const std::string& out) {
    const size_t played = out.find("Played ");
    return out.substr(0, played);
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void MatchProgramTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fendrel-match-test-XXXXXX");
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
}

void MatchProgramTest::TearDown() {
    for (const pid_t pid : test_processes())
        kill(pid, SIGKILL);
    std::filesystem::remove_all(folder);
}

std::vector<std::string> MatchProgramTest::engine(const std::string& name,
                                                  const std::string& program,
                                                  const std::vector<std::string>& arguments) {
    // The test engines keep records of what they read and write beside their program, so
    // each test plays a copy of its own in its folder, which goes away with it.
    std::string copy = program;
    const std::filesystem::path source(program);
    if (std::filesystem::exists(source) && source.parent_path() != folder) {
        copy = path(source.filename());
        std::filesystem::copy_file(source, copy, std::filesystem::copy_options::skip_existing);
    }
    std::vector<std::string> words = {"--engine", "name=" + name, "cmd=" + copy};
    for (const std::string& argument : arguments)
        words.push_back("arg=" + argument);
    return words;
}

pid_t MatchProgramTest::start_match(const std::vector<std::string>& args,
                                    const std::string& output_name) {
    std::vector<std::string> words = {FENDREL_MATCH};
    words.insert(words.end(), args.begin(), args.end());
    return start_program(words, output_name);
}

pid_t MatchProgramTest::start_program(std::vector<std::string> words,
                                      const std::string& output_name) {
    OsHandle out =
        open(path(output_name + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    OsHandle err =
        open(path(output_name + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ProgramStart start;
    start.program = words[0];
    start.arguments.assign(words.begin() + 1, words.end());
    start.directory = folder;
    // Temporary files, the workers' scratch folders among them, go to the test's folder.
    start.environment_changes = {"TMPDIR=" + folder};
    start.input = ChildStream::null();
    start.output = ChildStream::to(out);
    start.error = ChildStream::to(err);
    ProcessInfo process;
    const bool started = ::start_program(start, process);
    close_handle(out);
    close_handle(err);
    return started ? static_cast<pid_t>(process.process) : -1;
}

ProgramRun MatchProgramTest::wait_match(pid_t pid, const std::string& output_name, int timeout_ms) {
    ProgramRun run;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.status = status;
    run.out = file_text(path(output_name + ".out"));
    run.err = file_text(path(output_name + ".err"));
    return run;
}

ProgramRun MatchProgramTest::run_match(const std::vector<std::string>& args, int timeout_ms) {
    const pid_t pid = start_match(args, "match");
    EXPECT_GT(pid, 0);
    return pid > 0 ? wait_match(pid, "match", timeout_ms) : ProgramRun{};
}

std::vector<pid_t> MatchProgramTest::test_processes() const {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string command = file_text(entry.path() / "cmdline");
        for (char& c : command)
            if (c == '\0')
                c = ' ';
        if (command.find(folder + "/") != std::string::npos)
            found.push_back(std::atoi(name.c_str()));
    }
    return found;
}

bool MatchProgramTest::nothing_left_behind() const {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("fendrel-match-", 0) == 0) {
            ADD_FAILURE() << "scratch folder left: " << entry.path();
            return false;
        }
    }
    // fendrel-match reaps every process of its workers' groups before it ends.
    const std::vector<pid_t> left = test_processes();
    for (const pid_t pid : left)
        ADD_FAILURE() << "process left running: " << pid << " "
                      << file_text("/proc/" + std::to_string(pid) + "/cmdline");
    return left.empty();
}

void MatchProgramTest::wait_for_text(const std::string& name, const std::string& text) {
    for (int i = 0; i < 12000; ++i) {
        if (file_text(path(name)).find(text) != std::string::npos)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    FAIL() << "no " << text << " in " << name;
}

std::vector<GameRecord> MatchProgramTest::read_records(const std::string& name) const {
    std::vector<GameRecord> records;
    int skipped = 0;
    std::string error;
    EXPECT_TRUE(read_results(path(name), records, skipped, error)) << error;
    EXPECT_EQ(skipped, 0);
    return records;
}
