#include "match_program.h"

#include "match/results_file.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

std::string file_text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
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
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, path(output_name + ".out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, path(output_name + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Temporary files, the workers' scratch folders among them, go to the test's folder.
    std::vector<std::string> variables = {"TMPDIR=" + folder};
    for (char** variable = environ; *variable; ++variable)
        if (std::string(*variable).rfind("TMPDIR=", 0) != 0)
            variables.push_back(*variable);
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
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

std::vector<GameRecord> MatchProgramTest::read_records(const std::string& name) const {
    std::vector<GameRecord> records;
    int skipped = 0;
    std::string error;
    EXPECT_TRUE(read_results(path(name), records, skipped, error)) << error;
    EXPECT_EQ(skipped, 0);
    return records;
}
