// What a set of finished games adds up to, as the text printed at the end of a match, by
// merge, and (shortened) on the live progress line.
#pragma once

#include "match/stats/ratings.h"
#include "match/stats/statistics.h"
#include "records/game_record.h"
#include "records/match_definition.h"

#include <map>
#include <string>
#include <vector>

struct MatchTotals {
    std::string engine_a;
    std::string engine_b;
    Tally tally; // engine A's
    Pentanomial pentanomial{};
    std::map<std::string, int> a_losses; // by reason
    std::map<std::string, int> b_losses;
};

MatchTotals match_totals(const std::vector<GameRecord>& records);

enum class SprtVerdict { undecided, accept_h0, accept_h1 };

// Where the SPRT stands after these games.
SprtVerdict sprt_verdict(const MatchTotals& totals, const SprtSpec& sprt);

// The summary: the board and rules when they are not the window program's ("Board 10 x 10,
// rules standard"), then "Score of A vs B: W - L - D" with the points ratio, the Elo difference
// with its 95% margin, the likelihood of superiority, the draw ratio, the pentanomial counts, the
// SPRT when it is on, and each engine's losses by reason.
std::string summary_text(const std::vector<GameRecord>& records, const SprtSpec& sprt);

// The end of any match's output. With two engines (or one) it is `summary_text`; with more,
// the rating list, the crosstable and each engine's losses by reason, and the SPRT, which
// compares two engines, is not used. `field` names the match's engines, so that one still
// without games counts and is listed.
std::string match_summary_text(const std::vector<GameRecord>& records, const SprtSpec& sprt,
                               const RatingScale& scale = {},
                               const std::vector<std::string>& field = {});

// One line for a terminal: games done of planned, the score, Elo and games running; for the
// games of more than two engines, the games alone.
std::string progress_text(const std::vector<GameRecord>& records, int planned, int running);

// Each engine's CPU time over the records from `first` on: engine A's and engine B's, known
// when every one of those records keeps its sides apart.
struct EngineCpu {
    bool known = false;
    std::string a;
    std::string b;
    int64_t a_ms = 0;
    int64_t b_ms = 0;
};
EngineCpu engine_cpu(const std::vector<GameRecord>& records, size_t first);

// How fast the games of a run went and how the CPU time divided between the referee (the
// runner and its workers) and the engines, and between the engines when known: "Played 200
// games in 7.5 s (...); CPU: referee 4.8 s, engines 4.9 s (referee 49.5 %; A 2.4 s, B 2.5 s)".
std::string costs_text(size_t played, double seconds, int64_t referee_ms, int64_t engines_ms,
                       const EngineCpu& engines = {});
