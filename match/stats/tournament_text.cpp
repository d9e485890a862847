#include "match/stats/tournament_text.h"

#include <algorithm>
#include <cstdio>

namespace {

using Row = std::vector<std::string>;

// A number in a printf format.
std::string number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The characters of UTF-8 text, for the width of a column: continuation bytes are none.
size_t text_width(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The rows in columns two spaces apart, each as wide as its widest cell; the columns whose
// `left` is true are aligned left, the others right. No line ends in spaces.
std::string columns(const std::vector<Row>& rows, const std::vector<bool>& left) {
    std::vector<size_t> widths(left.size(), 0);
    for (const Row& row : rows)
        for (size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], text_width(row[c]));
    std::string text;
    for (const Row& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - text_width(row[c]), ' ');
            line += (c ? "  " : "") + (left[c] ? row[c] + pad : pad + row[c]);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

// An Elo with one decimal; one that rounds to 0 is "0.0" whatever its sign.
std::string elo_cell(double elo) {
    const std::string text = number("%.1f", elo);
    return text == "-0.0" ? "0.0" : text;
}

// The Elo cell and the two ends of the interval of a listed engine.
void elo_cells(const EngineRating& engine, std::string& elo, std::string& low, std::string& high) {
    const std::string bound = engine.bound ? elo_cell(*engine.bound) : "";
    switch (engine.status) {
    case RatingStatus::rated:
        elo = elo_cell(engine.elo);
        low = elo_cell(engine.low);
        high = elo_cell(engine.high);
        return;
    // Without games against the rated engines, an engine above or below them has no bound.
    case RatingStatus::above:
        elo = "inf";
        low = bound;
        high = engine.bound ? "inf" : "";
        return;
    case RatingStatus::below:
        elo = "-inf";
        low = engine.bound ? "-inf" : "";
        high = bound;
        return;
    default:
        elo = "-";
        low.clear();
        high.clear();
        return;
    }
}

// Whether the engine's rating is the one the anchor fixed.
bool is_anchor(const RatingList& list, const EngineRating& engine) {
    return !list.scale.anchor.empty() && list.anchor_problem.empty() &&
           engine.name == list.scale.anchor && engine.status == RatingStatus::rated;
}

// What the row of an engine without a plain rating says about it.
std::string note(const RatingList& list, const EngineRating& engine) {
    const bool swept = engine.tally.losses == 0 && engine.tally.draws == 0;
    const bool swept_away = engine.tally.wins == 0 && engine.tally.draws == 0;
    switch (engine.status) {
    case RatingStatus::rated:
        return is_anchor(list, engine) ? "anchor" : "";
    case RatingStatus::above:
        return swept ? "won every game" : "won every game against the rated engines";
    case RatingStatus::below:
        return swept_away ? "lost every game" : "lost every game against the rated engines";
    default:
        return swept ? "won every game" : swept_away ? "lost every game" : "no finite rating";
    }
}

// How a group's Elo are fixed.
std::string scale_words(const RatingList& list, int group) {
    if (std::none_of(list.engines.begin(), list.engines.end(), [&](const EngineRating& engine) {
            return engine.group == group && engine.status == RatingStatus::rated;
        }))
        return "no finite Elo: no two engines took points from each other";
    for (const EngineRating& engine : list.engines)
        if (engine.group == group && is_anchor(list, engine))
            return "Elo of " + engine.name + " fixed at " + elo_cell(list.scale.anchor_elo) +
                   ", 95% intervals";
    return "Elo mean 0 over the rated engines, 95% intervals";
}

// The table of one group.
std::string group_table(const RatingList& list, int group) {
    std::vector<const EngineRating*> engines;
    for (const EngineRating& engine : list.engines)
        if (engine.group == group)
            engines.push_back(&engine);
    // The interval's ends, each as wide as the widest, so that the brackets line up.
    std::vector<std::string> elos, lows, highs;
    size_t low_width = 0, high_width = 0;
    for (const EngineRating* engine : engines) {
        std::string elo, low, high;
        elo_cells(*engine, elo, low, high);
        elos.push_back(elo);
        lows.push_back(low);
        highs.push_back(high);
        low_width = std::max(low_width, low.size());
        high_width = std::max(high_width, high.size());
    }
    std::vector<Row> rows = {
        {"Rank", "Engine", "Elo", "95% interval", "Games", "Points", "Score", "Draws", "Note"}};
    for (size_t i = 0; i < engines.size(); ++i) {
        const EngineRating& engine = *engines[i];
        const std::string interval =
            lows[i].empty() ? ""
                            : "[" + std::string(low_width - lows[i].size(), ' ') + lows[i] + ", " +
                                  std::string(high_width - highs[i].size(), ' ') + highs[i] + "]";
        rows.push_back({std::to_string(engine.rank), engine.name, elos[i], interval,
                        std::to_string(game_count(engine.tally)),
                        number("%.1f", engine.tally.wins + 0.5 * engine.tally.draws),
                        number("%.1f%%", 100 * points_ratio(engine.tally)),
                        number("%.1f%%", 100 * draw_ratio(engine.tally)), note(list, engine)});
    }
    return columns(rows, {false, true, false, true, false, false, false, false, true});
}

// "5 engines, 400 games".
std::string counts(size_t engines, int games) {
    return std::to_string(engines) + (engines == 1 ? " engine, " : " engines, ") +
           std::to_string(games) + (games == 1 ? " game" : " games");
}

} // namespace

std::string pentanomial_text(const Pentanomial& p) {
    return "[" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) +
           ", " + std::to_string(p[3]) + ", " + std::to_string(p[4]) + "]";
}

std::string rating_list_text(const RatingList& list) {
    std::string text;
    std::string idle;
    size_t rated_engines = 0;
    for (const EngineRating& engine : list.engines) {
        if (engine.status == RatingStatus::no_games)
            idle += (idle.empty() ? "" : ", ") + engine.name;
        else
            ++rated_engines;
    }
    if (list.groups > 1)
        text += "Ratings: " + counts(rated_engines, list.games) + " in " +
                std::to_string(list.groups) +
                " groups that never played each other, each on a scale of its own\n";
    for (int group = 1; group <= list.groups; ++group) {
        size_t engines = 0;
        int games = 0;
        for (const EngineRating& engine : list.engines)
            if (engine.group == group) {
                ++engines;
                games += game_count(engine.tally);
            }
        text += (list.groups > 1 ? "Group " + std::to_string(group) : std::string("Ratings")) +
                ": " + counts(engines, games / 2) + "; " + scale_words(list, group) + "\n";
        text += group_table(list, group);
    }
    if (!list.anchor_problem.empty())
        text += "The anchor fixes no rating: " + list.anchor_problem + "\n";
    if (list.self_games)
        text += std::to_string(list.self_games) +
                (list.self_games == 1 ? " game of an engine against itself was"
                                      : " games of an engine against itself were") +
                " left out\n";
    if (!idle.empty())
        text += "No games: " + idle + "\n";
    return text;
}

std::string crosstable_text(const std::vector<Pairing>& table) {
    std::vector<Row> rows = {{"Engine", "Opponent", "Games", "W", "D", "L", "Score", "Ptnml(0-2)"}};
    for (const Pairing& pairing : table) {
        rows.push_back({pairing.engine, pairing.opponent, std::to_string(game_count(pairing.tally)),
                        std::to_string(pairing.tally.wins), std::to_string(pairing.tally.draws),
                        std::to_string(pairing.tally.losses),
                        number("%.3f", points_ratio(pairing.tally)),
                        pentanomial_text(pairing.pentanomial)});
    }
    return columns(rows, {true, true, false, false, false, false, false, true});
}
