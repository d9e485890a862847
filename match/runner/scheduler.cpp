#include "match/runner/scheduler.h"

#include "match/runner/interrupts.h"
#include "match/runner/play_one.h"
#include "match/runner/ratings_file.h"
#include "match/runner/schedule.h"
#include "match/stats/summary.h"
#include "os/console.h"
#include "os/process.h"
#include "records/fingerprint.h"
#include "records/game_record.h"
#include "records/live_game.h"
#include "records/results_file.h"
#include "records/sgf.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

struct Worker {
    ProcessInfo process;
    OsHandle output; // read end of the worker's standard output
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

// Starts a worker for one game in a process group of its own: Ctrl-C reaches only this
// program, which lets games finish, and one end of the group ends the worker with
// everything it started. False when it could not be started.
bool launch(Match& match, int game, const std::vector<std::string>& args, const std::string& self) {
    OsHandle output = NO_HANDLE;
    OsHandle output_end = NO_HANDLE;
    if (!make_pipe(output, output_end))
        return false;
    ProgramStart start;
    start.program = self;
    start.arguments = {"play-one", "--game", std::to_string(game)};
    start.arguments.insert(start.arguments.end(), args.begin(), args.end());
    start.input = ChildStream::null();
    start.output = ChildStream::to(output_end);
    start.own_process_group = true;
    ProcessInfo process;
    const bool started = start_program(start, process);
    close_handle(output_end);
    if (!started) {
        close_handle(output);
        return false;
    }
    match.workers.push_back({process, output, game, {}});
    return true;
}

// What the summary needs of a game that is in the files: its dots and times go, so that a
// tournament of many games holds little more than a results line's head a game.
GameRecord summed_up(GameRecord record) {
    // Moved-from temporaries, so that the storage goes too (assigning {} would keep it).
    record.dots = std::vector<Dot>();
    record.move_ms = std::vector<uint32_t>();
    record.detail = std::string();
    return record;
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

// A worker's output has ended, which it does only as it exits, or a second Ctrl-C stops it:
// ends its process group while its pid is still reserved, reaps it and whatever of its
// group was left to this process (see adopt_orphans), and keeps its game if it finished.
void finish_worker(Match& match, Worker& worker) {
    const auto pid = static_cast<pid_t>(worker.process.process);
    int status = 0;
    end_process_group(worker.process, status);
    // With every writer gone, what is left in the pipe ends in its end of input.
    char chunk[4096];
    for (int length; (length = read_handle(worker.output, chunk, sizeof chunk)) > 0;)
        worker.text.append(chunk, static_cast<size_t>(length));
    close_handle(worker.output);
    // A worker killed by a second Ctrl-C had no time to remove its scratch folder.
    std::error_code ignored;
    std::filesystem::remove_all(scratch_directory(pid), ignored);
    GameRecord record;
    const bool finished = record_from_json(last_line(worker.text), record) &&
                          record.game == worker.game && record.match == match.fingerprint;
    if (finished) {
        write_record(match, record);
        match.records.push_back(summed_up(std::move(record)));
    }
    // The watcher's file goes once the game's line is in the results, or the game is lost.
    if (!match.options.results_path.empty())
        std::filesystem::remove(live_game_path(match.options.results_path, worker.game), ignored);
    if (finished) {
        if (!match.terminal)
            std::fprintf(stderr, "Finished game %d (%s vs %s): %s, %s\n", record.game,
                         record.side1.c_str(), record.side2.c_str(), sgf_result(record).c_str(),
                         record.reason.c_str());
    } else if (interrupts() < 2) {
        std::fprintf(stderr, "fendrel-match: the worker of game %d failed (%s)\n", worker.game,
                     describe_exit_status(status).c_str());
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
    std::vector<pollfd> fds = {{interrupt_signal_fd(), POLLIN, 0}};
    for (const Worker& worker : match.workers)
        fds.push_back({static_cast<int>(worker.output), POLLIN, 0});
    if (poll(fds.data(), fds.size(), 1000) <= 0)
        return;
    if (fds[0].revents)
        drain_interrupt_signal();
    for (size_t i = match.workers.size(); i-- > 0;) {
        if (!fds[i + 1].revents)
            continue;
        Worker& worker = match.workers[i];
        char chunk[4096];
        const int length = read_handle(worker.output, chunk, sizeof chunk);
        if (length > 0) {
            worker.text.append(chunk, static_cast<size_t>(length));
            continue;
        }
        finish_worker(match, worker);
        match.workers.erase(match.workers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// Reads the games a stopped run already played; false on results of another match.
bool resume(Match& match) {
    std::string error;
    if (resume_results(match.options.results_path, match.fingerprint, match_games(match.options),
                       match.records, error)) {
        for (GameRecord& record : match.records)
            record = summed_up(std::move(record));
        return true;
    }
    std::fprintf(stderr, "fendrel-match: %s\n", error.c_str());
    return false;
}

// Makes the folder of the games in progress beside the results, empty but for what the match
// is: what a run killed before it could clean up left there is no game in progress.
void open_live_directory(const MatchOptions& options) {
    const std::string directory = live_directory(options.results_path);
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    std::filesystem::create_directory(directory, ignored);
    LiveMatch live{{}, match_games(options), options.sprt};
    for (const EngineSpec& engine : options.engines)
        live.engines.push_back(engine.name);
    if (std::FILE* file = std::fopen(live_match_path(options.results_path).c_str(), "w")) {
        std::fputs(live_match_text(live).c_str(), file);
        std::fclose(file);
    }
}

// Opens the results and SGF files; false when one cannot be written.
bool open_outputs(Match& match) {
    const MatchOptions& options = match.options;
    if (!options.results_path.empty()) {
        open_live_directory(options);
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

// Closes what open_outputs opened; the folder of games in progress goes, with any file a
// worker still had open when a second Ctrl-C stopped it.
void close_outputs(Match& match) {
    if (match.results_fd >= 0) {
        close(match.results_fd);
        std::error_code ignored;
        std::filesystem::remove_all(live_directory(match.options.results_path), ignored);
    }
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
    std::fputs(costs_text(match.records.size() - first, seconds, referee, engines,
                          engine_cpu(match.records, first))
                   .c_str(),
               stdout);
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
    const int games = match_games(options);
    std::vector<bool> done(static_cast<size_t>(games), false);
    for (const GameRecord& record : match.records)
        done[static_cast<size_t>(record.game)] = true;
    for (int game = 0; game < games; ++game)
        if (!done[static_cast<size_t>(game)])
            match.waiting.push_back(game);

    const int concurrency =
        options.concurrency ? options.concurrency
                            : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    match.terminal = is_terminal(standard_stream(1));
    catch_interrupts();
    adopt_orphans();
    const auto start = std::chrono::steady_clock::now();
    bool told = false;
    for (;;) {
        const bool decided =
            options.sprt.enabled &&
            sprt_verdict(match_totals(match.records), options.sprt) != SprtVerdict::undecided;
        while (!interrupts() && !decided && !match.waiting.empty() &&
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
        if (interrupts() == 1 && !told) {
            std::fprintf(stderr,
                         "\nfendrel-match: finishing the %zu games in progress; Ctrl-C again "
                         "stops at once\n",
                         match.workers.size());
            told = true;
        }
        if (interrupts() >= 2) {
            for (Worker& worker : match.workers)
                finish_worker(match, worker);
            match.workers.clear();
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (match.terminal)
        std::printf("\r\x1b[K");
    close_outputs(match);
    if (match.records.empty()) {
        std::printf("No games finished.\n");
    } else {
        std::vector<std::string> field;
        for (const EngineSpec& engine : options.engines)
            field.push_back(engine.name);
        const RatingScale scale{options.anchor, options.anchor_elo};
        std::printf("%s", match_summary_text(match.records, options.sprt, scale, field).c_str());
        if (!options.ratings_json.empty() &&
            !write_ratings_json(options.ratings_json, match.records, scale, field)) {
            std::fprintf(stderr, "fendrel-match: cannot write %s\n", options.ratings_json.c_str());
            match.failed = true;
        }
    }
    print_costs(match, resumed, seconds);
    if (interrupts())
        return 130;
    return match.failed ? 1 : 0;
}
