#include "match/runner/options.h"

#include "match/runner/schedule.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

const char USAGE[] =
    R"(fendrel-match: plays many games between engines and sums them up.

usage: fendrel-match --engine name=A cmd=PATH [arg=ARG ...] [dir=DIR] [proto=P]
                              [env=NAME=VALUE ...] [movetime=MS] [increment=MS]
                     --engine name=B cmd=PATH ... [--engine name=C ...] [options]
       fendrel-match play-one --game N <the same options>
       fendrel-match merge [--sprt ...] [--anchor NAME=ELO] [--ratings-json FILE]
                           FILE.jsonl...

Engines (two or more; with two, A is the engine the score is seen from):
  --engine name=NAME cmd=PATH [arg=ARG ...] [dir=DIR] [proto=P]
           [env=NAME=VALUE ...] [movetime=MS] [increment=MS]
        NAME names the engine in the output (each engine its own name); PATH is the
        program (a path, or a name looked up in PATH); each arg= adds one argument;
        DIR is its working directory (default: the current directory). Engines speak
        the protocol of the window program: "new", "increment", "time"/"otime"/"go",
        "move", "quit"; with proto=pointsai or proto=gtp the engine speaks that
        protocol instead and plays through fendrel-bridge, found beside fendrel-match
        (P: line, the default, pointsai or gtp). Each env= sets an environment variable
        in this engine's process only (through the bridge, in the engine's). movetime=
        asks for a fixed time per move: an engine of the window program's protocol is
        sent "movetime MS" after "increment" (dotbot honours it; others may ignore it),
        a bridged engine is given MS as its budget; the clock and its loss on time stay.
        increment= gives this engine its own increment instead of --increment (time
        odds); each side's is in the results line.
  --each KEY=VALUE ...
                      the same words for every engine, before its own (which win where
                      they set the same key), e.g. --each movetime=100 dir=/tmp

Tournaments (three engines or more):
  --tournament T      round-robin (every pairing; the default) or gauntlet (the first
                      engine against each of the others)
  --rounds N          each pairing plays N pairs of games, the colours swapped in each
                      pair (default 50; with two engines the same as --games 2N); every
                      pairing of a round starts from the same opening, and the games go
                      round by round, so a tournament stopped early has played each
                      pairing alike

Games:
  --games N           games to play in all (default: the rounds' games, 100 with two
                      engines), numbered from 0; games 2k and 2k+1 are a pair of one
                      pairing, sharing an opening, A playing side 1 in the first and
                      side 2 in the second
  --concurrency K     games at once (default: the number of cores)
  --seed S            seed of the random openings (default 1)
  --opening O         empty (default), cross (four dots in the centre), cross2 (two
                      crosses side by side), cross4 (four crosses, each turned at
                      random for each pair), random:N (N random legal dots),
                      sgf:FILE:N (the first N moves of each game of an SGF file that
                      has them on this board and plays them under these rules,
                      alternating from B), or FILE: one opening per line as "x y"
                      pairs, or an SGF collection; opening dots reach both engines as
                      "move" lines before the side to move is asked with "go"
  --board WxH         the board: W columns and H rows, each from 3 to 64 (default
                      39x32); engines learn it from "new H W"
  --rules R           the rules: fendrel (default: every closed ring encloses) or
                      standard (a ring captures only around a dot of the other side),
                      with options after commas: suicide=on|off, empty-bases=keep|capture
                      (see docs/rules.md); other than fendrel, engines are sent
                      "rules R" after "new". Under standard, an engine may answer
                      "ground" instead of a move: the game ends and is scored so

Clock and adjudication:
  --increment MS      time credited for every move, sent as "increment MS"
                      (default 10000)
  --time-margin MS    a side whose clock is used up by more than MS loses on time
                      (default 200)
  --no-time-forfeit   no losses on time: play on as the window program does
  --stall-timeout S   a side to move that writes nothing for S seconds loses as
                      stalled (default 60)
  A side also loses by an illegal move, a move out of turn, or a crash (its program
  did not start, exited, or closed its output).

Statistics:
  --sprt elo0=E0 elo1=E1 alpha=A beta=B
                      sequential probability ratio test of elo0 against elo1 for A,
                      on the paired games; the match stops once a bound is crossed
                      (two engines only)
  --anchor NAME=ELO   the ratings of more than two engines have NAME at ELO instead of a
                      mean of 0
  --ratings-json FILE the rating list and crosstable at the end, as JSON

Records:
  --results FILE      one JSON line per game; a match started again with the same
                      options and FILE plays only the games still missing
  --sgf FILE          SGF game records (GM[40]), one game tree per game
  --logs DIR          keeps every game's engine log as DIR/game-N/log.txt, and
                      beside it exchange.txt: every line both ways, with its time,
                      side, engine and direction

Subcommands:
  play-one --game N   plays game N (from 0) of the match and prints its JSON line, so
                      a match can be spread over machines (GNU parallel, batch jobs)
  merge [--sprt ...] [--anchor NAME=ELO] [--ratings-json FILE] FILE...
                      the summary of the JSON lines in the files (a "-" reads standard
                      input), the same as the match itself prints; of more than two
                      engines, the rating list (maximum-likelihood Elo, mean 0 unless
                      --anchor fixes NAME's), the crosstable and the losses. --sprt
                      needs two engines. --ratings-json writes the rating list and
                      the crosstable as JSON to FILE

  --help              this text

Ctrl-C finishes the games in progress and prints the summary; a second Ctrl-C stops
at once.
)";

// A whole number in [low, high], digits only.
bool parse_unsigned(const std::string& text, uint64_t low, uint64_t high, uint64_t& out) {
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (*end || errno || value < low || value > high)
        return false;
    out = value;
    return true;
}

// A real number, not NaN.
bool parse_real(const std::string& text, double& out) {
    errno = 0;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && !*end && !errno && out == out;
}

// Elo bounds of the SPRT beyond which the expected score is too close to 0 or 1 to test.
constexpr double MAX_SPRT_ELO = 1000;

// Splits "key=value".
bool split_pair(const std::string& word, std::string& key, std::string& value) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos)
        return false;
    key = word.substr(0, equals);
    value = word.substr(equals + 1);
    return true;
}

// The key=value words after an option, up to the next word that starts with "--".
std::vector<std::string> option_words(const std::vector<std::string>& args, size_t& i) {
    std::vector<std::string> words;
    while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0)
        words.push_back(args[++i]);
    return words;
}

// The longest fixed time per move: a day.
constexpr uint64_t MAX_MOVETIME_MS = 86400000;
// The largest increment, the match's or an engine's.
constexpr uint64_t MAX_INCREMENT_MS = 3000000;
// The most engines and games a match may have.
constexpr size_t MAX_ENGINES = 64;
constexpr int64_t MAX_GAMES = 1000000;

// An env= word's NAME=VALUE: a later one of the same name replaces the earlier.
bool add_environment(EngineSpec& engine, const std::string& setting, std::string& error) {
    const size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = "--engine: env= takes NAME=VALUE, got \"env=" + setting + "\"";
        return false;
    }
    const std::string name = setting.substr(0, equals + 1);
    for (std::string& earlier : engine.environment) {
        if (earlier.compare(0, name.size(), name) == 0) {
            earlier = setting;
            return true;
        }
    }
    engine.environment.push_back(setting);
    return true;
}

// The key=value words of one --engine.
bool parse_engine(const std::vector<std::string>& words, EngineSpec& engine, std::string& error) {
    for (const std::string& word : words) {
        std::string key;
        std::string value;
        if (!split_pair(word, key, value)) {
            error = "--engine: expected key=value, got \"" + word + "\"";
            return false;
        }
        if (key == "name") {
            engine.name = value;
        } else if (key == "cmd") {
            engine.command = value;
        } else if (key == "arg") {
            engine.arguments.push_back(value);
        } else if (key == "dir") {
            engine.directory = value;
        } else if (key == "proto") {
            if (value != "line" && value != "pointsai" && value != "gtp") {
                error = "--engine: unknown proto \"" + value + "\" (line, pointsai or gtp)";
                return false;
            }
            engine.protocol = value;
        } else if (key == "env") {
            if (!add_environment(engine, value, error))
                return false;
        } else if (key == "movetime") {
            uint64_t ms = 0;
            if (!parse_unsigned(value, 1, MAX_MOVETIME_MS, ms)) {
                error = "--engine: movetime= takes a whole number of milliseconds from 1 to " +
                        std::to_string(MAX_MOVETIME_MS);
                return false;
            }
            engine.movetime_ms = static_cast<uint32_t>(ms);
        } else if (key == "increment") {
            uint64_t ms = 0;
            if (!parse_unsigned(value, 1, MAX_INCREMENT_MS, ms)) {
                error = "--engine: increment= takes a whole number of milliseconds from 1 to " +
                        std::to_string(MAX_INCREMENT_MS);
                return false;
            }
            engine.increment_ms = static_cast<uint32_t>(ms);
        } else {
            error = "--engine: unknown key \"" + key + "\"";
            return false;
        }
    }
    if (engine.name.empty() || engine.command.empty()) {
        error = "--engine needs name= and cmd=";
        return false;
    }
    return true;
}

// "WxH": the board's columns and rows.
bool parse_board_size(const std::string& text, MatchOptions& options, std::string& error) {
    const size_t x = text.find('x');
    uint64_t cols = 0;
    uint64_t rows = 0;
    if (x == std::string::npos ||
        !parse_unsigned(text.substr(0, x), MIN_BOARD_SIDE, MAX_BOARD_SIDE, cols) ||
        !parse_unsigned(text.substr(x + 1), MIN_BOARD_SIDE, MAX_BOARD_SIDE, rows)) {
        error = "--board takes WxH, columns and rows each from " + std::to_string(MIN_BOARD_SIDE) +
                " to " + std::to_string(MAX_BOARD_SIDE) + " (e.g. 39x32), got \"" + text + "\"";
        return false;
    }
    options.board_cols = static_cast<int32_t>(cols);
    options.board_rows = static_cast<int32_t>(rows);
    return true;
}

// The rules' text; their start position belongs to --opening.
bool parse_match_rules(const std::string& text, MatchOptions& options, std::string& error) {
    if (!parse_rule_set(text, options.rules, error)) {
        error = "--rules: " + error;
        return false;
    }
    if (options.rules.start != StartPosition::empty || options.rules.start_seed != 0) {
        error = "--rules: a start position is an opening: give --opening cross, cross2 or cross4";
        return false;
    }
    return true;
}

// The key=value words of --sprt; all four are needed.
bool parse_sprt(const std::vector<std::string>& words, SprtSpec& sprt, std::string& error) {
    const std::pair<const char*, double*> fields[] = {
        {"elo0", &sprt.elo0}, {"elo1", &sprt.elo1}, {"alpha", &sprt.alpha}, {"beta", &sprt.beta}};
    size_t seen = 0;
    for (const std::string& word : words) {
        std::string key;
        std::string value;
        double number = 0;
        if (!split_pair(word, key, value) || !parse_real(value, number)) {
            error = "--sprt: expected key=number, got \"" + word + "\"";
            return false;
        }
        bool known = false;
        for (size_t f = 0; f < 4; ++f) {
            if (key == fields[f].first) {
                *fields[f].second = number;
                seen |= size_t{1} << f;
                known = true;
            }
        }
        if (!known) {
            error = "--sprt: unknown key \"" + key + "\"";
            return false;
        }
    }
    if (seen != 15 || !(sprt.elo0 < sprt.elo1) || sprt.elo0 < -MAX_SPRT_ELO ||
        sprt.elo1 > MAX_SPRT_ELO || !(sprt.alpha > 0) || !(sprt.beta > 0) ||
        !(sprt.alpha + sprt.beta < 1)) {
        error = "--sprt needs -1000 <= elo0 < elo1 <= 1000 and alpha, beta above 0 with "
                "alpha + beta below 1";
        return false;
    }
    sprt.enabled = true;
    return true;
}

// Options that take one number.
struct NumberOption {
    const char* name;
    uint64_t low;
    uint64_t high;
};

const NumberOption NUMBER_OPTIONS[] = {
    {"--games", 1, MAX_GAMES},
    {"--rounds", 1, MAX_GAMES / 2},
    {"--concurrency", 1, 1024},
    {"--seed", 0, UINT64_MAX},
    {"--increment", 1, MAX_INCREMENT_MS},
    {"--time-margin", 0, 86400000},
    {"--stall-timeout", 1, 86400},
    {"--game", 0, MAX_GAMES - 1},
};

// Puts the value of a number option where it belongs.
void store_number(MatchOptions& options, const std::string& name, uint64_t value) {
    if (name == "--games")
        options.games = static_cast<int>(value);
    else if (name == "--rounds")
        options.rounds = static_cast<int>(value);
    else if (name == "--concurrency")
        options.concurrency = static_cast<int>(value);
    else if (name == "--seed")
        options.seed = value;
    else if (name == "--increment")
        options.increment_ms = static_cast<uint32_t>(value);
    else if (name == "--time-margin")
        options.time_margin_ms = static_cast<uint32_t>(value);
    else if (name == "--stall-timeout")
        options.stall_timeout_s = static_cast<uint32_t>(value);
    else
        options.game = static_cast<int>(value);
}

// Options that take one text.
std::string* text_option(MatchOptions& options, const std::string& name) {
    if (name == "--opening")
        return &options.opening;
    if (name == "--sgf")
        return &options.sgf_path;
    if (name == "--ratings-json")
        return &options.ratings_json;
    if (name == "--results")
        return &options.results_path;
    if (name == "--logs")
        return &options.logs_dir;
    return nullptr;
}

// What the command line says of the engines, read once every option is known.
struct EngineWords {
    std::vector<std::vector<std::string>> engines; // each --engine's words
    std::vector<std::string> each;                 // --each's, for every engine
    bool rounds_given = false;
};

// One option at args[i]; i moves past its values.
bool parse_one(const std::vector<std::string>& args, size_t& i, MatchOptions& options,
               EngineWords& engine_words, std::string& error) {
    const std::string& name = args[i];
    if (name == "--engine") {
        engine_words.engines.push_back(option_words(args, i));
        return true;
    }
    if (name == "--each") {
        const std::vector<std::string> words = option_words(args, i);
        engine_words.each.insert(engine_words.each.end(), words.begin(), words.end());
        return true;
    }
    if (name == "--tournament") {
        const std::string value = i + 1 < args.size() ? args[++i] : "";
        if (value != "round-robin" && value != "gauntlet") {
            error = "--tournament takes round-robin or gauntlet";
            return false;
        }
        options.tournament = value == "gauntlet" ? Tournament::gauntlet : Tournament::round_robin;
        return true;
    }
    engine_words.rounds_given |= name == "--rounds";
    if (name == "--sprt")
        return parse_sprt(option_words(args, i), options.sprt, error);
    if (name == "--no-time-forfeit") {
        options.time_forfeit = false;
        return true;
    }
    const bool has_value = i + 1 < args.size();
    if (name == "--anchor") {
        if (!has_value) {
            error = "--anchor needs a value";
            return false;
        }
        return parse_anchor(args[++i], options.anchor, options.anchor_elo, error);
    }
    if (name == "--board" || name == "--rules") {
        if (!has_value) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        return name == "--board" ? parse_board_size(value, options, error)
                                 : parse_match_rules(value, options, error);
    }
    for (const NumberOption& option : NUMBER_OPTIONS) {
        if (name != option.name)
            continue;
        uint64_t value = 0;
        if (!has_value || !parse_unsigned(args[++i], option.low, option.high, value)) {
            error = name + " takes a whole number from " + std::to_string(option.low) + " to " +
                    std::to_string(option.high);
            return false;
        }
        store_number(options, name, value);
        return true;
    }
    if (std::string* text = text_option(options, name)) {
        if (!has_value) {
            error = name + " needs a value";
            return false;
        }
        *text = args[++i];
        return true;
    }
    error = "unknown option \"" + name + "\" (see --help)";
    return false;
}

// The engines from their words, --each's first; then what more than two engines change.
bool parse_engines(const EngineWords& words, MatchOptions& options, std::string& error) {
    if (words.engines.size() < 2) {
        error = "give two engines or more with --engine (see --help)";
        return false;
    }
    if (words.engines.size() > MAX_ENGINES) {
        error = "at most " + std::to_string(MAX_ENGINES) + " engines";
        return false;
    }
    for (const std::string& word : words.each) {
        if (word.rfind("name=", 0) == 0) {
            error = "--each: every engine needs a name of its own";
            return false;
        }
    }
    for (const std::vector<std::string>& own : words.engines) {
        std::vector<std::string> all = words.each;
        all.insert(all.end(), own.begin(), own.end());
        options.engines.emplace_back();
        if (!parse_engine(all, options.engines.back(), error))
            return false;
        for (size_t other = 0; other + 1 < options.engines.size(); ++other) {
            if (options.engines[other].name == options.engines.back().name) {
                error = "two engines are named \"" + options.engines.back().name +
                        "\": each needs a name of its own";
                return false;
            }
        }
    }
    if (!options.anchor.empty() &&
        std::none_of(options.engines.begin(), options.engines.end(),
                     [&](const EngineSpec& engine) { return engine.name == options.anchor; })) {
        error = "--anchor: no engine is named " + options.anchor;
        return false;
    }
    if (options.sprt.enabled && options.engines.size() > 2) {
        error = "--sprt tests one engine against one other: it takes two engines, not " +
                std::to_string(options.engines.size());
        return false;
    }
    if (words.rounds_given && options.games > 0) {
        error = "give --games or --rounds, not both";
        return false;
    }
    return true;
}

} // namespace

bool parse_match_options(const std::vector<std::string>& args, MatchOptions& options,
                         std::string& error) {
    options = MatchOptions{};
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h")
            options.help = true;
    if (options.help)
        return true;
    EngineWords words;
    for (size_t i = 0; i < args.size(); ++i)
        if (!parse_one(args, i, options, words, error))
            return false;
    if (!parse_engines(words, options, error))
        return false;
    // The KataGo dots fork has no rules where an empty ring encloses: a match under them
    // would have it play other rules than the match's.
    if (options.rules.kind == RuleKind::fendrel) {
        for (const EngineSpec& engine : options.engines) {
            if (engine.protocol == "gtp") {
                error = "engine " + engine.name +
                        ": the KataGo dots fork (proto=gtp) cannot be told the fendrel rules "
                        "(every closed ring encloses, an empty one too); give --rules standard";
                return false;
            }
        }
    }
    if (options.games == 0 &&
        int64_t{2} * options.rounds * static_cast<int64_t>(match_pairings(options).size()) >
            MAX_GAMES) {
        error = "the tournament would play more than " + std::to_string(MAX_GAMES) + " games";
        return false;
    }
    return true;
}

// The largest anchor rating either way: far past any scale in use.
constexpr double MAX_ANCHOR_ELO = 1000000;

bool parse_anchor(const std::string& word, std::string& name, double& elo, std::string& error) {
    const size_t equals = word.rfind('=');
    if (equals == std::string::npos || equals == 0 || !parse_real(word.substr(equals + 1), elo) ||
        !(std::fabs(elo) <= MAX_ANCHOR_ELO)) {
        error = "--anchor takes NAME=ELO with ELO from -1000000 to 1000000, got \"" + word + "\"";
        return false;
    }
    name = word.substr(0, equals);
    return true;
}

bool parse_merge_options(const std::vector<std::string>& args, MergeOptions& merge,
                         std::string& error) {
    merge = MergeOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        const bool has_value = i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0;
        if (args[i] == "--sprt") {
            if (!parse_sprt(option_words(args, i), merge.sprt, error))
                return false;
        } else if (args[i] == "--anchor" || args[i] == "--ratings-json") {
            if (!has_value) {
                error = args[i] + " needs a value";
                return false;
            }
            if (args[i] == "--ratings-json")
                merge.ratings_json = args[++i];
            else if (!parse_anchor(args[++i], merge.anchor, merge.anchor_elo, error))
                return false;
        } else if (args[i].rfind("--", 0) == 0) {
            error =
                "merge takes --sprt, --anchor, --ratings-json and files, not \"" + args[i] + "\"";
            return false;
        } else {
            merge.files.push_back(args[i]);
        }
    }
    if (merge.files.empty()) {
        error = "merge needs at least one file";
        return false;
    }
    return true;
}

Board empty_match_board(const MatchOptions& options) {
    Board board;
    init_board(board, options.board_cols, options.board_rows, options.rules);
    return board;
}

const char* usage_text() {
    return USAGE;
}
