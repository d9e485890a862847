#include "match/runner/play_one.h"

#include "match/runner/engine_paths.h"
#include "match/runner/options.h"
#include "match/runner/schedule.h"
#include "match/runner/worker.h"
#include "records/fingerprint.h"
#include "records/game_record.h"
#include "records/live_game.h"
#include "records/openings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes the directory that receives the game's engine log and enters it: DIR/game-N with
// --logs, else this worker's scratch directory. "" when it cannot be made.
std::string enter_log_directory(const MatchOptions& options) {
    std::string directory;
    if (!options.logs_dir.empty()) {
        mkdir(options.logs_dir.c_str(), 0755);
        directory = options.logs_dir + "/game-" + std::to_string(options.game);
    } else {
        directory = scratch_directory(getpid());
        // One left by an earlier process of the same id, killed before it could clean up.
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
        return "";
    return chdir(directory.c_str()) == 0 ? directory : "";
}

} // namespace

std::string scratch_directory(pid_t worker) {
    const char* temporary = std::getenv("TMPDIR");
    return std::string(temporary && *temporary ? temporary : "/tmp") + "/fendrel-match-" +
           std::to_string(worker);
}

int play_one(MatchOptions options) {
    OpeningBook book;
    std::string error;
    const Board board = empty_match_board(options);
    if (!load_opening_book(options.opening, book, error, &board)) {
        std::fprintf(stderr, "fendrel-match: %s\n", error.c_str());
        return 2;
    }
    // Every pairing of a round plays the round's opening; with two engines a round is a pair.
    const Opening opening =
        opening_for_pair(book, options.seed, scheduled_game(options, options.game).round);
    const std::string fingerprint = match_fingerprint(options);
    const std::string base = current_directory();
    anchor_engines(options, base);
    options.logs_dir = absolute_path(options.logs_dir, base);
    const std::string log_directory = enter_log_directory(options);
    if (log_directory.empty()) {
        std::fprintf(stderr, "fendrel-match: cannot make a directory for the engine log\n");
        return 2;
    }

    // The watcher's file of the game, in the folder a match makes beside its results.
    const std::string live =
        options.results_path.empty()
            ? ""
            : live_game_path(absolute_path(options.results_path, base), options.game);
    GameRecord record = play_game(options, opening, options.game, live);
    record.match = fingerprint;
    if (options.logs_dir.empty()) {
        [[maybe_unused]] const int left = chdir(base.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(log_directory, ignored);
    }
    const std::string line = record_to_json(record) + "\n";
    std::fputs(line.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
