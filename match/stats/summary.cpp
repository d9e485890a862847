#include "match/stats/summary.h"
#include "match/stats/crosstable.h"
#include "match/stats/tournament_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A number in the format, or "inf", "-inf" and "nan" as such.
std::string format_number(const char* format, double value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// An end of the Elo interval, in words when there is none.
std::string interval_end(double end) {
    return std::isfinite(end) ? format_number("%.1f", end) : "unbounded";
}

// "41.9 +/- 66.6", or the interval in words when one of its ends is unbounded.
std::string elo_text(const MatchTotals& totals) {
    const EloEstimate elo = elo_estimate(totals.tally);
    if (std::isnan(elo.difference))
        return "none (no games)";
    if (std::isfinite(elo.margin))
        return format_number("%.1f", elo.difference) + " +/- " + format_number("%.1f", elo.margin);
    if (std::isinf(elo.difference))
        return elo.difference > 0
                   ? "at least " + interval_end(elo.low) + " (95% one-sided; every game won)"
                   : "at most " + interval_end(elo.high) + " (95% one-sided; every game lost)";
    return format_number("%.1f", elo.difference) + " (95% interval: " + interval_end(elo.low) +
           " to " + interval_end(elo.high) + ")";
}

// "A lost 3: crash 1, time 2", one line.
std::string losses_line(const std::string& name, const std::map<std::string, int>& losses) {
    int total = 0;
    std::string reasons;
    for (const auto& [reason, count] : losses) {
        total += count;
        reasons += (reasons.empty() ? ": " : ", ") + reason + " " + std::to_string(count);
    }
    return name + " lost " + std::to_string(total) + reasons + "\n";
}

// "Board 10 x 10, rules standard", for the games of each board and rules of the records in
// turn (with how many when there are several); "" when all were the window program's.
std::string board_line(const std::vector<GameRecord>& records) {
    std::vector<std::pair<std::string, int>> kinds;
    bool only_default = true;
    for (const GameRecord& record : records) {
        only_default &= record.board_cols == FENDREL_COLS && record.board_rows == FENDREL_ROWS &&
                        record.rules == RuleSet{};
        const std::string kind = std::to_string(record.board_cols) + " x " +
                                 std::to_string(record.board_rows) + ", rules " +
                                 rule_set_text(record.rules);
        auto known = kinds.begin();
        while (known != kinds.end() && known->first != kind)
            ++known;
        if (known == kinds.end())
            kinds.emplace_back(kind, 1);
        else
            ++known->second;
    }
    if (only_default)
        return "";
    std::string text = "Board ";
    for (size_t k = 0; k < kinds.size(); ++k) {
        text += (k ? "; " : "") + kinds[k].first;
        if (kinds.size() > 1)
            text += " (" + std::to_string(kinds[k].second) +
                    (kinds[k].second == 1 ? " game)" : " games)");
    }
    return text + "\n";
}

} // namespace

MatchTotals match_totals(const std::vector<GameRecord>& records) {
    MatchTotals totals;
    std::vector<std::pair<int, double>> points;
    for (const GameRecord& record : records) {
        const bool a_first = record.a_side == 1;
        totals.engine_a = a_first ? record.side1 : record.side2;
        totals.engine_b = a_first ? record.side2 : record.side1;
        const double a = a_points(record);
        points.emplace_back(record.game, a);
        if (a == 1) {
            ++totals.tally.wins;
            ++totals.b_losses[record.reason];
        } else if (a == 0) {
            ++totals.tally.losses;
            ++totals.a_losses[record.reason];
        } else {
            ++totals.tally.draws;
        }
    }
    totals.pentanomial = count_pentanomial(points);
    return totals;
}

SprtVerdict sprt_verdict(const MatchTotals& totals, const SprtSpec& sprt) {
    if (!sprt.enabled)
        return SprtVerdict::undecided;
    const double llr = sprt_llr(totals.pentanomial, sprt.elo0, sprt.elo1);
    if (llr >= sprt_upper_bound(sprt.alpha, sprt.beta))
        return SprtVerdict::accept_h1;
    if (llr <= sprt_lower_bound(sprt.alpha, sprt.beta))
        return SprtVerdict::accept_h0;
    return SprtVerdict::undecided;
}

std::string summary_text(const std::vector<GameRecord>& records, const SprtSpec& sprt) {
    const MatchTotals totals = match_totals(records);
    const Tally& tally = totals.tally;
    std::string text = board_line(records) + "Score of " + totals.engine_a + " vs " +
                       totals.engine_b + ": " + std::to_string(tally.wins) + " - " +
                       std::to_string(tally.losses) + " - " + std::to_string(tally.draws) + "  [" +
                       format_number("%.3f", points_ratio(tally)) + "] " +
                       std::to_string(game_count(tally)) + "\n";
    text += "Elo difference: " + elo_text(totals) +
            ", LOS: " + format_number("%.1f", 100 * likelihood_of_superiority(tally)) +
            " %, DrawRatio: " + format_number("%.1f", 100 * draw_ratio(tally)) + " %\n";
    const Pentanomial& p = totals.pentanomial;
    text += "Ptnml(0-2): " + pentanomial_text(p) + "\n";
    if (sprt.enabled) {
        text += "SPRT: llr " + format_number("%.3f", sprt_llr(p, sprt.elo0, sprt.elo1)) +
                ", lbound " + format_number("%.3f", sprt_lower_bound(sprt.alpha, sprt.beta)) +
                ", ubound " + format_number("%.3f", sprt_upper_bound(sprt.alpha, sprt.beta));
        const SprtVerdict verdict = sprt_verdict(totals, sprt);
        if (verdict == SprtVerdict::accept_h0)
            text += " - H0 was accepted";
        else if (verdict == SprtVerdict::accept_h1)
            text += " - H1 was accepted";
        text += "\n";
    }
    text += losses_line(totals.engine_a, totals.a_losses);
    text += losses_line(totals.engine_b, totals.b_losses);
    return text;
}

std::string match_summary_text(const std::vector<GameRecord>& records, const SprtSpec& sprt,
                               const RatingScale& scale, const std::vector<std::string>& field) {
    if (engine_names(records, field).size() <= 2)
        return summary_text(records, sprt);
    const RatingList list = rating_list(records, scale, field);
    std::string text = board_line(records) + rating_list_text(list);
    if (list.games == 0)
        return text;
    text += "\n" + crosstable_text(crosstable(records, list)) + "\n";
    std::map<std::string, std::map<std::string, int>> losses;
    for (const GameRecord& record : records)
        if (const std::string* loser = loser_name(record); loser && record.side1 != record.side2)
            ++losses[*loser][record.reason];
    for (const EngineRating& engine : list.engines)
        if (engine.status != RatingStatus::no_games)
            text += losses_line(engine.name, losses[engine.name]);
    return text;
}

std::string progress_text(const std::vector<GameRecord>& records, int planned, int running) {
    // A tournament's standings need the ratings, which come at its end.
    std::vector<const std::string*> names;
    for (const GameRecord& record : records)
        for (const std::string* name : {&record.side1, &record.side2})
            if (names.size() < 3 &&
                std::none_of(names.begin(), names.end(), [&](auto* n) { return *n == *name; }))
                names.push_back(name);
    if (names.size() > 2)
        return "Games " + std::to_string(records.size()) + "/" + std::to_string(planned) +
               ", running " + std::to_string(running);
    const MatchTotals totals = match_totals(records);
    const Tally& tally = totals.tally;
    return "Games " + std::to_string(records.size()) + "/" + std::to_string(planned) + ": " +
           std::to_string(tally.wins) + " - " + std::to_string(tally.losses) + " - " +
           std::to_string(tally.draws) + ", Elo " + elo_text(totals) + ", running " +
           std::to_string(running);
}

EngineCpu engine_cpu(const std::vector<GameRecord>& records, size_t first) {
    EngineCpu cpu;
    cpu.known = first < records.size();
    for (size_t i = first; i < records.size(); ++i) {
        const GameRecord& record = records[i];
        const bool a_first = record.a_side == 1;
        cpu.a = a_first ? record.side1 : record.side2;
        cpu.b = a_first ? record.side2 : record.side1;
        if (!has_side_cpu(record)) {
            cpu.known = false;
            continue;
        }
        cpu.a_ms += record.side_cpu_ms[a_first ? 0 : 1];
        cpu.b_ms += record.side_cpu_ms[a_first ? 1 : 0];
    }
    return cpu;
}

std::string costs_text(size_t played, double seconds, int64_t referee_ms, int64_t engines_ms,
                       const EngineCpu& engines) {
    const double total = static_cast<double>(referee_ms + engines_ms);
    char text[256];
    std::snprintf(text, sizeof text,
                  "Played %zu games in %.1f s (%.1f games per minute); CPU: referee %.1f s, "
                  "engines %.1f s (referee %.1f %%",
                  played, seconds, seconds > 0 ? static_cast<double>(played) * 60 / seconds : 0.0,
                  static_cast<double>(referee_ms) / 1000, static_cast<double>(engines_ms) / 1000,
                  total > 0 ? 100 * static_cast<double>(referee_ms) / total : 0.0);
    std::string line = text;
    if (engines.known) {
        std::snprintf(text, sizeof text, " %.1f s, ", static_cast<double>(engines.a_ms) / 1000);
        line += "; " + engines.a + text + engines.b;
        std::snprintf(text, sizeof text, " %.1f s", static_cast<double>(engines.b_ms) / 1000);
        line += text;
    }
    return line + ")\n";
}
