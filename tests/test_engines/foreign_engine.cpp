// A test engine of another protocol, written from the protocols' descriptions: a random
// mover that speaks pointsai or gtp (the dots dialect: "boardsize W:H", vertices
// "COLUMN-ROW" from the bottom-left, colours B and W, the rules as kata-set-rules JSON).
// It plays on a board of the size it is told under the rules it is told. Started as
//
//   foreign_engine pointsai|gtp [MODE [RULES]]
//
// RULES (a rule set's text, "standard,suicide=off") are its rules until kata-set-rules says
// otherwise, as a pointsai engine's own options would be; fendrel without it. It plays
// legally (MODE legal, the default) or misbehaves when first asked to move:
//   refuse      fails the request ("?")
//   wrong-id    answers it with another id
//   wrong-shape answers it with words where the point should be
//   silent      never answers it, nor anything after it, until its input ends
//   off-board   answers with a point past the right edge
//   illegal     answers with the point of a dot already on the board
//   exit        ends with code 3 without answering
//   deaf        answers nothing at all, quit neither; reads until its input ends
//   noise       writes on standard error a line of 10000 bytes, bytes that are no text
//               with a move line in them, and text without a line feed; then plays legally
//   ground:N    plays legally, and grounds instead of its Nth move (gtp, which answers
//               "ground"; pointsai has no word for it and plays on)
// With FOREIGN_ENGINE_SAY in its environment it first writes "said VALUE" on standard error,
// so that a test can see what environment it was given.
#include "engine_streams.h"
#include "game_follower.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool gtp = false;
std::string mode = "legal";
RuleSet rules;
int32_t cols = FENDREL_COLS, rows = FENDREL_ROWS;
std::mt19937 generator(7);
int32_t last_x = -1, last_y = -1;
int moves_asked = 0;

// The success answer to request `id` of command `command`.
void answer(const std::string& id, const std::string& command, const std::string& results) {
    if (gtp)
        write_output("=" + id + (results.empty() ? "" : " " + results) + "\n\n");
    else
        write_output("= " + id + " " + command + (results.empty() ? "" : " " + results) + "\n");
}

void refuse(const std::string& id, const std::string& command) {
    write_output(gtp ? "?" + id + " cannot\n\n" : "? " + id + " " + command + "\n");
}

void new_board() {
    init_board(followed_board, cols, rows, rules);
    last_x = last_y = -1;
}

void place(int32_t x, int32_t y) {
    if (is_legal_dot(followed_board, x, y)) {
        place_dot(followed_board, cell_index(followed_board, x, y));
        last_x = x;
        last_y = y;
    }
}

std::string point_text(int32_t x, int32_t y, const std::string& player) {
    if (gtp)
        return std::to_string(x + 1) + "-" + std::to_string(rows - y);
    return std::to_string(x) + " " + std::to_string(y) + " " + player;
}

// Sets the side to move to the player asked, as engines that do not check turns do.
void play_as(const std::string& player) {
    const int side = player == "0" || player == "B" || player == "b" ? 1 : 2;
    if (side != followed_board.side_to_move) {
        followed_board.side_to_move = side;
        followed_board.score = -followed_board.score;
    }
}

// The rules of a kata-set-rules JSON object, as the fork reads its keys: a flat object of
// dotsCaptureEmptyBase, suicide, startPos (EMPTY only here) and startPosIsRandom (false);
// false for anything else.
bool read_fork_rules(const std::string& json, RuleSet& read) {
    if (json.size() < 2 || json.front() != '{' || json.back() != '}')
        return false;
    read = RuleSet{};
    read.kind = RuleKind::standard;
    std::stringstream members(json.substr(1, json.size() - 2));
    for (std::string member; std::getline(members, member, ',');) {
        const size_t colon = member.find(':');
        if (colon == std::string::npos)
            return false;
        const std::string key = member.substr(0, colon);
        const std::string value = member.substr(colon + 1);
        if (key == "\"dotsCaptureEmptyBase\"" && (value == "true" || value == "false"))
            read.capture_empty_bases = value == "true";
        else if (key == "\"suicide\"" && (value == "true" || value == "false"))
            read.suicide = value == "true";
        else if (!(key == "\"startPos\"" && value == "\"EMPTY\"") &&
                 !(key == "\"startPosIsRandom\"" && value == "false"))
            return false;
    }
    return true;
}

std::string fork_rules_json() {
    const auto flag = [](bool on) { return on ? "true" : "false"; };
    // The fork's dots rules are of the standard kind, whatever this engine was started with.
    const bool standard = rules.kind == RuleKind::standard;
    return std::string("{\"dots\":true,\"dotsCaptureEmptyBase\":") +
           flag(!standard || rules.capture_empty_bases) +
           ",\"startPos\":\"EMPTY\",\"startPosIsRandom\":false,\"suicide\":" +
           flag(!standard || rules.suicide) + "}";
}

// Answers a request to move; false when the engine is to end.
bool generate(const std::string& id, const std::string& command, const std::string& player) {
    static bool misbehaved = false;
    ++moves_asked;
    // Misbehaving by an illegal move waits for a dot to move onto.
    const bool now = !misbehaved && mode != "legal" && mode.rfind("ground:", 0) != 0 &&
                     (mode != "illegal" || last_x >= 0);
    misbehaved = misbehaved || now;
    play_as(player);
    int32_t x = 0;
    int32_t y = 0;
    if (now && mode == "refuse")
        refuse(id, command);
    else if (now && mode == "wrong-id")
        answer(id + "0", command, point_text(0, 0, player));
    else if (now && mode == "wrong-shape")
        answer(id, command, "somewhere");
    else if (now && mode == "silent")
        return true;
    else if (now && mode == "off-board")
        answer(id, command, point_text(followed_board.board_cols, 0, player));
    else if (now && mode == "illegal")
        answer(id, command, point_text(last_x, last_y, player));
    else if (now && mode == "exit")
        return false;
    else if (gtp && mode == "ground:" + std::to_string(moves_asked)) {
        ground(followed_board);
        answer(id, command, "ground");
    } else if (!random_legal_point(generator, x, y))
        refuse(id, command);
    else {
        if (now && mode == "noise") {
            write_stream(2, std::string(10000, 'n') + "\n");
            write_stream(2, std::string("\x01\xff\x80 move 1 1\n", 13));
            write_stream(2, "no line feed");
        }
        if (gtp)
            place(x, y);
        answer(id, command, point_text(x, y, player));
    }
    return true;
}

// A board size as gtp's boardsize gives it ("W:H", "W H" or "N") and pointsai's init its first
// two numbers; false when it names no board the rules core takes.
bool read_boardsize(const std::vector<std::string>& args) {
    int32_t width = 0;
    int32_t height = 0;
    const std::string text = args.size() == 2 ? args[0] + ":" + args[1] : args[0];
    if (std::sscanf(text.c_str(), "%d:%d", &width, &height) != 2 &&
        std::sscanf(text.c_str(), "%d", &width) == 1)
        height = width;
    if (!board_size_fits(width, height))
        return false;
    cols = width;
    rows = height;
    return true;
}

// Serves requests until quit or the end of input; the exit code.
int serve() {
    std::string line;
    bool silent = mode == "deaf";
    while (next_input_line(line)) {
        if (silent)
            continue;
        std::istringstream words(line);
        std::string id, command;
        words >> id >> command;
        std::vector<std::string> args;
        for (std::string word; words >> word;)
            args.push_back(word);
        if (command == "name") {
            answer(id, command, gtp ? "Foreign GTP" : "Foreign pointsai");
        } else if (command == "init") {
            if (args.size() >= 2 && read_boardsize({args[0], args[1]})) {
                new_board();
                answer(id, command, "");
            } else {
                refuse(id, command);
            }
        } else if (command == "boardsize" && !args.empty()) {
            if (read_boardsize(args)) {
                new_board();
                answer(id, command, "");
            } else {
                refuse(id, command);
            }
        } else if (command == "clear_board") {
            new_board();
            answer(id, command, "");
        } else if (command == "kata-set-rules") {
            RuleSet read;
            if (args.size() == 1 && read_fork_rules(args[0], read)) {
                rules = read;
                new_board();
                answer(id, command, "");
            } else {
                refuse(id, command);
            }
        } else if (command == "kata-get-rules") {
            answer(id, command, fork_rules_json());
        } else if (command == "play" && args.size() >= 2) {
            int32_t x = 0;
            int32_t y = 0;
            if (gtp) {
                play_as(args[0]);
                x = std::atoi(args[1].c_str()) - 1;
                y = rows - std::atoi(args[1].substr(args[1].find('-') + 1).c_str());
            } else {
                x = std::atoi(args[0].c_str());
                y = std::atoi(args[1].c_str());
                play_as(args.size() > 2 ? args[2] : "0");
            }
            place(x, y);
            answer(id, command, gtp ? "" : args[0] + " " + args[1] + " " + args.back());
        } else if (command == "gen_move_with_time" || command == "genmove") {
            if (!generate(id, command, args.empty() ? "0" : args[0]))
                return 3;
            silent = mode == "silent";
        } else if (command == "quit") {
            answer(id, command, "");
            return 0;
        } else {
            answer(id, command, "");
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    gtp = argc > 1 && std::string(argv[1]) == "gtp";
    if (argc > 2)
        mode = argv[2];
    std::string error;
    if (argc > 3 && !parse_rule_set(argv[3], rules, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (const char* say = std::getenv("FOREIGN_ENGINE_SAY"))
        write_stream(2, std::string("said ") + say + "\n");
    new_board();
    return serve();
}
