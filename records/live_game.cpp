#include "records/live_game.h"

#include <nlohmann/json.hpp>

#include <sstream>

using Json = nlohmann::json;

std::string live_directory(const std::string& results_path) {
    return results_path + ".live";
}

std::string live_game_path(const std::string& results_path, int game) {
    return live_directory(results_path) + "/game-" + std::to_string(game) + ".jsonl";
}

std::string live_match_path(const std::string& results_path) {
    return live_directory(results_path) + "/match.json";
}

std::string live_match_text(const LiveMatch& match) {
    Json text = {{"engines", Json::array()}, {"games", match.games}, {"sprt", nullptr}};
    for (const std::string& name : match.engines)
        text["engines"].push_back(json_text(name));
    if (match.sprt.enabled)
        text["sprt"] = {{"elo0", match.sprt.elo0},
                        {"elo1", match.sprt.elo1},
                        {"alpha", match.sprt.alpha},
                        {"beta", match.sprt.beta}};
    return text.dump() + "\n";
}

bool read_live_match(const std::string& text, LiveMatch& match) {
    const Json value = Json::parse(text, nullptr, false);
    if (!value.is_object() || !value.contains("engines") || !value["engines"].is_array() ||
        !value.contains("games") || !value["games"].is_number_integer())
        return false;
    match = LiveMatch{};
    for (const Json& name : value["engines"]) {
        if (!name.is_string())
            return false;
        match.engines.push_back(json_text_bytes(name.get<std::string>()));
    }
    match.games = value["games"].get<int>();
    const Json& sprt = value.contains("sprt") ? value["sprt"] : Json();
    if (sprt.is_object()) {
        for (const char* key : {"elo0", "elo1", "alpha", "beta"})
            if (!sprt.contains(key) || !sprt[key].is_number())
                return false;
        match.sprt = {true, sprt["elo0"].get<double>(), sprt["elo1"].get<double>(),
                      sprt["alpha"].get<double>(), sprt["beta"].get<double>()};
    }
    return true;
}

std::string live_header_line(const GameRecord& record) {
    return record_to_json(record) + "\n";
}

std::string live_move_line(const Dot& dot, bool ground, int side, uint32_t ms) {
    const Json line =
        ground ? Json{{"ground", side}, {"ms", ms}} : Json{{"dot", {dot.x, dot.y}}, {"ms", ms}};
    return line.dump() + "\n";
}

namespace {

// One move line into the record; false when the line is not one.
bool add_move(const std::string& line, GameRecord& record) {
    const Json move = Json::parse(line, nullptr, false);
    if (!move.is_object() || !move.contains("ms") || !move["ms"].is_number_unsigned() ||
        move["ms"].get<uint64_t>() > UINT32_MAX || record.grounded != 0)
        return false;
    const auto ms = move["ms"].get<uint32_t>();
    if (move.contains("ground")) {
        const Json& side = move["ground"];
        if (!side.is_number_integer() || (side != 1 && side != 2))
            return false;
        record.grounded = side.get<int>();
    } else {
        const Json& dot = move.contains("dot") ? move["dot"] : Json();
        if (!dot.is_array() || dot.size() != 2 || !dot[0].is_number_integer() ||
            !dot[1].is_number_integer() || dot[0] < 0 || dot[1] < 0 || dot[0] >= MAX_BOARD_SIDE ||
            dot[1] >= MAX_BOARD_SIDE)
            return false;
        record.dots.push_back({dot[0].get<int32_t>(), dot[1].get<int32_t>()});
    }
    record.move_ms.push_back(ms);
    return true;
}

} // namespace

bool read_live_game(const std::string& text, GameRecord& record, std::string& error) {
    // Only whole lines: the last one may still be being written.
    const size_t end = text.rfind('\n');
    std::istringstream lines(end == std::string::npos ? "" : text.substr(0, end + 1));
    std::string line;
    if (!std::getline(lines, line) || !record_from_json(line, record)) {
        error = "no game's first line yet";
        return false;
    }
    for (int number = 2; std::getline(lines, line); ++number) {
        if (!add_move(line, record)) {
            error = "line " + std::to_string(number) + " is not a move";
            return false;
        }
    }
    return true;
}
