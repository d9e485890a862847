#include "records/sgf.h"

#include "os/text_encoding.h"
#include "rules/board.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// The letter of a column or row: a to z, then A to Z.
char point_letter(int32_t value) {
    return static_cast<char>(value < 26 ? 'a' + value : 'A' + value - 26);
}

// -1 for a byte that names no point.
int32_t letter_value(char letter) {
    if (letter >= 'a' && letter <= 'z')
        return letter - 'a';
    if (letter >= 'A' && letter <= 'Z')
        return letter - 'A' + 26;
    return -1;
}

// Appends NAME[value], escaping "]" and "\".
void add_property(std::string& out, const char* name, const std::string& value) {
    out += name;
    out += '[';
    for (const char c : value) {
        if (c == ']' || c == '\\')
            out += '\\';
        out += c;
    }
    out += ']';
}

// The start position's dots as set-up dots, for programs that do not know our RU.
void add_start_dots(std::string& out, const GameRecord& record) {
    Board start;
    init_board(start, record.board_cols, record.board_rows, record.rules);
    for (const char* name : {"AB", "AW"}) {
        const int32_t side = name[1] == 'B' ? 1 : 2;
        std::string points;
        for (int32_t y = 0; y < start.board_rows; ++y)
            for (int32_t x = 0; x < start.board_cols; ++x)
                if (start.cell_owner[cell_index(start, x, y)] == side)
                    points += "[" + sgf_point({x, y}) + "]";
        if (!points.empty())
            out += name + points;
    }
}

struct Cursor {
    const std::string& text;
    size_t at = 0;
    std::string error;
};

// Moves past white space between SGF tokens.
void skip_space(Cursor& in) {
    while (in.at < in.text.size() && std::strchr(" \t\r\n", in.text[in.at]) && in.text[in.at])
        ++in.at;
}

// A bracketed value after its "[": escapes removed, the cursor after its "]".
bool read_value(Cursor& in, std::string& value) {
    while (in.at < in.text.size()) {
        char c = in.text[in.at++];
        if (c == ']')
            return true;
        if (c == '\\') {
            if (in.at == in.text.size())
                break;
            c = in.text[in.at++];
            // An escaped line break is a soft break and vanishes.
            if (c == '\n' || c == '\r')
                continue;
        }
        value += c;
    }
    in.error = "unterminated property value";
    return false;
}

// One node after its ";": its properties, appended to `properties`, one pair per value.
bool read_node(Cursor& in, std::vector<std::pair<std::string, std::string>>& properties) {
    for (;;) {
        skip_space(in);
        std::string name;
        while (in.at < in.text.size() && in.text[in.at] >= 'A' && in.text[in.at] <= 'Z')
            name += in.text[in.at++];
        if (name.empty())
            return true;
        skip_space(in);
        if (in.at == in.text.size() || in.text[in.at] != '[') {
            in.error = "property " + name + " without a value";
            return false;
        }
        while (in.at < in.text.size() && in.text[in.at] == '[') {
            ++in.at;
            std::string value;
            if (!read_value(in, value))
                return false;
            properties.emplace_back(name, value);
            skip_space(in);
        }
    }
}

// The points of two letters each in text[from, to); false when a letter names no point.
bool read_points(const std::string& text, size_t from, size_t to, std::vector<Dot>& points) {
    if ((to - from) % 2)
        return false;
    for (size_t i = from; i < to; i += 2) {
        const Dot dot{letter_value(text[i]), letter_value(text[i + 1])};
        if (dot.x < 0 || dot.y < 0)
            return false;
        points.push_back(dot);
    }
    return true;
}

// Adds a B, W, AB or AW value to the main line; other properties are passed over. A move's
// point may be followed by "." and its outline; later "."s part the chains of an outline
// that closes more than one enclosure, which are taken as one set of points.
bool add_placement(Cursor& in, SgfGame& game, const std::pair<std::string, std::string>& property) {
    const std::string& name = property.first;
    const bool setup = name == "AB" || name == "AW";
    if (!setup && name != "B" && name != "W")
        return true;
    const std::string& value = property.second;
    SgfPlacement placement{name.back() == 'B' ? 1 : 2, {}, setup, {}};
    if (!setup && value.empty()) {
        placement.ground = true;
        game.placements.push_back(placement);
        return true;
    }
    std::vector<Dot> point;
    bool valid = value.size() >= 2 && read_points(value, 0, 2, point) &&
                 (value.size() == 2 || (!setup && value[2] == '.'));
    for (size_t from = 3; valid && from < value.size();) {
        const size_t dot = std::min(value.find('.', from), value.size());
        valid = read_points(value, from, dot, placement.outline);
        from = dot + 1;
    }
    if (!valid) {
        in.error = (setup ? "set-up dot " : "move ") + name + "[" + value + "] is not a point";
        return false;
    }
    placement.dot = point[0];
    game.placements.push_back(placement);
    return true;
}

// Whether a CA value names Windows-1251, in any of the spellings in use.
bool names_cp1251(std::string charset) {
    for (char& c : charset)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return charset == "windows-1251" || charset == "cp1251" || charset == "cp-1251";
}

// The root's texts in UTF-8: as they are, unless CA names Windows-1251.
void decode_root(SgfGame& game) {
    if (!names_cp1251(sgf_property(game, "CA")))
        return;
    for (auto& property : game.root)
        property.second = utf8_from_cp1251(property.second.c_str());
}

// One game tree after its "(": the root node's properties, and the moves of the first
// variation at every branch; the cursor after the tree's ")". Nesting is counted, not
// recursed into.
bool read_tree(Cursor& in, SgfGame& game) {
    int depth = 1;
    bool in_main_line = true;
    bool root_done = false;
    while (depth > 0) {
        skip_space(in);
        if (in.at == in.text.size()) {
            in.error = "game tree not closed";
            return false;
        }
        const char c = in.text[in.at++];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            // Once the first variation closes, the main line has ended.
            --depth;
            in_main_line = false;
        } else if (c == ';') {
            std::vector<std::pair<std::string, std::string>> properties;
            if (!read_node(in, properties))
                return false;
            if (!in_main_line)
                continue;
            if (!root_done)
                game.root = properties;
            root_done = true;
            for (const auto& property : properties)
                if (!add_placement(in, game, property))
                    return false;
        } else {
            in.error = std::string("unexpected '") + c + "'";
            return false;
        }
    }
    return true;
}

} // namespace

std::string sgf_point(const Dot& dot) {
    return {point_letter(dot.x), point_letter(dot.y)};
}

std::string sgf_result(const GameRecord& record) {
    if (record.winner == 0)
        return "Draw";
    std::string result = record.winner == 1 ? "B+" : "W+";
    if (record.reason == REASON_BOARD_FULL || record.reason == REASON_GROUNDED)
        return result + std::to_string(record.score < 0 ? -record.score : record.score);
    if (record.reason == REASON_TIME)
        return result + "T";
    return result + "F";
}

std::string write_sgf_game(const GameRecord& record) {
    if (record.board_cols > SGF_MAX_SIDE || record.board_rows > SGF_MAX_SIDE)
        return "";
    std::string out = "(;";
    add_property(out, "FF", "4");
    add_property(out, "GM", "40");
    add_property(out, "CA", "UTF-8");
    add_property(out, "AP", "fendrel-match");
    add_property(out, "SZ",
                 std::to_string(record.board_cols) + ":" + std::to_string(record.board_rows));
    add_property(out, "RU", rule_set_text(record.rules));
    add_property(out, "GN", "game " + std::to_string(record.game));
    add_property(out, "PB", record.side1);
    add_property(out, "PW", record.side2);
    add_property(out, "RE", sgf_result(record));
    std::string comment = record.reason;
    if (!record.detail.empty())
        comment += ": " + record.detail;
    add_property(out, "GC", comment + "; opening " + record.opening);
    add_start_dots(out, record);
    for (size_t i = 0; i < record.dots.size(); ++i) {
        out += i % 12 == 0 ? "\n;" : ";";
        add_property(out, i % 2 == 0 ? "B" : "W", sgf_point(record.dots[i]));
    }
    // A grounding is a move without a point, as the KataGo dots fork writes it.
    if (record.grounded != 0) {
        out += record.dots.size() % 12 == 0 ? "\n;" : ";";
        add_property(out, record.grounded == 1 ? "B" : "W", "");
    }
    out += ")\n";
    return out;
}

bool parse_sgf(const std::string& text, std::vector<SgfGame>& games, std::string& error) {
    Cursor in{text, 0, {}};
    games.clear();
    for (;;) {
        skip_space(in);
        if (in.at == text.size())
            break;
        if (text[in.at] != '(') {
            error = "expected '(' at byte " + std::to_string(in.at);
            return false;
        }
        ++in.at;
        games.emplace_back();
        if (!read_tree(in, games.back())) {
            error = in.error + " (byte " + std::to_string(in.at) + ")";
            return false;
        }
        decode_root(games.back());
    }
    return true;
}

std::string sgf_property(const SgfGame& game, const char* name) {
    for (const auto& [key, value] : game.root)
        if (key == name)
            return value;
    return "";
}
