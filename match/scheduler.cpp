#include "match/scheduler.h"

#include "match/child_process.h"
#include "match/game_record.h"
#include "match/play_one.h"
#include "match/results_file.h"
#include "match/sgf.h"
#include "match/summary.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// Ctrl-C (and SIGTERM) reach the loop through a pipe, which poll() watches with the workers.
volatile sig_atomic_t interrupts = 0;
int signal_pipe[2] = {-1, -1};

// Signal handler: counts the interrupt (SIGTERM as two) and wakes the loop.
void on_interrupt(int signal_number) {
    interrupts = interrupts + (signal_number == SIGTERM ? 2 : 1);
    const int saved = errno;
    [[maybe_unused]] const ssize_t written = write(signal_pipe[1], "!", 1);
    errno = saved;
}

// Makes this process the parent of every process that a worker leaves behind when it is
// killed (its engines, and theirs), so that finish_worker can reap them before the match
// ends: nothing a match started outlives it.
void adopt_orphans() {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

// Routes Ctrl-C and SIGTERM to on_interrupt.
void catch_interrupts() {
    if (pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

struct Worker {
    pid_t pid;
    int output; // read end of the worker's standard output
    int game;
    std::string text;
};

struct Match {
    const MatchOptions& options;
    std::string fingerprint = {};
    std::vector<GameRecord> records = {};
    std::vector<Worker> workers = {};
    std::deque<int> waiting = {}; // games not yet started
    int results_fd = -1;
    std::FILE* sgf = nullptr;
    bool terminal = false;
    bool failed = false;
};

// Starts a worker for one game; false when it could not be started.
bool launch(Match& match, int game, const std::vector<std::string>& args, const std::string& self) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return false;
    std::vector<std::string> words = {self, "play-one", "--game", std::to_string(game)};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    // Its own process group: Ctrl-C reaches only this program, which lets games finish, and
    // one kill of the group ends the worker with everything it started.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const int result = posix_spawn(&pid, self.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (result != 0) {
        close(output[0]);
        return false;
    }
    match.workers.push_back({pid, output[0], game, {}});
    return true;
}

// Appends a finished game to the results and SGF files.
void write_record(Match& match, const GameRecord& record) {
    if (match.results_fd >= 0) {
        const std::string line = record_to_json(record) + "\n";
        // One write per line on a file opened for appending: lines never interleave.
        if (write(match.results_fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            std::fprintf(stderr, "fendrel-match: could not write game %d to %s\n", record.game,
                         match.options.results_path.c_str());
    }
    if (match.sgf) {
        std::fputs(write_sgf_game(record).c_str(), match.sgf);
        std::fflush(match.sgf);
    }
}

// The last line of a worker's output, where it prints its results line.
std::string last_line(const std::string& text) {
    const size_t end = text.size() - (!text.empty() && text.back() == '\n' ? 1 : 0);
    const size_t feed = text.rfind('\n', end ? end - 1 : 0);
    const size_t start = feed == std::string::npos || feed >= end ? 0 : feed + 1;
    return text.substr(start, end - start);
}

// A worker's output has ended, which it does only as it exits: sweeps its process group
// while its pid is still reserved, reaps it and whatever of its group was left to this
// process (see adopt_orphans), and keeps its game.
void finish_worker(Match& match, Worker& worker) {
    close(worker.output);
    kill(-worker.pid, SIGKILL);
    int status = 0;
    for (;;) {
        int member_status = 0;
        const pid_t reaped = waitpid(-worker.pid, &member_status, 0);
        if (reaped == worker.pid)
            status = member_status;
        else if (reaped < 0 && errno != EINTR)
            break;
    }
    // A worker killed by a second Ctrl-C had no time to remove its scratch folder.
    std::error_code ignored;
    std::filesystem::remove_all(scratch_directory(worker.pid), ignored);
    GameRecord record;
    if (record_from_json(last_line(worker.text), record) && record.game == worker.game &&
        record.match == match.fingerprint) {
        match.records.push_back(record);
        write_record(match, record);
        if (!match.terminal)
            std::fprintf(stderr, "Finished game %d (%s vs %s): %s, %s\n", record.game,
                         record.side1.c_str(), record.side2.c_str(), sgf_result(record).c_str(),
                         record.reason.c_str());
    } else if (interrupts < 2) {
        std::fprintf(stderr, "fendrel-match: the worker of game %d failed (%s)\n", worker.game,
                     describe_wait_status(status).c_str());
        match.failed = true;
    }
}

// Redraws the progress line, on a terminal only.
void show_progress(const Match& match) {
    if (!match.terminal)
        return;
    const int planned =
        static_cast<int>(match.records.size() + match.workers.size() + match.waiting.size());
    std::printf(
        "\r%s\x1b[K",
        progress_text(match.records, planned, static_cast<int>(match.workers.size())).c_str());
    std::fflush(stdout);
}

// Reads what the workers have written and handles signals, waiting up to a second.
void wait_for_workers(Match& match) {
    std::vector<pollfd> fds = {{signal_pipe[0], POLLIN, 0}};
    for (const Worker& worker : match.workers)
        fds.push_back({worker.output, POLLIN, 0});
    if (poll(fds.data(), fds.size(), 1000) <= 0)
        return;
    if (fds[0].revents) {
        char drained[64];
        while (read(signal_pipe[0], drained, sizeof drained) > 0) {
        }
    }
    for (size_t i = match.workers.size(); i-- > 0;) {
        if (!fds[i + 1].revents)
            continue;
        Worker& worker = match.workers[i];
        char chunk[4096];
        const ssize_t length = read(worker.output, chunk, sizeof chunk);
        if (length > 0) {
            worker.text.append(chunk, static_cast<size_t>(length));
            continue;
        }
        if (length < 0 && errno == EINTR)
            continue;
        finish_worker(match, worker);
        match.workers.erase(match.workers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// Reads the games a stopped run already played; false on results of another match.
bool resume(Match& match) {
    const std::string& path = match.options.results_path;
    std::vector<GameRecord> found;
    int skipped = 0;
    std::string error;
    if (!read_results(path, found, skipped, error)) {
        std::fprintf(stderr, "fendrel-match: %s\n", error.c_str());
        return false;
    }
    // Only a line that a stopped run left unfinished may be cut away; any other line that is
    // not a result means the file is not this match's to change.
    if (skipped > (ends_in_unfinished_line(path) ? 1 : 0)) {
        std::fprintf(stderr,
                     "fendrel-match: %s holds lines that are not results; give another --results "
                     "file\n",
                     path.c_str());
        return false;
    }
    if (!found.empty() && !unique_games(found, match.records, error)) {
        std::fprintf(stderr, "fendrel-match: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    if (!match.records.empty() && match.records.front().match != match.fingerprint) {
        std::fprintf(stderr,
                     "fendrel-match: %s holds the games of a match with other options; give "
                     "another --results file\n",
                     path.c_str());
        return false;
    }
    if (!trim_unfinished_line(path)) {
        std::fprintf(stderr, "fendrel-match: cannot change %s\n", path.c_str());
        return false;
    }
    // Games past --games stay recorded but are not part of this run.
    std::erase_if(match.records,
                  [&](const GameRecord& record) { return record.game >= match.options.games; });
    return true;
}

// Opens the results and SGF files; false when one cannot be written.
bool open_outputs(Match& match) {
    const MatchOptions& options = match.options;
    if (!options.results_path.empty()) {
        match.results_fd =
            open(options.results_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (match.results_fd < 0) {
            std::fprintf(stderr, "fendrel-match: cannot write %s\n", options.results_path.c_str());
            return false;
        }
    }
    if (!options.sgf_path.empty()) {
        // A resumed match adds to the records of its first run.
        match.sgf = std::fopen(options.sgf_path.c_str(), match.records.empty() ? "w" : "a");
        if (!match.sgf) {
            std::fprintf(stderr, "fendrel-match: cannot write %s\n", options.sgf_path.c_str());
            return false;
        }
    }
    return true;
}

// Closes what open_outputs opened.
void close_outputs(Match& match) {
    if (match.results_fd >= 0)
        close(match.results_fd);
    if (match.sgf)
        std::fclose(match.sgf);
}

// Time and CPU of the games this run played: how fast they went and how much of the work
// was the referee's (this process and the workers) rather than the engines'.
void print_costs(const Match& match, size_t first, double seconds) {
    int64_t engines = 0;
    for (size_t i = first; i < match.records.size(); ++i)
        engines += match.records[i].engines_cpu_ms;
    // The reaped workers' CPU includes that of the engines they reaped.
    const int64_t referee = own_cpu_ms() + children_cpu_ms() - engines;
    const double total = static_cast<double>(referee + engines);
    const size_t played = match.records.size() - first;
    std::printf("Played %zu games in %.1f s (%.1f games per minute); CPU: referee %.1f s, engines "
                "%.1f s (referee %.1f %%)\n",
                played, seconds, seconds > 0 ? static_cast<double>(played) * 60 / seconds : 0.0,
                static_cast<double>(referee) / 1000, static_cast<double>(engines) / 1000,
                total > 0 ? 100 * static_cast<double>(referee) / total : 0.0);
}

} // namespace

int run_match(const MatchOptions& options, const std::vector<std::string>& args,
              const std::string& self) {
    Match match{options};
    match.fingerprint = match_fingerprint(options);
    if (!options.results_path.empty() && !resume(match))
        return 2;
    if (!open_outputs(match))
        return 2;
    const size_t resumed = match.records.size();
    std::vector<bool> done(static_cast<size_t>(options.games), false);
    for (const GameRecord& record : match.records)
        done[static_cast<size_t>(record.game)] = true;
    for (int game = 0; game < options.games; ++game)
        if (!done[static_cast<size_t>(game)])
            match.waiting.push_back(game);

    const int concurrency =
        options.concurrency ? options.concurrency
                            : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    match.terminal = isatty(STDOUT_FILENO);
    catch_interrupts();
    adopt_orphans();
    const auto start = std::chrono::steady_clock::now();
    bool told = false;
    for (;;) {
        const bool decided =
            sprt_verdict(match_totals(match.records), options.sprt) != SprtVerdict::undecided;
        while (!interrupts && !decided && !match.waiting.empty() &&
               static_cast<int>(match.workers.size()) < concurrency) {
            const int game = match.waiting.front();
            match.waiting.pop_front();
            if (!launch(match, game, args, self)) {
                std::fprintf(stderr, "fendrel-match: cannot start a worker for game %d\n", game);
                match.failed = true;
            }
        }
        if (match.workers.empty())
            break;
        show_progress(match);
        wait_for_workers(match);
        if (interrupts == 1 && !told) {
            std::fprintf(stderr,
                         "\nfendrel-match: finishing the %zu games in progress; Ctrl-C again "
                         "stops at once\n",
                         match.workers.size());
            told = true;
        }
        if (interrupts >= 2)
            for (const Worker& worker : match.workers)
                kill(-worker.pid, SIGKILL);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (match.terminal)
        std::printf("\r\x1b[K");
    close_outputs(match);
    if (match.records.empty())
        std::printf("No games finished.\n");
    else
        std::printf("%s", summary_text(match.records, options.sprt).c_str());
    print_costs(match, resumed, seconds);
    if (interrupts)
        return 130;
    return match.failed ? 1 : 0;
}
