// fendrel-match: a headless match runner for engine authors. Without a subcommand it runs a
// match; "play-one" plays one game of it; "merge" sums up results lines.
#include "match/runner/engine_paths.h"
#include "match/runner/options.h"
#include "match/runner/play_one.h"
#include "match/runner/ratings_file.h"
#include "match/runner/scheduler.h"
#include "match/stats/summary.h"
#include "records/openings.h"
#include "records/results_file.h"

#include "os/console.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Reports an error and gives the exit code for it.
int fail(const std::string& error) {
    std::fprintf(stderr, "fendrel-match: %s\n", error.c_str());
    return 2;
}

// The names as a list for a message: "A, B, C".
std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// "merge": the summary of the results lines in the files.
int merge(const std::vector<std::string>& args) {
    MergeOptions options;
    std::string error;
    if (!parse_merge_options(args, options, error))
        return fail(error);
    for (const std::string& file : options.files) {
        std::error_code same_error;
        if (!options.ratings_json.empty() &&
            std::filesystem::equivalent(options.ratings_json, file, same_error))
            return fail("--ratings-json " + options.ratings_json +
                        " is a results file to read; give another file");
    }
    std::vector<GameRecord> records;
    int skipped = 0;
    for (const std::string& file : options.files)
        if (!read_results(file == "-" ? "/dev/stdin" : file, records, skipped, error))
            return fail(error);
    if (skipped)
        std::fprintf(stderr, "fendrel-match: %d lines that are not results were left out\n",
                     skipped);
    std::vector<GameRecord> games;
    if (records.empty())
        return fail("no results lines");
    if (!unique_games(records, games, error))
        return fail(error);
    if (games.size() < records.size())
        std::fprintf(stderr, "fendrel-match: %zu repeated games were counted once\n",
                     records.size() - games.size());
    const std::vector<std::string> engines = engine_names(games);
    if (options.sprt.enabled && engines.size() > 2)
        return fail("--sprt tests one engine against another, and these results hold " +
                    std::to_string(engines.size()) + " engines (" + joined(engines) + ")");
    if (!options.anchor.empty() &&
        std::find(engines.begin(), engines.end(), options.anchor) == engines.end())
        return fail("--anchor: no engine is named " + options.anchor + " in these results (" +
                    joined(engines) + ")");
    const RatingScale scale{options.anchor, options.anchor_elo};
    std::printf("%s", match_summary_text(games, options.sprt, scale).c_str());
    if (!options.ratings_json.empty() && !write_ratings_json(options.ratings_json, games, scale))
        return fail("cannot write " + options.ratings_json);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "merge")
        return merge({args.begin() + 1, args.end()});
    const bool one_game = !args.empty() && args[0] == "play-one";
    if (one_game)
        args.erase(args.begin());

    MatchOptions options;
    std::string error;
    if (!parse_match_options(args, options, error))
        return fail(error);
    if (options.help) {
        std::fputs(usage_text(), stdout);
        return 0;
    }
    if (one_game != (options.game >= 0))
        return fail(one_game ? "play-one needs --game N" : "--game belongs to play-one");
    if (!engines_can_start(options, error))
        return fail(error);
    if (one_game)
        return play_one(options);
    OpeningBook book;
    const Board board = empty_match_board(options);
    if (!load_opening_book(options.opening, book, error, &board))
        return fail(error);
    const std::string self = own_program_path();
    return run_match(options, args, self.empty() ? "fendrel-match" : self);
}
