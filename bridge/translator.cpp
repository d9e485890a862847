#include "bridge/translator.h"

#include "bridge/dialects.h"
#include "engine/protocol.h"
#include "os/process.h"
#include "rules/board.h"
#include "rules/capture.h"
#include "rules/standard_bases.h"

#include <algorithm>
#include <cstdio>

namespace {

// Engine text passes on in pieces of at most this many bytes, each a line of its own, so
// that the referee never cuts one and finds a "move " at the start of the rest.
constexpr size_t ECHO_PIECE = 1000;
// How much of an engine line a failure message quotes.
constexpr size_t QUOTE_LENGTH = 200;

void send(Bridge& bridge, const std::string& command, RequestKind kind, uint32_t deadline,
          BridgeOutput& out, int32_t x = 0, int32_t y = 0) {
    const Request request{bridge.next_id++, command, kind, x, y, deadline};
    out.to_engine += std::to_string(request.id) + " " + command + "\n";
    bridge.waiting.push_back(request);
}

// The name line, with whatever the engine wrote before it: the first line the referee
// reads must be the name.
void write_name(Bridge& bridge, const std::string& name, BridgeOutput& out) {
    out.to_referee +=
        (name.empty() ? std::string(protocol_name(bridge.protocol)) + " engine" : name) + "\n";
    out.to_referee += bridge.early_echo;
    bridge.early_echo.clear();
    bridge.named = true;
}

// Gives the engine up: the last line the referee reads from the bridge says why.
void fail(Bridge& bridge, const std::string& why, BridgeOutput& out) {
    if (!bridge.named)
        write_name(bridge, "", out);
    bridge.failure = std::string(protocol_name(bridge.protocol)) + " engine failed: " + why + "\n";
    out.to_referee += bridge.failure;
    bridge.finished = out.finished = out.failed = true;
}

std::string quoted(const std::string& line) {
    return line.size() <= QUOTE_LENGTH ? line : line.substr(0, QUOTE_LENGTH) + "...";
}

// Passes an engine line on to the referee as messages.
void echo(Bridge& bridge, const std::string& line, const char* channel, BridgeOutput& out) {
    std::string prefix = protocol_name(bridge.protocol);
    prefix += *channel ? std::string(" ") + channel + ": " : std::string(": ");
    std::string& to = bridge.named ? out.to_referee : bridge.early_echo;
    size_t start = 0;
    do {
        to += prefix + line.substr(start, ECHO_PIECE) + "\n";
        start += ECHO_PIECE;
    } while (start < line.size());
}

bool on_board(const Bridge& bridge, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < bridge.board.board_cols && y < bridge.board.board_rows;
}

std::string rules_text(const Bridge& bridge) {
    return rule_set_text(bridge.board.rules);
}

// A generated move: checked on the bridge's board and placed there, then relayed, or
// first committed with the engine where generating does not place it.
void take_generated(Bridge& bridge, const Request& request, const Answer& answer,
                    const std::string& line, BridgeOutput& out) {
    int32_t x = 0;
    int32_t y = 0;
    // The line protocol has no resignation: the engine gives the game up as a failure.
    if (answer.results == "resign")
        return fail(bridge, "it resigned: " + quoted(line), out);
    // Grounding ends the game on the bridge's board as on the referee's; gtp's genmove has
    // grounded on the engine's own.
    if (is_grounding(bridge.protocol, answer.results)) {
        if (bridge.board.rules.kind != RuleKind::standard)
            return fail(bridge,
                        "it grounded, which the " + rules_text(bridge) +
                            " rules have not: " + quoted(line),
                        out);
        ground(bridge.board);
        out.to_referee += "ground\n";
        return;
    }
    if (!parse_generated(bridge.protocol, answer.results, bridge.board.side_to_move,
                         bridge.board.board_rows, x, y))
        return fail(bridge, "an answer of the wrong shape: " + quoted(line), out);
    if (!on_board(bridge, x, y))
        return fail(bridge, "a move off the board: " + quoted(line), out);
    if (!is_legal_dot(bridge.board, x, y))
        return fail(bridge, "an illegal move: " + quoted(line), out);
    const int side = bridge.board.side_to_move;
    place_dot(bridge.board, cell_index(bridge.board, x, y));
    if (generate_places_move(bridge.protocol)) {
        char move[PROTOCOL_LINE_SIZE];
        format_move_line(move, sizeof move, x, y);
        out.to_referee += move;
        return;
    }
    send(bridge, play_command(bridge.protocol, side, x, y, bridge.board.board_rows),
         RequestKind::our_move, request.deadline, out, x, y);
}

// An answer's first line, checked against the oldest request.
void take_answer(Bridge& bridge, const std::string& line, BridgeOutput& out) {
    Answer answer;
    if (!parse_answer(bridge.protocol, line, answer))
        return fail(bridge, "an answer of the wrong shape: " + quoted(line), out);
    if (bridge.protocol == ForeignProtocol::gtp)
        bridge.in_gtp_response = true;
    if (bridge.waiting.empty())
        return fail(bridge, "an answer to no request: " + quoted(line), out);
    const Request request = bridge.waiting.front();
    if (answer.id != request.id)
        return fail(bridge,
                    "an answer for another id (" + std::to_string(request.id) +
                        " was asked): " + quoted(line),
                    out);
    if (bridge.protocol == ForeignProtocol::pointsai &&
        answer.command != command_word(request.command))
        return fail(bridge, "an answer to another command: " + quoted(line), out);
    if (!answer.success && request.kind == RequestKind::rules)
        return fail(bridge, "it refused the rules " + rules_text(bridge) + ": " + quoted(line),
                    out);
    if (!answer.success)
        return fail(bridge, quoted(line), out);
    bridge.waiting.pop_front();
    // After quit only the name is still wanted: a late move is neither committed nor relayed.
    if (bridge.finished && request.kind != RequestKind::name)
        return;
    switch (request.kind) {
    case RequestKind::name:
        write_name(bridge, answer.results, out);
        break;
    case RequestKind::rules_check:
        if (!fork_plays_rules(answer.results, bridge.board.rules))
            fail(bridge, "it plays other rules than " + rules_text(bridge) + ": " + quoted(line),
                 out);
        break;
    case RequestKind::generate:
        take_generated(bridge, request, answer, line, out);
        break;
    case RequestKind::our_move: {
        char move[PROTOCOL_LINE_SIZE];
        format_move_line(move, sizeof move, request.x, request.y);
        out.to_referee += move;
        break;
    }
    case RequestKind::setup:
    case RequestKind::rules:
    case RequestKind::their_move:
    case RequestKind::quit:
        break;
    }
}

// The referee's "go": the clock, then the request to move, both on the move's deadline.
void ask_for_move(Bridge& bridge, uint32_t now, BridgeOutput& out) {
    const int side = bridge.board.side_to_move;
    const uint32_t budget = bridge.movetime_ms
                                ? bridge.movetime_ms
                                : move_budget_ms(bridge.own_clock_ms, bridge.increment_ms);
    // An engine asked for more than its clock is waited for as long as it was asked.
    const uint64_t allowed = uint64_t{std::max(bridge.own_clock_ms, budget)} + MOVE_GRACE_MS;
    const uint32_t deadline =
        now + static_cast<uint32_t>(std::min<uint64_t>(allowed, INT32_MAX / 2));
    for (const std::string& command : clock_commands(bridge.protocol, side, budget))
        send(bridge, command, RequestKind::setup, deadline, out);
    send(bridge, generate_command(bridge.protocol, side, budget), RequestKind::generate, deadline,
         out);
}

// The referee's "new ROWS COLS": a fresh board of that size, under the fendrel rules unless
// a rules line follows, and its size told to the engine.
void take_new(Bridge& bridge, int32_t rows, int32_t cols, uint32_t deadline, BridgeOutput& out) {
    if (!board_size_fits(cols, rows))
        return fail(bridge,
                    "a board of " + std::to_string(rows) + " rows and " + std::to_string(cols) +
                        " columns, where the rules take from " + std::to_string(MIN_BOARD_SIDE) +
                        " to " + std::to_string(MAX_BOARD_SIDE) + " points a side",
                    out);
    init_board(bridge.board, cols, rows);
    bridge.setup_open = true;
    for (const std::string& command : size_commands(bridge.protocol, rows, cols, bridge.seed))
        send(bridge, command, RequestKind::setup, deadline, out);
}

// The referee's "rules SET[,OPTION=VALUE...]", which follows "new" when the rules are not
// fendrel. Start and opening dots come as moves, so rules that name a start position would
// place them twice.
void take_rules(Bridge& bridge, const std::string& line, BridgeOutput& out) {
    if (!bridge.setup_open)
        return fail(bridge, "a rules line outside the set-up: " + quoted(line), out);
    RuleSet rules;
    std::string error;
    if (!parse_rule_set(line.size() > 6 ? line.substr(6) : "", rules, error))
        return fail(bridge, "a rules line it cannot read (" + error + "): " + quoted(line), out);
    if (rules.start != StartPosition::empty || rules.start_seed != 0)
        return fail(bridge,
                    "rules that name a start position, whose dots come as moves: " + quoted(line),
                    out);
    init_board(bridge.board, bridge.board.board_cols, bridge.board.board_rows, rules);
}

// The end of the set-up: the engine is told the rules and sets up its board under them.
void close_setup(Bridge& bridge, uint32_t deadline, BridgeOutput& out) {
    bridge.setup_open = false;
    if (bridge.protocol == ForeignProtocol::gtp && bridge.board.rules.kind == RuleKind::fendrel &&
        !bridge.nearest_rules)
        return fail(bridge,
                    "the KataGo dots fork cannot be told the fendrel rules (every closed ring "
                    "encloses, an empty one too); play it under the standard rules, or start "
                    "the bridge with --nearest-rules to let it play empty bases captured",
                    out);
    for (const Command& command : rules_commands(bridge.protocol, bridge.board.rules))
        send(bridge, command.text, command.kind, deadline, out);
}

} // namespace

bool protocol_named(const std::string& name, ForeignProtocol& protocol) {
    for (const ForeignProtocol known : {ForeignProtocol::pointsai, ForeignProtocol::gtp}) {
        if (name == protocol_name(known)) {
            protocol = known;
            return true;
        }
    }
    return false;
}

const char* protocol_name(ForeignProtocol protocol) {
    return protocol == ForeignProtocol::pointsai ? "pointsai" : "gtp";
}

void open_bridge(Bridge& bridge, ForeignProtocol protocol, uint32_t seed, uint32_t now,
                 BridgeOutput& out) {
    // The option the bridge was started with stays; all else starts afresh.
    const bool nearest_rules = bridge.nearest_rules;
    bridge = Bridge{};
    bridge.nearest_rules = nearest_rules;
    bridge.protocol = protocol;
    bridge.seed = seed;
    init_board(bridge.board);
    send(bridge, "name", RequestKind::name, now + REQUEST_LIMIT_MS, out);
}

void bridge_referee_line(Bridge& bridge, const std::string& line, uint32_t now, BridgeOutput& out) {
    if (bridge.finished)
        return;
    const uint32_t deadline = now + REQUEST_LIMIT_MS;
    int32_t a = 0;
    int32_t b = 0;
    unsigned number = 0;
    if (line == "rules" || line.rfind("rules ", 0) == 0)
        return take_rules(bridge, line, out);
    if (std::sscanf(line.c_str(), "new %d %d", &a, &b) == 2)
        return take_new(bridge, a, b, deadline, out);
    if (bridge.setup_open && line != "quit") {
        close_setup(bridge, deadline, out);
        if (bridge.finished)
            return;
    }
    if (std::sscanf(line.c_str(), "increment %u", &number) == 1) {
        bridge.increment_ms = number;
        if (!bridge.movetime_ms)
            for (const std::string& command : increment_commands(bridge.protocol, number))
                send(bridge, command, RequestKind::setup, deadline, out);
    } else if (std::sscanf(line.c_str(), "movetime %u", &number) == 1 && number > 0) {
        // Every move gets this budget; gtp is told so as its byo-yomi period.
        bridge.movetime_ms = number;
        for (const std::string& command : increment_commands(bridge.protocol, number))
            send(bridge, command, RequestKind::setup, deadline, out);
    } else if (std::sscanf(line.c_str(), "time %u", &number) == 1) {
        bridge.own_clock_ms = number;
    } else if (line == "go") {
        ask_for_move(bridge, now, out);
    } else if (line == "quit") {
        send(bridge, "quit", RequestKind::quit, deadline, out);
        bridge.finished = out.finished = true;
    } else if (parse_engine_line(line.c_str(), &a, &b) == EngineLine::move) {
        // The referee checked the move; one that this board refuses is not passed on.
        if (on_board(bridge, a, b) && is_legal_dot(bridge.board, a, b)) {
            const int side = bridge.board.side_to_move;
            place_dot(bridge.board, cell_index(bridge.board, a, b));
            send(bridge, play_command(bridge.protocol, side, a, b, bridge.board.board_rows),
                 RequestKind::their_move, deadline, out);
        }
    }
}

void bridge_engine_line(Bridge& bridge, const std::string& line, const char* channel, uint32_t,
                        BridgeOutput& out) {
    echo(bridge, line, channel, out);
    if (!bridge.failure.empty() || *channel)
        return;
    const bool blank = line.find_first_not_of(" \t\r") == std::string::npos;
    if (bridge.in_gtp_response) {
        // The rest of a response up to its blank line says nothing the bridge needs.
        if (blank)
            bridge.in_gtp_response = false;
        return;
    }
    if (!blank)
        take_answer(bridge, line, out);
}

void bridge_engine_ended(Bridge& bridge, BridgeOutput& out) {
    if (!bridge.finished)
        fail(bridge, "its output ended", out);
}

void close_bridge(Bridge& bridge, BridgeOutput& out) {
    if (!bridge.named)
        write_name(bridge, "", out);
}

bool bridge_deadline(const Bridge& bridge, uint32_t& tick) {
    if (bridge.finished || bridge.waiting.empty())
        return false;
    tick = bridge.waiting.front().deadline;
    for (const Request& request : bridge.waiting)
        if (ticks_between(request.deadline, tick) > 0)
            tick = request.deadline;
    return true;
}

void bridge_check_time(Bridge& bridge, uint32_t now, BridgeOutput& out) {
    uint32_t tick = 0;
    if (!bridge_deadline(bridge, tick) || ticks_between(tick, now) < 0)
        return;
    const Request& request = bridge.waiting.front();
    fail(bridge,
         "no answer in time to \"" + std::to_string(request.id) + " " + request.command + "\"",
         out);
}

uint32_t move_budget_ms(uint32_t own_clock_ms, uint32_t increment_ms) {
    const uint64_t before = own_clock_ms > increment_ms ? own_clock_ms - increment_ms : 0;
    const uint64_t budget = before / 20 + uint64_t{increment_ms} * 3 / 4;
    return static_cast<uint32_t>(std::min<uint64_t>(budget, own_clock_ms));
}
